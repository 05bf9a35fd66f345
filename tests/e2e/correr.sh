#!/usr/bin/env bash
# Runs vorpel-cli end to end on a DEV folder in a Wine prefix, scenario by
# scenario, and compares its whole output and exit status with the expected
# text, then checks the files left on disk.
#
# Usage: correr.sh [--windows] PROGRAM [PROGRAM-ARGS...]
#   native build:   correr.sh build/native/vorpel-cli
#   Windows build:  correr.sh --windows wine build/windows/vorpel-cli.exe
# The native build gets a prefix made here (dosdevices symlinks only). The
# Windows build uses $WINEPREFIX when it holds a booted prefix, otherwise one
# booted here. Both see the same drives:
#   C:  DEV folder C:\DEV, origin C:\DARVENTO\SISTEMAS\Plexwin\ZEL_CONT, C:\zel_lib
#   E:  an empty folder of its own (the backup drive)
#
# Scenario folder tests/e2e/escenarios/<name>/:
#   preparar.sh   puts the files in place (functions of comun.sh)
#   comando       one command line per line: the arguments of vorpel-cli, in
#                 shell words; $CARPETA_DEV is the DEV folder in the form that
#                 --dev takes for this build. A line starting with "! " is a
#                 shell command run between two of them (a hand edit), with
#                 no output of its own
#   carpeta       optional: the Windows path of the folder to run in (C:\DEV
#                 when absent)
#   esperado.txt  for each command: "$ vorpel-cli ARGS", its standard output,
#                 its error output with each line prefixed by "2> ", and
#                 "[salida N]"
#   verificar.sh  optional checks of the disk afterwards
#   entorno       optional: VAR=value lines (shell words) exported for the
#                 scenario's commands only
#   filtro.sh     optional: sourced with each command's standard output as its
#                 input, prints what is compared (masks time stamps, orders
#                 what follows the DEV folder's listing order; see comun.sh)
#   filtro.sed    optional sed script applied to the output before comparing,
#                 for texts that each platform words its own way (the system's
#                 description of an error)
# Environment: VORPEL_SUSTITUTO_VB6 the compiler stand-in that scenarios
# install (default: tools/VB6[.exe] beside the program);
# E2E_ESCENARIOS="name ..." runs only those; E2E_CONSERVAR=1
# keeps the temporary folder for inspection; E2E_PREFIJO_WINE=1 runs the native
# build on the booted prefix in $WINEPREFIX instead of one made of symlinks.
set -uo pipefail

aqui="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export DATOS="$aqui/../data/e2e"
modo=nativo
if [[ "${1:-}" == "--windows" ]]; then
    modo=windows
    shift
