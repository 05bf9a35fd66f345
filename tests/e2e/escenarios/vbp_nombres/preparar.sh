# Names that are missing, blank or leave the DEV folder.
poner vbp/Corregido.vbp 'C:\DEV\Corregido.vbp'
poner vbp/Corregido.vbp 'C:\Fuera.vbp'
