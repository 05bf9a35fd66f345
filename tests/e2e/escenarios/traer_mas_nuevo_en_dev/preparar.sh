# The origin holds the project Caja; its FenDrik control climbs out of the
# origin folder and PravixBar.ctx and the .frx of frmCliente are missing. The
# DEV copy of frmCliente.frm is one second newer than the origin's.
o='C:\DARVENTO\SISTEMAS\Plexwin\ZEL_CONT'
poner frm/Caja.vbp "$o\\Caja.vbp"
poner frm/frmCaja.frm "$o\\frmCaja.frm"
poner frm/frmCaja.frx "$o\\frmCaja.frx"
poner frm/frmCliente.frm "$o\\frmCliente.frm"
poner dev/quimbo.bas "$o\\quimbo.bas"
poner dev/PravixBar.ctl "$o\\PravixBar.ctl"
poner 'zel_lib/OCXNEW/Fen Drik/FenDrik.ctl' 'C:\DARVENTO\SISTEMAS\Plexwin\zel_lib\OCXNEW\Fen Drik\FenDrik.ctl'
poner dev/ModSelvira.bas 'C:\DEV\ModSelvira.bas'
poner frm/frmCliente.frm 'C:\DEV\frmCliente.frm'
find "$UNIDAD_C/DARVENTO" -type f -exec touch -d '2024-03-05 10:00:00' {} +
touch -d '2024-03-05 10:00:01' "$(ruta_host 'C:\DEV\frmCliente.frm')"
