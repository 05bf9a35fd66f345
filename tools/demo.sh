#!/usr/bin/env bash
# Demo of vorpel.exe: builds it (MinGW-w64 cross-build), lays out a Wine prefix
# inside the build folder (never ~/.wine) with drive C: holding the DEV folder
# C:\DEV of sample projects, the origin folder
# C:\DARVENTO\SISTEMAS\Plexwin\ZEL_CONT\ and the in-house user controls under
# C:\zel_lib\OCXNEW\, and a drive E: for the backups; copies vorpel.exe into
# C:\DEV and starts it there. With a display it just runs until the window is
# closed; without one it runs under Xvfb, writes a screenshot of the window to
# a PNG in the build folder, prints its path and ends.
#
# Every run starts from the sample files again (the Wine system of the prefix
# is kept between runs; VORPEL_DEMO_NUEVO=1 makes it anew too).
#
# Usage: tools/demo.sh              the window
#        tools/demo.sh cli [PROYECTO]   vorpel-cli (native build) on the same samples
# Environment: VORPEL_BUILD  build root (default: <repo>/build)
#              VORPEL_JOBS   parallel build jobs (default: nproc)
set -uo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
raiz_construccion="${VORPEL_BUILD:-$raiz/build}"
trabajos="${VORPEL_JOBS:-$(nproc 2>/dev/null || echo 2)}"
muestras="$raiz/tests/data/demo/c"

source "$raiz/tools/comun.sh"

# --- vorpel-cli on the samples ------------------------------------------------

demo_cli() {
    local construccion="$raiz_construccion/demo" proyecto="${1:-Ventas}"
    paquetes=(cmake ninja-build g++ libssl-dev)
    instalar_paquetes || { echo "Could not install the required packages" >&2; exit 2; }
    aviso "Building vorpel-cli ($construccion)"
    cmake -S "$raiz" -B "$construccion" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVORPEL_TESTS=OFF >/dev/null &&
        cmake --build "$construccion" --target vorpel-cli -j "$trabajos" || exit 1
    local cli="$construccion/vorpel-cli" tmp
    tmp="$(mktemp -d "${TMPDIR:-/tmp}/vorpel-demo.XXXXXX")" || exit 1
    tmp="$(cd "$tmp" && pwd -P)"
    trap 'rm -rf "$tmp"' EXIT
    # The layout Wine gives a prefix: dosdevices/<letter>: points at each drive.
    mkdir -p "$tmp/prefijo/dosdevices" "$tmp/unidad_e"
    cp -R "$muestras" "$tmp/unidad_c"
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
    correr --si frm Caja
    correr skin Piel
    aviso "Backup drive E: afterwards"
    (cd "$tmp/unidad_e" && find . -type f | sed 's|^\./|E:/|' | LC_ALL=C sort)
}

if [[ "${1:-}" == cli ]]; then
    shift
    demo_cli "$@"
    exit 0
fi

# --- vorpel.exe in a Wine prefix ------------------------------------------------

construccion="$raiz_construccion/demo-windows"
prefijo="$construccion/prefijo"
unidad_c="$prefijo/drive_c"
unidad_e="$construccion/unidad_e"
captura="$construccion/vorpel-demo.png"

# Installed without recommends; the fonts and X libraries that Wine only
# recommends are named so that the window draws under Xvfb; xwd and netpbm
# take the screenshot.
paquetes=(cmake ninja-build g++-mingw-w64-x86-64-posix
          wine wine64 fonts-wine xvfb xauth x11-apps x11-utils netpbm
          libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1 libxfixes3)
instalar_paquetes || { echo "Could not install the required packages" >&2; exit 2; }

aviso "Building vorpel.exe ($construccion)"
cmake --preset windows -S "$raiz" -B "$construccion" -DVORPEL_TESTS=OFF >/dev/null &&
    cmake --build "$construccion" --target vorpel -j "$trabajos" || exit 1
# The compiler stand-in, when this tree has it.
compilador=""
if ninja -C "$construccion" -t query vb6-sustituto >/dev/null 2>&1 &&
    cmake --build "$construccion" --target vb6-sustituto -j "$trabajos" >/dev/null &&
    [[ -f "$construccion/tools/VB6.exe" ]]; then
    compilador="$construccion/tools/VB6.exe"
fi

export WINEPREFIX="$prefijo" WINEARCH=win64 WINEDEBUG=-all
# Host file names in UTF-8 and ANSI code page 1252, whatever the locale.
export LC_ALL=C.UTF-8
# No Mono or Gecko: their install prompts would wait for ever.
export WINEDLLOVERRIDES="mscoree=;mshtml="

cerrar_wine() { wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; }

aviso "Wine prefix ($prefijo)"
cerrar_wine
if [[ "${VORPEL_DEMO_NUEVO:-}" == 1 || ! -f "$prefijo/system.reg" ]]; then
    rm -rf "$prefijo"
    mkdir -p "$construccion"
    if ! (unset DISPLAY; wineboot -i && wineserver -w) >"$construccion/wineboot.log" 2>&1; then
        cat "$construccion/wineboot.log" >&2
        exit 1
    fi
fi
# Drive C: with the samples, as they are in the repository.
rm -rf "$unidad_c/DEV" "$unidad_c/DARVENTO" "$unidad_c/zel_lib" "$unidad_e"
cp -R "$muestras/DEV" "$muestras/DARVENTO" "$muestras/zel_lib" "$unidad_c/" || exit 1
cp "$construccion/vorpel.exe" "$unidad_c/DEV/" || exit 1
# Drive E: for the backups, empty.
mkdir -p "$unidad_e" && ln -sfn "$unidad_e" "$prefijo/dosdevices/e:" || exit 1
if [[ -n "$compilador" ]]; then
    vb98="$unidad_c/Program Files (x86)/Microsoft Visual Studio/VB98"
    mkdir -p "$vb98" && cp "$compilador" "$vb98/VB6.EXE" || exit 1
    echo "Compiler stand-in: C:\\Program Files (x86)\\Microsoft Visual Studio\\VB98\\VB6.EXE"
fi
echo "DEV folder: C:\\DEV = $unidad_c/DEV"
echo "Backups:    E:\\    = $unidad_e"

cd "$unidad_c/DEV" || exit 1
if [[ -n "${DISPLAY:-}" ]]; then
    aviso "Starting C:\\DEV\\vorpel.exe (close the window to end)"
    wine 'C:\DEV\vorpel.exe'
    estado=$?
    cerrar_wine
    exit "$estado"
fi

# No display: a virtual one, a screenshot of the window, and the end.
aviso "Starting C:\\DEV\\vorpel.exe under Xvfb"
rm -f "$captura"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    captura="$1"
    wine "C:\\DEV\\vorpel.exe" </dev/null >/dev/null 2>&1 &
    ventana=""
    for ((i = 0; i < 120; i++)); do
        ventana="$(xwininfo -root -tree 2>/dev/null | awk "/\"Vorpel \"/ {print \$1; exit}")"
        [[ -n "$ventana" ]] && break
        sleep 0.5
    done
    if [[ -z "$ventana" ]]; then
        echo "The window did not appear within a minute" >&2
        exit 1
    fi
    sleep 2  # let it paint
    xwd -silent -id "$ventana" | xwdtopnm 2>/dev/null | pnmtopng >"$captura"
' _ "$captura"
estado=$?
cerrar_wine
if ((estado != 0)) || [[ ! -s "$captura" ]]; then
    echo "No screenshot was taken" >&2
    exit 1
fi
aviso "Screenshot of the window"
echo "$captura"
