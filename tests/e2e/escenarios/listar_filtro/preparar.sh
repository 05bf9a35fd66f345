poner vbp/Corregido.vbp 'C:\DEV\Corregido.vbp'
poner vbp/Ventas.vbp 'C:\DEV\Ventas.vbp'
poner vbp/Corregido.vbp 'C:\DEV\Año2024.vbp'
poner vbp/Corregido.vbp 'C:\DEV\Ventas.bak'
mkdir -p "$(ruta_host 'C:\DEV\Carpeta.vbp')"
