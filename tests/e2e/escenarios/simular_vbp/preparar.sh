# A project on the compiled controls (as vbp_completo): previewed, then corrected.
poner vbp/Ventas.vbp 'C:\DEV\Ventas.vbp'
poner vbp/frmVentas.frm 'C:\DEV\frmVentas.frm'
poner dev/PravixBar.ctl 'C:\DEV\PravixBar.ctl'
poner dev/quimbo.bas 'C:\DEV\quimbo.bas'
poner dev/ModSelvira.bas 'C:\DEV\ModSelvira.bas'
