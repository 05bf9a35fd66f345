igual 'C:\DEV\SinNombre.vbp' vbp/SinNombre.vbp
no_existe 'C:\DEV\ModPravixBar.bas'
solo_en_e
