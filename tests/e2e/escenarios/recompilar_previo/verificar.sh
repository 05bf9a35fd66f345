registro_lote registro.txt
# Only the two compiles that could succeed started the compiler.
inicios="$(tr -d '\r' <"$(ruta_host 'C:\TEMP\inicios.txt')" 2>/dev/null | grep '^inicio ' | sort)"
[[ "$inicios" == $'inicio C:\\DEV\\Bien.vbp\ninicio C:\\DEV\\Usa.vbp' ]] ||
    fallo "compiler starts: $inicios"
[[ "$(cat "$(ruta_host 'C:\DEV\Fija.exe')")" == $'vieja\r' ]] || fallo "Fija.exe was touched"
# The warning is in the table too, and the compile of that project went on.
tabla="$(cat "$(ruta_host 'C:\DEV\Herramientas')"/Recompilacion_*.csv 2>/dev/null | tr -d '\r')"
grep -q '^Usa\.vbp;.*;OK;[0-9,]*;"Aviso: usa COMCTL32\.OCX sin NoControlUpgrade=1' <<<"$tabla" ||
    fallo "the table lacks Usa.vbp's warning: $tabla"
# Each refusal took well under a second.
[[ "$(grep -c ';ERROR antes de compilar: .*;ERROR;0,[0-4][0-9];$' <<<"$tabla")" == 5 ]] ||
    fallo "the refusals were not quick: $tabla"
