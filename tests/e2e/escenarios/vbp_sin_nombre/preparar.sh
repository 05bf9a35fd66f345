# A project file without a Name= line.
poner vbp/SinNombre.vbp 'C:\DEV\SinNombre.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
