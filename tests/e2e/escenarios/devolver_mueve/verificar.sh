o='C:\DARVENTO\SISTEMAS\Plexwin\ZEL_CONT'
igual "$o\\Caja.vbp" frm/Caja.vbp
igual "$o\\frmCaja.frm" frm/frmCaja.frm
igual "$o\\frmCaja.frx" frm/frmCaja.frx
igual "$o\\PravixBar.ctl" dev/PravixBar.ctl
igual "$o\\quimbo.bas" dev/quimbo.bas
# The newer origin form is kept, and so is its DEV copy.
igual "$o\\frmCliente.frm" vbp/frmVentas.frm
igual 'C:\DEV\frmCliente.frm' frm/frmCliente.frm
# The read-only file was copied but stays in DEV.
igual 'C:\DEV\quimbo.bas' dev/quimbo.bas
no_existe 'C:\DEV\Caja.vbp'
no_existe 'C:\DEV\frmCaja.frm'
no_existe 'C:\DEV\frmCaja.frx'
no_existe 'C:\DEV\PravixBar.ctl'
existe 'C:\zel_lib\OCXNEW\Fen Drik\FenDrik.ctl'
no_existe "$o\\FenDrik.ctl"
