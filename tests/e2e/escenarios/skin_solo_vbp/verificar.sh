# Only the project file is backed up and saved.
igual 'C:\DEV\Solo.vbp' esperados/Solo.vbp
igual 'C:\DEV\frmOtro.frm' skin/frmOtro.frm
solo_en_e 'TEBRI BCK/Solo/Solo.vbp' 'TEBRI BCK/Solo/ABS/C/DEV/Solo.vbp'
igual 'E:\TEBRI BCK\Solo\Solo.vbp' skin/Solo.vbp
sin_restos 'C:\DEV'
corridas_en_e Solo CorregirProyectoSkinCodejock
