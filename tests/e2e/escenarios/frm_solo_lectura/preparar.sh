# A project kept read-only by source control: one of its forms cannot be
# written, so the correction is refused before any backup.
poner frm/Caja.vbp 'C:\DEV\Caja.vbp'
poner frm/frmCaja.frm 'C:\DEV\frmCaja.frm'
poner frm/frmCaja.frx 'C:\DEV\frmCaja.frx'
poner frm/frmCliente.frm 'C:\DEV\frmCliente.frm'
poner dev/quimbo.bas 'C:\DEV\quimbo.bas'
poner dev/PravixBar.ctl 'C:\DEV\PravixBar.ctl'
chmod a-w "$(ruta_host 'C:\DEV\frmCliente.frm')"
