# Every untouched line (accented ones included) is byte-identical; backup at the mirror path.
igual 'C:\DEV\Ventas.vbp' esperados/Ventas.vbp
igual 'C:\DEV\frmVentas.frm' vbp/frmVentas.frm
igual 'C:\DEV\ModPravixBar.bas' origen/ModPravixBar.bas
solo_en_e 'TEBRI BCK/Ventas/Ventas.vbp' 'TEBRI BCK/Ventas/ABS/C/DEV/Ventas.vbp'
igual 'E:\TEBRI BCK\Ventas\Ventas.vbp' vbp/Ventas.vbp
igual 'E:\TEBRI BCK\Ventas\ABS\C\DEV\Ventas.vbp' vbp/Ventas.vbp
sin_restos 'C:\DEV'
corridas_en_e Ventas CorregirProyectoVBP
