# Eight projects whose compiles take their time, P1 the longest, so that with
# two compilers at once they end out of order (the machines that run the
# tests have two processors at least). Every fourth one fails.
instalar_compilador
mkdir -p "$(ruta_host 'C:\DEV\Herramientas')"
poner_texto 'C:\TEMP\leeme.txt' 'temporal de las pruebas\n'
for n in 1 2 3 4 5 6 7 8; do
    demora=150
    ((n == 1)) && demora=1200
    ((n == 6)) && demora=600
    falta=""
    ((n % 4 == 0)) && falta='Form=frmFalta.frm\r\n'
    poner_texto "C:\\DEV\\P$n.vbp" "Type=Exe\\r\\n${falta}Name=\"P$n\"\\r\\nSustitutoVB6=Demora $demora\\r\\n"
done
