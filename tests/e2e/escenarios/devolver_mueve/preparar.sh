# The project Caja in DEV goes back to the origin. The origin already holds
# frmCaja.frm with the same time (overwritten) and frmCliente.frm one second
# newer (kept); quimbo.bas is read-only in DEV; the FenDrik control lies
# outside the DEV folder; ModPravixBar.bas is listed but absent.
o='C:\DARVENTO\SISTEMAS\Plexwin\ZEL_CONT'
poner frm/Caja.vbp 'C:\DEV\Caja.vbp'
poner frm/frmCaja.frm 'C:\DEV\frmCaja.frm'
poner frm/frmCaja.frx 'C:\DEV\frmCaja.frx'
poner frm/frmCliente.frm 'C:\DEV\frmCliente.frm'
poner dev/quimbo.bas 'C:\DEV\quimbo.bas'
poner dev/PravixBar.ctl 'C:\DEV\PravixBar.ctl'
poner frm/frmCliente.frm "$o\\frmCaja.frm"
poner vbp/frmVentas.frm "$o\\frmCliente.frm"
find "$UNIDAD_C/DEV" "$UNIDAD_C/DARVENTO" -type f -exec touch -d '2024-03-05 10:00:00' {} +
touch -d '2024-03-05 10:00:01' "$(ruta_host "$o\\frmCliente.frm")"
chmod a-w "$(ruta_host 'C:\DEV\quimbo.bas')"
