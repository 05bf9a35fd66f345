igual 'C:\DEV\Corregido.vbp' vbp/Corregido.vbp
solo_en_e
