# Alfa and Beta share a form; SinNombre's project file cannot be corrected.
instalar_compilador
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')"
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
poner frm/Alfa.vbp 'C:\DEV\Alfa.vbp'
poner frm/Beta.vbp 'C:\DEV\Beta.vbp'
poner frm/Comun/frmComun.frm 'C:\DEV\Comun\frmComun.frm'
poner vbp/SinNombre.vbp 'C:\DEV\SinNombre.vbp'
poner vbp/frmCorregido.frm 'C:\DEV\frmCorregido.frm'
poner dev/PravixBar.ctl 'C:\DEV\PravixBar.ctl'
