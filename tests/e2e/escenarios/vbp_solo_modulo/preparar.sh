# The project file is right but the bar module is missing from the project folder.
poner vbp/Corregido.vbp 'C:\DEV\Corregido.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
poner dev/PravixBar.ctl 'C:\DEV\PravixBar.ctl'
