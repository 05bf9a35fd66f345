# No backup, nothing written.
igual 'C:\DEV\Corregido.vbp' vbp/Corregido.vbp
solo_en_e
sin_restos 'C:\DEV'
