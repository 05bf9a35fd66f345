# No VB6.EXE at its fixed path.
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')"
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
poner lote/Mudo.vbp 'C:\DEV\Mudo.vbp'
