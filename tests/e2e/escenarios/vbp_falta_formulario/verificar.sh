# Refused before any backup.
igual 'C:\DEV\FaltaForm.vbp' vbp/FaltaForm.vbp
no_existe 'C:\DEV\ModPravixBar.bas'
solo_en_e
