# frm, a hand edit, frm again, then two restores: the first brought back the
# hand-edited form (checked between the commands), the second the original
# bytes and times of every file the first run had changed.
igual 'C:\DEV\Caja.vbp' frm/Caja.vbp
igual 'C:\DEV\frmCaja.frm' frm/frmCaja.frm
igual 'C:\DEV\frmCliente.frm' frm/frmCliente.frm
igual 'C:\DEV\frmCaja.frx' frm/frmCaja.frx
for f in Caja.vbp frmCaja.frm frmCliente.frm frmCaja.frx; do
    [[ "$(stat -c %Y "$(ruta_host "C:\\DEV\\$f")")" == "$(date -d '2024-03-05 10:00:00' +%s)" ]] ||
        fallo "C:\\DEV\\$f lost its time"
done
corridas_en_e Caja CorregirProyectoFRM CorregirProyectoFRM restaurar restaurar
sin_restos 'C:\DEV'
