poner vbp/Bom.vbp 'C:\DEV\Bom.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
