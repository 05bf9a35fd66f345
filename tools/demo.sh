#!/usr/bin/env bash
# Demo of vorpel-cli on Linux: builds it, copies the sample DEV folder of
# tests/data/demo into a throw-away Wine-prefix layout (drive C: with the DEV
# folder, the origin folder and the source controls; an empty drive E: for the
# backups) and runs a few commands on it, printing what they print.
#
# Usage: tools/demo.sh [PROJECT]     (default project: Ventas)
# Environment: VORPEL_BUILD  build root (default: <repo>/build)
#              VORPEL_DEMO_CONSERVAR=1 keeps the temporary folder
set -uo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
construccion="${VORPEL_BUILD:-$raiz/build}/demo"
proyecto="${1:-Ventas}"
paquetes=(cmake ninja-build g++)

source "$raiz/tools/comun.sh"

instalar_paquetes || { echo "Could not install the required packages" >&2; exit 2; }

aviso "Building vorpel-cli ($construccion)"
cmake -S "$raiz" -B "$construccion" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVORPEL_TESTS=OFF >/dev/null &&
    cmake --build "$construccion" --target vorpel-cli || exit 1
cli="$construccion/vorpel-cli"

tmp="$(mktemp -d "${TMPDIR:-/tmp}/vorpel-demo.XXXXXX")" || exit 1
tmp="$(cd "$tmp" && pwd -P)"
if [[ "${VORPEL_DEMO_CONSERVAR:-}" == 1 ]]; then
    trap 'echo; echo "Demo files kept in $tmp"' EXIT
else
    trap 'rm -rf "$tmp"' EXIT
fi

# The layout Wine gives a prefix: dosdevices/<letter>: points at each drive.
mkdir -p "$tmp/prefijo/dosdevices" "$tmp/unidad_e"
cp -R "$raiz/tests/data/demo/c" "$tmp/unidad_c"
ln -s "$tmp/unidad_c" "$tmp/prefijo/dosdevices/c:"
ln -s "$tmp/unidad_e" "$tmp/prefijo/dosdevices/e:"
export WINEPREFIX="$tmp/prefijo"
cd "$tmp/unidad_c/DEV" || exit 1

correr() {
    printf '\n$ vorpel-cli %s\n' "$*"
    "$cli" "$@"
    printf '[salida %d]\n' "$?"
}

aviso "DEV folder: $tmp/unidad_c/DEV (C:\\DEV), backup drive E: $tmp/unidad_e"
correr listar
correr --si vbp "$proyecto"
if [[ -f "$tmp/unidad_e/TEBRI BCK/$proyecto/$proyecto.vbp" ]]; then
    aviso "$proyecto.vbp: the backup copy against the corrected file"
    b='\'
    diff -u --strip-trailing-cr --label "E:${b}TEBRI BCK${b}$proyecto${b}$proyecto.vbp" \
        --label "C:${b}DEV${b}$proyecto.vbp" \
        <(iconv -f WINDOWS-1252 -t UTF-8 "$tmp/unidad_e/TEBRI BCK/$proyecto/$proyecto.vbp") \
        <(iconv -f WINDOWS-1252 -t UTF-8 "$tmp/unidad_c/DEV/$proyecto.vbp")
fi
correr --si vbp "$proyecto"
correr listar caja
correr --si frm Caja
correr skin Piel

aviso "Backup drive E: afterwards"
(cd "$tmp/unidad_e" && find . -type f | sed 's|^\./|E:/|' | LC_ALL=C sort)
