# One project of each outcome, corrected first: Caja builds, SinNombre's
# project file cannot be corrected (so it is not compiled), Codigo's compiler
# ends with status 3 and no log, Colgado's never ends.
instalar_compilador
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')"
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
poner frm/Caja.vbp 'C:\DEV\Caja.vbp'
poner frm/frmCaja.frm 'C:\DEV\frmCaja.frm'
poner frm/frmCaja.frx 'C:\DEV\frmCaja.frx'
poner frm/frmCliente.frm 'C:\DEV\frmCliente.frm'
poner dev/quimbo.bas 'C:\DEV\quimbo.bas'
poner dev/ModSelvira.bas 'C:\DEV\ModSelvira.bas'
poner dev/PravixBar.ctl 'C:\DEV\PravixBar.ctl'
poner vbp/SinNombre.vbp 'C:\DEV\SinNombre.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
poner_texto 'C:\DEV\Codigo.vbp' 'Type=Exe\r\nName="Codigo"\r\nSustitutoVB6=Codigo 3\r\n'
poner lote/Colgado.vbp 'C:\DEV\Colgado.vbp'
