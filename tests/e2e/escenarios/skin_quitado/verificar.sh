# Exactly the skin block and reference lines go; a second run has nothing to remove.
igual 'C:\DEV\Piel.vbp' esperados/Piel.vbp
igual 'C:\DEV\frmPiel.frm' esperados/frmPiel.frm
igual 'C:\DEV\frmOtro.frm' skin/frmOtro.frm
igual 'C:\DEV\frmPiel.frx' skin/frmPiel.frx
solo_en_e 'TEBRI BCK/Piel/Piel.vbp' 'TEBRI BCK/Piel/ABS/C/DEV/Piel.vbp' \
    'TEBRI BCK/Piel/ABS/C/DEV/frmPiel.frm' 'TEBRI BCK/Piel/ABS/C/DEV/frmPiel.frx'
igual 'E:\TEBRI BCK\Piel\ABS\C\DEV\frmPiel.frm' skin/frmPiel.frm
igual 'E:\TEBRI BCK\Piel\ABS\C\DEV\Piel.vbp' skin/Piel.vbp
sin_restos 'C:\DEV'
corridas_en_e Piel CorregirProyectoSkinCodejock
