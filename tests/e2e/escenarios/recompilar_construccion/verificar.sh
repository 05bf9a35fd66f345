# The run in order: the failing producer stops exactly its consumers, the
# circle is refused; the second run compiles only what has no output.
registros=("$(ruta_host 'C:\DEV\Herramientas')"/Recompilacion_*.txt)
if ((${#registros[@]} != 3)); then
    fallo "expected three batch logs, found: ${registros[*]}"
else
    orden="$(tr -d '\r' <"${registros[0]}")"
    for texto in "No se intento compilar (fallo la dependencia F1.vbp)." \
        "No se intento compilar (fallo la dependencia F2.vbp)." \
        "dependencia circular: C1.vbp -> C2.vbp -> C1.vbp"; do
        [[ "$orden" == *"$texto"* ]] || fallo "the run in order does not say: $texto"
    done
    cambios="$(tr -d '\r' <"${registros[1]}")"
    [[ "$(grep -c '^  Sin cambios: no se compilo' <<<"$cambios")" == 33 ]] ||
        fallo "the second run did not skip the 33 projects built: $cambios"
    # Two compilers at once, from nothing built: the same log as one at a time.
    sin_hora() { sed -E 's|^(Recompilacion en lote - ).*|\1|' "$1"; }
    cmp -s <(sin_hora "${registros[0]}") <(sin_hora "${registros[2]}") ||
        fallo "the run with two compilers differs from the one with one"
fi
[[ -f "$(ruta_host 'C:\DEV\K27.dll')" ]] || fallo "K27.dll was not built"
# The stand-in's own record: in both runs in order (one compiler, then two at
# once) each producer's build ended before any consumer's started, and the
# consumers of the failing producer and the circle never started.
antes_que() {  # RECORD PRODUCER CONSUMER
    awk -v p="fin C:\\\\DEV\\\\$2.vbp" -v c="inicio C:\\\\DEV\\\\$3.vbp" '
        { sub(/\r$/, "") } $0 == p && !f { f = NR } $0 == c && !i { i = NR }
        END { exit !(f && i && f < i) }' "$1"
}
for registro in inicios_orden inicios; do
    archivo="$(ruta_host "C:\\TEMP\\$registro.txt")"
    pares=("D1 D2" "D1 D3" "D2 D4" "D3 D4" "K27 Sin")
    for n in $(seq 2 27); do pares+=("$(printf 'K%02d K%02d' $((n - 1)) "$n")"); done
    for par in "${pares[@]}"; do
        antes_que "$archivo" $par || fallo "$registro: ${par% *} did not end before ${par#* } started"
    done
    for nunca in F2 F3 C1 C2; do
        ! grep -q "^inicio C:\\\\DEV\\\\$nunca\.vbp" "$archivo" || fallo "$registro: $nunca was started"
    done
done
