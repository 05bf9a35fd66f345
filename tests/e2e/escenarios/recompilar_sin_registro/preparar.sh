# No Herramientas folder: the run goes on without its log.
instalar_compilador
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
for archivo in Bien.vbp frmBien.frm ModBien.bas; do
    poner "lote/$archivo" "C:\\DEV\\$archivo"
done
