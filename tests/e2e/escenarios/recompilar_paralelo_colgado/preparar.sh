# Two compilers at once: one never ends (and started a child), the others
# end meanwhile; only the hung one is killed.
instalar_compilador
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')"
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
for archivo in Bien.vbp frmBien.frm ModBien.bas Colgado.vbp; do
    poner "lote/$archivo" "C:\\DEV\\$archivo"
done
poner_texto 'C:\DEV\Lento.vbp' 'Type=Exe\r\nName="Lento"\r\nSustitutoVB6=Demora 1000\r\n'
