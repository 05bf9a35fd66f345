igual 'C:\DEV\Comun\frmComun.frm' esperados/frmComun.frm
igual 'C:\DEV\Alfa.vbp' frm/Alfa.vbp
igual 'C:\DEV\Beta.vbp' frm/Beta.vbp
solo_en_e 'TEBRI BCK/Alfa/ABS/C/DEV/Comun/frmComun.frm'
igual 'E:\TEBRI BCK\Alfa\ABS\C\DEV\Comun\frmComun.frm' frm/Comun/frmComun.frm
corridas_en_e Alfa CorregirProyectoFRM
