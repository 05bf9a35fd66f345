# The copied module is deleted again and the project file is untouched; the backup stays.
igual 'C:\DEV\Ventas.vbp' vbp/Ventas.vbp
no_existe 'C:\DEV\ModPravixBar.bas'
solo_en_e 'TEBRI BCK/Ventas/Ventas.vbp' 'TEBRI BCK/Ventas/ABS/C/DEV/Ventas.vbp'
sin_restos 'C:\DEV'
