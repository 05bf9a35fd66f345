# The newer DEV form stays as it was (then corrected in place); everything
# else arrived, the control from outside the origin folder under external.
o='C:\DARVENTO\SISTEMAS\Plexwin\ZEL_CONT'
igual 'C:\DEV\frmCaja.frx' frm/frmCaja.frx
igual 'C:\DEV\quimbo.bas' dev/quimbo.bas
igual 'C:\DEV\PravixBar.ctl' dev/PravixBar.ctl
igual 'C:\DEV\ModPravixBar.bas' origen/ModPravixBar.bas
igual 'C:\DEV\external\FenDrik.ctl' 'zel_lib/OCXNEW/Fen Drik/FenDrik.ctl'
igual 'C:\DEV\Caja.vbp' esperados/Caja.vbp
igual 'C:\DEV\frmCaja.frm' esperados/frmCaja.frm
igual 'C:\DEV\frmCliente.frm' esperados/frmCliente.frm
# The backup of the form correction holds the DEV form as it was kept.
igual 'E:\TEBRI BCK\Caja\ABS\C\DEV\frmCliente.frm' frm/frmCliente.frm
igual "$o\\Caja.vbp" frm/Caja.vbp
no_existe 'C:\DEV\PravixBar.ctx'
sin_restos 'C:\DEV'
