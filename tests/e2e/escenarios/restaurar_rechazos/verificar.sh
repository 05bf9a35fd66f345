# No run yet, a backup copy that does not match its manifest's hash, a name
# that is not one folder name, drive E: gone: each refused with a clear
# message, exit status 1, and the corrected project left as it was.
igual 'C:\DEV\Caja.vbp' esperados/Caja.vbp
igual 'C:\DEV\frmCaja.frm' esperados/frmCaja.frm
igual 'C:\DEV\frmCliente.frm' esperados/frmCliente.frm
igual 'C:\DEV\frmCaja.frx' frm/frmCaja.frx
corridas_en_e Caja CorregirProyectoFRM
sin_restos 'C:\DEV'
