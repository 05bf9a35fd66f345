poner vbp/Corregido.vbp 'C:\DEV\Corregido.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
