registro_lote registro.txt
# The hung compiler's child wrote its heartbeat, and the kill stopped it.
latido="$(ruta_host 'C:\DEV\Colgado.vbp.latido')"
if [[ ! -s "$latido" ]]; then
    fallo "the hung compiler's child never ran"
else
    antes="$(wc -c <"$latido")"
    sleep 0.5
    (("$(wc -c <"$latido")" == antes)) || fallo "the hung compiler's child is still running"
fi
