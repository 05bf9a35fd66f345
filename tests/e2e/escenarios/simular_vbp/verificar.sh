# The preview wrote nothing (checked between the two commands); the real run
# then wrote exactly the files the preview listed.
igual 'C:\DEV\Ventas.vbp' esperados/Ventas.vbp
igual 'C:\DEV\ModPravixBar.bas' origen/ModPravixBar.bas
solo_en_e 'TEBRI BCK/Ventas/Ventas.vbp' 'TEBRI BCK/Ventas/ABS/C/DEV/Ventas.vbp'
corridas_en_e Ventas CorregirProyectoVBP
sin_restos 'C:\DEV'
