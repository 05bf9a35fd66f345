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
