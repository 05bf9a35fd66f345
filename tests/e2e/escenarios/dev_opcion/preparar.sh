# Run from another folder: --dev names the DEV folder, the current folder is not used.
poner vbp/Corregido.vbp 'C:\DEV\Corregido.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
poner vbp/Ventas.vbp 'C:\DARVENTO\Otro.vbp'
