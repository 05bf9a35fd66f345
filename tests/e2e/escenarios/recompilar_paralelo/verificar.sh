# The parallel run's log and table are the sequential run's, byte for byte
# but the time stamp and the seconds.
registros=("$(ruta_host 'C:\DEV\Herramientas')"/Recompilacion_*.txt)
if ((${#registros[@]} != 2)); then
    fallo "expected two batch logs, found: ${registros[*]}"
else
    registro_lote registro.txt "${registros[0]}"
    sin_hora() { sed -E 's|^(Recompilacion en lote - ).*|\1|' "$1"; }
    cmp -s <(sin_hora "${registros[0]}") <(sin_hora "${registros[1]}") ||
        fallo "the parallel run's log differs from the sequential one"
    sin_segundos() { sed -E 's/;[0-9]+,[0-9]{2}\r$//' "$1"; }
    cmp -s <(sin_segundos "${registros[0]%.txt}.csv") <(sin_segundos "${registros[1]%.txt}.csv") ||
        fallo "the parallel run's table differs from the sequential one"
fi
[[ -z "$(ls "$(ruta_host 'C:\TEMP')" | grep vorpel_compile_)" ]] || fallo "compiler logs left in C:\\TEMP"
