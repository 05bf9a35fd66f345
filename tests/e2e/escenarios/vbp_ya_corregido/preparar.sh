# A project that already lists the source controls and has the bar module.
poner vbp/Corregido.vbp 'C:\DEV\Corregido.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
poner dev/PravixBar.ctl 'C:\DEV\PravixBar.ctl'
poner origen/ModPravixBar.bas 'C:\DEV\ModPravixBar.bas'
