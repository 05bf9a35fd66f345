# A compiler that never ends (and started a child), then one that builds.
instalar_compilador
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')"
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
for archivo in Bien.vbp frmBien.frm ModBien.bas Colgado.vbp; do
    poner "lote/$archivo" "C:\\DEV\\$archivo"
done
