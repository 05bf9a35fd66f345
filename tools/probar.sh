#!/usr/bin/env bash
# Builds both presets and runs both test suites: the native one (GCC, ASan and
# UBSan) and the Windows one (MinGW-w64 cross-build, run under Wine in a
# throw-away prefix). Installs the Debian packages it needs when they are
# missing. Exits non-zero when anything fails.
#
# Usage: probar.sh [native|windows|mismo-prefijo]   (no argument: all three; the
#        last runs the native build on the Wine prefix of the Windows suite)
# Environment: VORPEL_BUILD  build root (default: <repo>/build)
#              VORPEL_JOBS   parallel build jobs (default: nproc)
set -uo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
construccion="${VORPEL_BUILD:-$raiz/build}"
trabajos="${VORPEL_JOBS:-$(nproc 2>/dev/null || echo 2)}"
inicio=$SECONDS

# Installed without recommends; the fonts and X libraries that Wine only
# recommends are named so that windows draw under Xvfb.
paquetes=(cmake ninja-build g++ googletest libssl-dev g++-mingw-w64-x86-64-posix
          wine wine64 fonts-wine xvfb xauth
          libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1 libxfixes3)

source "$raiz/tools/comun.sh"

# --- Native suite -----------------------------------------------------------

probar_nativo() {
    local dir="$construccion/native"
    aviso "native: configure and build ($dir)"
    cmake --preset native -B "$dir" -S "$raiz" >/dev/null &&
        cmake --build "$dir" -j "$trabajos" || return 1
    aviso "native: tests"
    # In parallel: the fault matrix alone takes longer than all the others.
    ctest --test-dir "$dir" --output-on-failure --no-tests=error --timeout 600 -j "$trabajos" 2>&1 |
        tee "$construccion/native-ctest.log"
    local estado="${PIPESTATUS[0]}"
    casos_de_matrices "$dir"
    return "$estado"
}

# The case counts of the fault, crash and power-cut matrices, one line per
# command, from the log ctest keeps of every test's output.
casos_de_matrices() {
    local registro="$1/Testing/Temporary/LastTest.log"
    [[ -f "$registro" ]] || return 0
    echo "Matrix cases:"
    grep -a '^\[ matriz   \]' "$registro" | sed 's/^\[ matriz   \] /  /'
}

# --- Windows suite under Wine -------------------------------------------------

prefijo=""
cerrar_wine() {
    if [[ -n "$prefijo" && -d "$prefijo" ]]; then
        WINEPREFIX="$prefijo" wineserver -k >/dev/null 2>&1
        WINEPREFIX="$prefijo" wineserver -w >/dev/null 2>&1
        rm -rf "$prefijo"
    fi
}
trap cerrar_wine EXIT
trap "exit 130" INT TERM

preparar_wine() {
    # Never the user's ~/.wine: a fresh prefix for every run.
    prefijo="$(mktemp -d "${TMPDIR:-/tmp}/vorpel-wine.XXXXXX")" || return 1
    export WINEPREFIX="$prefijo" WINEARCH=win64 WINEDEBUG=-all
    # Wine takes the encoding of host file names from the locale: without a
    # UTF-8 one (CI often has none) names such as "Año.vbp" are mangled. It
    # also gives ANSI code page 1252.
    export LC_ALL=C.UTF-8
    # No Mono or Gecko: their install prompts would wait for ever.
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    local t0=$SECONDS
    if ! (unset DISPLAY; wineboot -i && wineserver -w) >"$construccion/wineboot.log" 2>&1; then
        cat "$construccion/wineboot.log" >&2
        return 1
    fi
    # A drive whose root is empty (as a freshly formatted backup drive); Wine
    # cannot map drives from inside a program.
    mkdir -p "$prefijo/unidad_vacia" && ln -sfn ../unidad_vacia "$prefijo/dosdevices/v:"
    export VORPEL_UNIDAD_VACIA="V:"
    # A persistent server keeps Wine's system processes up between the test
    # programs; otherwise each one pays Wine's start-up again (seconds each).
    wineserver -p >>"$construccion/wineboot.log" 2>&1 || return 1
    echo "Wine prefix ready in $((SECONDS - t0)) s"
}

probar_windows() {
    local dir="$construccion/windows"
    aviso "windows: configure and build ($dir)"
    cmake --preset windows -B "$dir" -S "$raiz" >/dev/null &&
        cmake --build "$dir" -j "$trabajos" || return 1
    aviso "windows: Wine prefix"
    preparar_wine || return 1
    aviso "windows: tests under Wine"
    # Wine's system processes start with the first program and outlive it; they
    # must not inherit ctest's output pipe, or ctest waits for them until its
    # time-out. So a first program starts them with its output sent to a file.
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        wine cmd.exe /c exit </dev/null >>"$1" 2>&1
        exec ctest --test-dir "$2" --output-on-failure --no-tests=error --timeout 600' \
        _ "$construccion/wineboot.log" "$dir" 2>&1 |
        tee "$construccion/windows-ctest.log"
    local estado="${PIPESTATUS[0]}"
    casos_de_matrices "$dir"
    return "$estado"
}

# The native build on the very prefix the Windows build ran on: both must see
# the same files and print the same output.
probar_mismo_prefijo() {
    aviso "native build on the Windows suite's Wine prefix"
    [[ -n "$prefijo" ]] || preparar_wine || return 1
    E2E_PREFIJO_WINE=1 bash "$raiz/tests/e2e/correr.sh" "$construccion/native/vorpel-cli" 2>&1 |
        tee "$construccion/mismo-prefijo-ctest.log"
    return "${PIPESTATUS[0]}"
}

resumen() {
    local nombre="$1" estado="$2" linea=""
    [[ -f "$construccion/$nombre-ctest.log" ]] &&
        linea="$(grep -E 'tests passed|No tests were found|scenarios passed' "$construccion/$nombre-ctest.log" | tail -n 1)"
    if ((estado == 0)); then
        printf '%-14s OK     %s\n' "$nombre" "${linea:-}"
    else
        printf '%-14s FAILED %s\n' "$nombre" "${linea:-(build or set-up failed)}"
    fi
}

instalar_paquetes || { echo "Could not install the required packages" >&2; exit 2; }
mkdir -p "$construccion"
rm -f "$construccion/native-ctest.log" "$construccion/windows-ctest.log"

suites=("$@")
((${#suites[@]} == 0)) && suites=(native windows mismo-prefijo)
fallos=0
declare -A estados=()
for suite in "${suites[@]}"; do
    case "$suite" in
        native) probar_nativo ;;
        windows) probar_windows ;;
        mismo-prefijo) probar_mismo_prefijo ;;
        *) echo "Unknown suite: $suite (native, windows or mismo-prefijo)" >&2; exit 2 ;;
    esac
    estados[$suite]=$?
    ((estados[$suite] == 0)) || fallos=1
done

aviso "Summary ($((SECONDS - inicio)) s)"
for suite in "${suites[@]}"; do
    resumen "$suite" "${estados[$suite]}"
done
if ((fallos == 0)); then
    echo "ALL TESTS PASSED"
    exit 0
fi
echo "TESTS FAILED"
exit 1
