# A build that succeeds, a wrong prefix, missing files and a compiler that
# writes no log; Colgado stays unticked.
instalar_compilador
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')"
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
for archivo in Bien.vbp frmBien.frm ModBien.bas Mal.vbp frmMal.frm Falta.vbp Mudo.vbp Colgado.vbp; do
    poner "lote/$archivo" "C:\\DEV\\$archivo"
done
