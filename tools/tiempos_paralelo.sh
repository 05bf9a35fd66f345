#!/usr/bin/env bash
# Times vorpel-cli recompilar on eight projects whose compiles take one second
# each (the compiler stand-in's "SustitutoVB6=Demora 1000"), with one compiler
# at a time and with N at once, and prints both times and their ratio. A
# figure, not a test: nothing fails on a slow machine.
#
# Usage: tiempos_paralelo.sh [N]   (default: 4, or the processors when fewer)
# Environment: VORPEL_BUILD  build root (default: <repo>/build); the native
#              build's vorpel-cli and tools/VB6 are used.
set -euo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
construccion="${VORPEL_BUILD:-$raiz/build}/native"
cli="$construccion/vorpel-cli"
sustituto="$construccion/tools/VB6"
procesadores="$(nproc 2>/dev/null || echo 1)"
paralelo="${1:-$((procesadores < 4 ? procesadores : 4))}"
for programa in "$cli" "$sustituto"; do
    [[ -x "$programa" ]] || { echo "Missing $programa: build the native preset first" >&2; exit 2; }
done

tmp="$(mktemp -d "${TMPDIR:-/tmp}/vorpel-tiempos.XXXXXX")"
trap 'rm -rf "$tmp"' EXIT
# A prefix of symbolic links only, as the native end-to-end tests make it.
mkdir -p "$tmp/prefijo/dosdevices" "$tmp/c/DEV/Herramientas" "$tmp/c/TEMP" \
    "$tmp/c/Program Files (x86)/Microsoft Visual Studio/VB98"
ln -s "$tmp/c" "$tmp/prefijo/dosdevices/c:"
cp "$sustituto" "$tmp/c/Program Files (x86)/Microsoft Visual Studio/VB98/VB6.EXE"
proyectos=()
for n in 1 2 3 4 5 6 7 8; do
    printf 'Type=Exe\r\nName="P%d"\r\nSustitutoVB6=Demora 1000\r\n' "$n" >"$tmp/c/DEV/P$n.vbp"
    proyectos+=("P$n")
done

# Milliseconds one run takes.
medir() {
    local inicio fin
    inicio="$(date +%s%N)"
    (cd "$tmp/c/DEV" && WINEPREFIX="$tmp/prefijo" TEMP='C:\TEMP' \
        "$cli" --sin-corregir --paralelo "$1" recompilar "${proyectos[@]}" >/dev/null) || true
    fin="$(date +%s%N)"
    echo $(((fin - inicio) / 1000000))
}

uno="$(medir 1)"
# A second apart, so that the two runs' logs do not share a name.
sleep 1
varios="$(medir "$paralelo")"
printf 'Processors: %s\n' "$procesadores"
printf -- '--paralelo 1:  %6d ms\n' "$uno"
printf -- '--paralelo %s:  %6d ms  (%d%% of --paralelo 1)\n' "$paralelo" "$varios" \
    $((100 * varios / uno))