fi
if (($# == 0)); then
    echo "Usage: correr.sh [--windows] PROGRAM [ARGS...]" >&2
    exit 2
fi
programa=()
# The program runs from inside the DEV folder: relative paths made absolute first.
for parte in "$@"; do
    if [[ "$parte" == */* && -e "$parte" ]]; then
        parte="$(cd "$(dirname "$parte")" && pwd)/$(basename "$parte")"
    fi
    programa+=("$parte")
done
if [[ -z "${VORPEL_SUSTITUTO_VB6:-}" ]]; then
    VORPEL_SUSTITUTO_VB6="$(dirname "${programa[${#programa[@]}-1]}")/tools/VB6"
    [[ "$modo" == windows ]] && VORPEL_SUSTITUTO_VB6+=".exe"
fi
export VORPEL_SUSTITUTO_VB6
# UTF-8 names and arguments must reach Wine as UTF-8, as they reach the native build.
export LC_ALL=C.UTF-8

tmp="$(mktemp -d "${TMPDIR:-/tmp}/vorpel-e2e.XXXXXX")" || exit 2
tmp="$(cd "$tmp" && pwd -P)"
prefijo_propio=""
creados=()
e_guardada=""

limpiar() {
    declare -F quitar_extras >/dev/null && quitar_extras
    for c in "${creados[@]}"; do rm -rf "$c"; done
    if [[ -n "${PREFIJO:-}" ]]; then
        rm -f "$PREFIJO/dosdevices/e:"
        [[ -n "$e_guardada" ]] && mv "$e_guardada" "$PREFIJO/dosdevices/e:"
    fi
    if [[ -n "${regional_guardado:-}" && -f "$regional_guardado" ]]; then
        wine reg import "$(winepath -w "$regional_guardado")" >/dev/null 2>&1
    fi
    if [[ -n "$prefijo_propio" && "$modo" == windows ]]; then
        WINEPREFIX="$prefijo_propio" wineserver -k >/dev/null 2>&1
        WINEPREFIX="$prefijo_propio" wineserver -w >/dev/null 2>&1
    fi
    if [[ "${E2E_CONSERVAR:-}" == 1 ]]; then
        echo "Temporary folder kept: $tmp" >&2
    else
        rm -rf "$tmp"
    fi
}
trap limpiar EXIT

# --- The prefix -------------------------------------------------------------

if [[ "$modo" == nativo && "${E2E_PREFIJO_WINE:-}" == 1 && -e "${WINEPREFIX:-}/dosdevices/c:" ]]; then
    # The native build on the booted prefix that the Windows build uses.
    :
elif [[ "$modo" == nativo ]]; then
    prefijo_propio="$tmp/prefijo"
    mkdir -p "$prefijo_propio/dosdevices" "$tmp/unidad_c"
    ln -s "$tmp/unidad_c" "$prefijo_propio/dosdevices/c:"
    export WINEPREFIX="$prefijo_propio"
else
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
    if [[ -z "${WINEPREFIX:-}" || ! -e "${WINEPREFIX}/dosdevices/c:" ]]; then
        prefijo_propio="$tmp/prefijo"
        export WINEPREFIX="$prefijo_propio" WINEARCH=win64
        echo "Booting a Wine prefix in $WINEPREFIX ..." >&2
        if ! (unset DISPLAY; wineboot -i && wineserver -w) >"$tmp/wineboot.log" 2>&1; then
            cat "$tmp/wineboot.log" >&2
            exit 2
        fi
    fi
fi
export PREFIJO="$WINEPREFIX"

# Date texts: the Windows build writes the user's short date and long time.
# The scenarios expect day/month/year and a 24-hour clock, as the native
# build writes them, so the prefix's user gets those settings for the run; a
# prefix handed in gets its own settings back at the end.
clave_regional='HKCU\Control Panel\International'
regional_guardado=""
if [[ "$modo" == windows ]]; then
    if [[ -z "$prefijo_propio" ]]; then
        regional_guardado="$tmp/regional.reg"
        wine reg export "$clave_regional" "$(winepath -w "$regional_guardado")" /y \
            >/dev/null 2>&1 || regional_guardado=""
    fi
    wine reg add "$clave_regional" /v sShortDate /t REG_SZ /d dd/MM/yyyy /f >/dev/null 2>&1 &&
        wine reg add "$clave_regional" /v sTimeFormat /t REG_SZ /d HH:mm:ss /f >/dev/null 2>&1 ||
        echo "correr.sh: could not set the prefix's date formats" >&2
fi
UNIDAD_C="$(cd "$PREFIJO/dosdevices/c:" && pwd -P)" || exit 2
export UNIDAD_C
export UNIDAD_E="$tmp/unidad_e"
# What --dev takes for the DEV folder: a host path for the native build, the
# Windows path for the Windows one.
if [[ "$modo" == nativo ]]; then
    export CARPETA_DEV="$UNIDAD_C/DEV"
else
    export CARPETA_DEV='C:\DEV'
fi

# A prefix handed in may hold a drive E: of its own: put it back at the end.
if [[ -e "$PREFIJO/dosdevices/e:" || -L "$PREFIJO/dosdevices/e:" ]]; then
    e_guardada="$tmp/e_guardada"
    mv "$PREFIJO/dosdevices/e:" "$e_guardada"
fi
# Only folders made here are ever deleted.
for nombre in DEV DARVENTO zel_lib; do
    if [[ -e "$UNIDAD_C/$nombre" ]]; then
        echo "correr.sh: $UNIDAD_C/$nombre already exists; use a fresh prefix." >&2
        exit 2
    fi
    creados+=("$UNIDAD_C/$nombre")
done

# --- Scenarios --------------------------------------------------------------

source "$aqui/comun.sh"

preparar_unidades() {
    quitar_extras
    for c in "${creados[@]}"; do rm -rf "$c"; done
    rm -rf "$UNIDAD_E"
    mkdir -p "$UNIDAD_E" "$UNIDAD_C/DEV"
    rm -f "$PREFIJO/dosdevices/e:"
    ln -s "$UNIDAD_E" "$PREFIJO/dosdevices/e:"
    # Every scenario starts with the origin's bar module and the source controls.
    poner origen/ModPravixBar.bas 'C:\DARVENTO\SISTEMAS\Plexwin\ZEL_CONT\ModPravixBar.bas'
    poner 'zel_lib/OCXNEW/Fen Drik/FenDrik.ctl' 'C:\zel_lib\OCXNEW\Fen Drik\FenDrik.ctl'
    poner zel_lib/OCXNEW/UCMorvan/UCMorvan.ctl 'C:\zel_lib\OCXNEW\UCMorvan\UCMorvan.ctl'
}

ejecutar_comandos() {
    local escenario="$1" salida="$2" linea carpeta="$UNIDAD_C/DEV"
    if [[ -f "$escenario/carpeta" ]]; then
        carpeta="$(ruta_host "$(head -n 1 "$escenario/carpeta")")"
    fi
    : >"$salida"
    while IFS= read -r linea || [[ -n "$linea" ]]; do
        [[ -z "$linea" ]] && continue
        if [[ "$linea" == '! '* ]]; then
            eval "${linea:2}" || fallo "hand step failed: ${linea:2}"
            continue
        fi
        local args=()
        eval "args=($linea)"
        printf '$ vorpel-cli %s\n' "$linea" >>"$salida"
        local desde="$EPOCHREALTIME"
        (cd "$carpeta" &&
            if [[ -f "$escenario/entorno" ]]; then set -a; source "$escenario/entorno"; set +a; fi &&
            "${programa[@]}" "${args[@]}" </dev/null >"$tmp/stdout" 2>"$tmp/stderr")
        local estado=$?
        if [[ "$modo" == windows && $estado -ne 0 && ! -s "$tmp/stdout" && ! -s "$tmp/stderr" ]]; then
            # Under Wine a program has been seen, rarely, to end at once with
            # no output at all: what was running then helps to tell why.
            {
                printf 'correr.sh: %s: no output, exit %d after %s s; Wine processes:\n' \
                    "$linea" "$estado" "$(awk -v a="$desde" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')"
                ps -eo pid,ppid,etime,args | grep -i -E '\.exe|wineserver' | grep -v grep
            } >&2
        fi
        if [[ -f "$escenario/filtro.sh" ]]; then
            (source "$escenario/filtro.sh") <"$tmp/stdout" >>"$salida"
        else
            cat "$tmp/stdout" >>"$salida"
        fi
        sed 's/^/2> /' "$tmp/stderr" >>"$salida"
        printf '[salida %d]\n' "$estado" >>"$salida"
    done <"$escenario/comando"
}

seleccion=(${E2E_ESCENARIOS:-})
total=0
fallidos=()
for escenario in "$aqui"/escenarios/*/; do
    escenario="${escenario%/}"
    nombre="$(basename "$escenario")"
    if ((${#seleccion[@]} > 0)) && [[ " ${seleccion[*]} " != *" $nombre "* ]]; then
        continue
    fi
    total=$((total + 1))
    preparar_unidades
    FALLOS_VERIFICACION=0
    if [[ -f "$escenario/preparar.sh" ]]; then
        source "$escenario/preparar.sh"
    fi
    ejecutar_comandos "$escenario" "$tmp/obtenido.txt"
    if [[ -f "$escenario/filtro.sed" ]]; then
        sed -f "$escenario/filtro.sed" "$tmp/obtenido.txt" >"$tmp/filtrado.txt" &&
            mv "$tmp/filtrado.txt" "$tmp/obtenido.txt"
    fi
    bien=1
    if ! diff -u --label "$nombre/esperado.txt" --label "obtenido ($modo)" \
        "$escenario/esperado.txt" "$tmp/obtenido.txt"; then
        bien=0
    fi
    if [[ -f "$escenario/verificar.sh" ]]; then
        source "$escenario/verificar.sh"
        ((FALLOS_VERIFICACION == 0)) || bien=0
    fi
    if ((bien)); then
        echo "ok      $nombre"
    else
        echo "FALLO   $nombre"
        fallidos+=("$nombre")
    fi
done

echo "$((total - ${#fallidos[@]}))/$total scenarios passed ($modo)"
((${#fallidos[@]} == 0))
