# Nothing written, nothing restored.
igual 'C:\DEV\Ventas.vbp' vbp/Ventas.vbp
no_existe 'C:\DEV\ModPravixBar.bas'
solo_en_e
sin_restos 'C:\DEV'
