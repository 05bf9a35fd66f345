# Backup made, module copied from the origin folder, project file not saved.
igual 'C:\DEV\Corregido.vbp' vbp/Corregido.vbp
igual 'C:\DEV\ModPravixBar.bas' origen/ModPravixBar.bas
solo_en_e 'TEBRI BCK/Corregido/Corregido.vbp' 'TEBRI BCK/Corregido/ABS/C/DEV/Corregido.vbp'
igual 'E:\TEBRI BCK\Corregido\Corregido.vbp' vbp/Corregido.vbp
igual 'E:\TEBRI BCK\Corregido\ABS\C\DEV\Corregido.vbp' vbp/Corregido.vbp
sin_restos 'C:\DEV'
corridas_en_e Corregido CorregirProyectoVBP
