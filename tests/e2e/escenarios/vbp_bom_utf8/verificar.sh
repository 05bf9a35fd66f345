igual 'C:\DEV\Bom.vbp' vbp/Bom.vbp
no_existe 'C:\DEV\ModPravixBar.bas'
solo_en_e
