# The project of frm_corregido, every file from one old moment.
poner frm/Caja.vbp 'C:\DEV\Caja.vbp'
poner frm/frmCaja.frm 'C:\DEV\frmCaja.frm'
poner frm/frmCaja.frx 'C:\DEV\frmCaja.frx'
poner frm/frmCliente.frm 'C:\DEV\frmCliente.frm'
poner dev/quimbo.bas 'C:\DEV\quimbo.bas'
poner dev/ModSelvira.bas 'C:\DEV\ModSelvira.bas'
find "$UNIDAD_C/DEV" -type f -exec touch -d '2024-03-05 10:00:00' {} +
