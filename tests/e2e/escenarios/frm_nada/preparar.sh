# Forms already declared with the project's prefix and calling CargarSkin.
poner vbp/Corregido.vbp 'C:\DEV\Corregido.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
