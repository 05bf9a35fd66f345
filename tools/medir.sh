#!/usr/bin/env bash
# The benchmark suite: what each command costs on a generated DEV folder,
# against the least work the command has to do (its floor) and against what a
# user would do with common tools (its peers), all measured in the same run.
# Not a test: it asserts nothing and is not part of tools/probar.sh. See
# docs/medidas.md for the jobs, the floors and how to read the figures.
#
# Usage: tools/medir.sh [options] [JOB...]
#   JOB: p1 p1b p2 p3 p4 grafo wine historial llamadas (default: all of them)
#   --rapido             small sizes, for a quick look
#   --veces R            runs of each measurement (default 5, at least 5
#                        for figures that count)
#   --base VORPEL-CLI    a baseline vorpel-cli: p3, historial and llamadas
#                        also run it and print current/baseline
#   --base-exe VORPEL-CLI.EXE
#                        a baseline Windows build: llamadas also counts it
#                        under Wine
#   --construir-base COMMIT
#                        build a baseline vorpel-cli from COMMIT in a scratch
#                        worktree (../<this worktree>-base-COMMIT) and use it
#                        as --base
# Environment: VORPEL_BUILD  build root (default: <repo>/build)
#              VORPEL_JOBS   parallel build jobs (default: nproc)
#              MEDIR_TMP     scratch folder for the generated folders
#                            (default: $VORPEL_BUILD/medidas-datos)
set -uo pipefail

raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
construccion="${VORPEL_BUILD:-$raiz/build}"
trabajos="${VORPEL_JOBS:-$(nproc 2>/dev/null || echo 2)}"
source "$raiz/tools/comun.sh"

veces=5
rapido=0
base=""
base_exe=""
commit_base=""
pedidos=()
while (($#)); do
    case "$1" in
        --rapido) rapido=1 ;;
        --veces) veces="$2"; shift ;;
        --base) base="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"; shift ;;
        --base-exe) base_exe="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"; shift ;;
        --construir-base) commit_base="$2"; shift ;;
        -h | --help) sed -n '2,24p' "${BASH_SOURCE[0]}"; exit 0 ;;
        p1 | p1b | p2 | p3 | p4 | grafo | wine | historial | llamadas) pedidos+=("$1") ;;
        *) echo "medir.sh: unknown argument: $1 (see --help)" >&2; exit 2 ;;
    esac
    shift
done
((${#pedidos[@]} == 0)) && pedidos=(p1 p1b p2 p3 p4 grafo wine historial llamadas)
quiere() { [[ " ${pedidos[*]} " == *" $1 "* ]]; }

# Sizes: the full run and the quick one.
if ((rapido)); then
    tamanos_p1=(100 400) n_p1b=400 m_p2=200 ks_p2=(20 50 100) f_p3=400 m_p4=1000 n_wine=200
    ms_grafo=(100 200) k_grafo=100
    f_wine=400 n_historial=400 n_llamadas=100 f_llamadas=200 m_llamadas=500
else
    tamanos_p1=(250 2000) n_p1b=2000 m_p2=1000 ks_p2=(100 250 500) f_p3=2000 m_p4=5000
    ms_grafo=(500 1000) k_grafo=500
    n_wine=2000 f_wine=2000 n_historial=2000 n_llamadas=250 f_llamadas=500 m_llamadas=2000
fi

salida_dir="$construccion/medidas"
datos="${MEDIR_TMP:-$construccion/medidas-datos}"
resultados="$salida_dir/resultados.txt"

# --- Set-up -------------------------------------------------------------------

paquetes=(cmake ninja-build g++ rsync time)
quiere llamadas && paquetes+=(strace)
{ quiere wine || quiere llamadas; } && paquetes+=(g++-mingw-w64-x86-64-posix wine wine64)
instalar_paquetes || { echo "Could not install the required packages" >&2; exit 2; }

aviso "Building vorpel-cli (Release, no sanitizers) and the benchmark tools ($salida_dir)"
cmake --preset medidas -B "$salida_dir" -S "$raiz" >/dev/null &&
    cmake --build "$salida_dir" -j "$trabajos" || exit 1
cli="$salida_dir/vorpel-cli"
generar="$salida_dir/tools/medir/generar-dev"
pisos="$salida_dir/tools/medir/pisos"
cronometro="$salida_dir/tools/medir/cronometro"
vb6_nulo="$salida_dir/tools/medir/vb6-nulo"
sed_usuario="$raiz/tools/medir/corregir_con_sed.sh"

if quiere wine || quiere llamadas; then
    aviso "Building vorpel-cli.exe ($construccion/windows)"
    cmake --preset windows -B "$construccion/windows" -S "$raiz" >/dev/null &&
        cmake --build "$construccion/windows" --target vorpel-cli -j "$trabajos" || exit 1
fi

if [[ -n "$commit_base" ]]; then
    arbol_base="$(dirname "$raiz")/$(basename "$raiz")-base-$commit_base"
    aviso "Building the baseline vorpel-cli from $commit_base ($arbol_base)"
    if [[ ! -d "$arbol_base" ]]; then
        git -C "$raiz" worktree add --detach "$arbol_base" "$commit_base" >/dev/null || exit 1
    fi
    # Plain cmake flags: an old commit has no preset of ours.
    cmake -S "$arbol_base" -B "$arbol_base/build-medidas" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVORPEL_TESTS=OFF >/dev/null &&
        cmake --build "$arbol_base/build-medidas" --target vorpel-cli -j "$trabajos" || exit 1
    base="$arbol_base/build-medidas/vorpel-cli"
fi

mkdir -p "$salida_dir" "$datos"
: >"$resultados"
informe() { printf '%s\n' "$*" | tee -a "$resultados"; }
inicio=$SECONDS
informe "Vorpel benchmarks - $(date '+%Y-%m-%d %H:%M') - $(git -C "$raiz" log -1 --format='%h %s' | cut -c1-70)"
informe "vorpel-cli: $cli"
[[ -n "$base" ]] && informe "baseline:   $base"
[[ -n "$base_exe" ]] && informe "baseline under Wine: $base_exe"
informe "runs per measurement: $veces; times in seconds (wall clock); cpu = user+system; peak = largest resident set"
((veces < 5)) && informe "NOTE: fewer than 5 runs per measurement: a look, not figures to quote"
((rapido)) && informe "NOTE: --rapido sizes, not the sizes of the figures"
informe "machine: $(nproc) cores; load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

# --- Measuring ----------------------------------------------------------------

# A folder as it was generated is kept as a pristine copy; each run starts
# from a fresh copy of it, flushed to disk and then read once, so that every
# command (the tool, its floor, its peers) finds the page cache alike.
restaurar() {  # PRISTINO TRABAJO
    rm -rf "$2" && cp -a "$1" "$2"
}
calentar() {  # FOLDER...
    sync
    find "$@" -type f -exec cat {} + >/dev/null 2>&1
}

# A measurement: label, a preparation run before every run (not timed), an
# extended regex that the output must match, the folder to run in, then the
# command. All of a job's measurements run in turn, round after round.
V_ETIQ=() V_PREP=() V_ESP=() V_DIR=() V_CMD=()
variante() {
    V_ETIQ+=("$1") V_PREP+=("$2") V_ESP+=("$3") V_DIR+=("$4")
    shift 4
    V_CMD+=("$(printf '%q ' "$@")")
}
limpiar_variantes() { V_ETIQ=() V_PREP=() V_ESP=() V_DIR=() V_CMD=(); }

# Runs every measurement of the job $1 $veces times. The timings go to
# $salida_dir/tiempos/<job>/<label>.txt, one line a run (see cronometro.cpp).
correr() {
    local trabajo="$1" r i etiqueta archivo
    mkdir -p "$salida_dir/tiempos/$trabajo"
    for i in "${!V_ETIQ[@]}"; do : >"$salida_dir/tiempos/$trabajo/${V_ETIQ[i]}.txt"; done
    for ((r = 1; r <= veces; r++)); do
        printf '  round %d/%d:' "$r" "$veces" >&2
        for i in "${!V_ETIQ[@]}"; do
            etiqueta="${V_ETIQ[i]}"
            archivo="$salida_dir/tiempos/$trabajo/$etiqueta.txt"
            eval "${V_PREP[i]}"
            (cd "${V_DIR[i]}" && eval "\"\$cronometro\" \"\$archivo\" -- ${V_CMD[i]}") \
                </dev/null >"$salida_dir/tiempos/$trabajo/$etiqueta.salida" 2>&1
            if [[ -n "${V_ESP[i]}" ]] &&
                ! grep -Eq -- "${V_ESP[i]}" "$salida_dir/tiempos/$trabajo/$etiqueta.salida"; then
                echo "" >&2
                echo "  UNEXPECTED OUTPUT of $trabajo/$etiqueta (run $r):" >&2
                head -n 15 "$salida_dir/tiempos/$trabajo/$etiqueta.salida" >&2
                echo "x" >>"$salida_dir/tiempos/$trabajo/$etiqueta.fallos"
            fi
            printf ' %s %.2fs' "$etiqueta" "$(tail -n 1 "$archivo" | cut -d' ' -f1)" >&2
        done
        echo "" >&2
    done
}

# min median cpu(median of user+sys) peak-MB runs failures, for job $1, label $2.
estadistica() {
    local archivo="$salida_dir/tiempos/$1/$2.txt" fallos=0
    [[ -f "$salida_dir/tiempos/$1/$2.fallos" ]] && fallos=$(wc -l <"$salida_dir/tiempos/$1/$2.fallos")
    awk -v fallos="$fallos" '
        function ordenar(v, n,   i, j, x) {
            for (i = 2; i <= n; i++) { x = v[i]; for (j = i - 1; j >= 1 && v[j] > x; j--) v[j + 1] = v[j]; v[j + 1] = x }
        }
        function medio(v, n) { return (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }
        { t[NR] = $1; c[NR] = $2 + $3; if ($4 > rss) rss = $4; if ($5 != 0) malos++ }
        END {
            n = NR; if (n == 0) { print "0 0 0 0 0 1"; exit }
            ordenar(t, n); ordenar(c, n)
            printf "%.4f %.4f %.4f %.1f %d %d\n", t[1], medio(t, n), medio(c, n), rss / 1024, n, malos + fallos }' "$archivo"
}
mediana() { estadistica "$1" "$2" | cut -d' ' -f2; }

# One line: label, description, min, median, CPU, peak and, when a
# reference label is given, the ratio of the medians to it.
linea() {  # JOB LABEL DESCRIPTION [REFERENCE-LABEL REFERENCE-NAME]...
    local trabajo="$1" etiqueta="$2" texto="$3" e cocientes="" m
    shift 3
    e=($(estadistica "$trabajo" "$etiqueta"))
    while (($# >= 2)); do
        m="$(mediana "$trabajo" "$1")"
        cocientes+="$(awk -v a="${e[1]}" -v b="$m" -v n="$2" 'BEGIN { printf "  %.2fx %s", a / b, n }')"
        shift 2
    done
    local aviso_fallos=""
    ((e[5] > 0)) && aviso_fallos="  (${e[5]} runs FAILED or printed something unexpected)"
    informe "$(printf '  %-44s min %8.3f  median %8.3f  cpu %7.3f  peak %6.1f MB%s%s' \
        "$texto" "${e[0]}" "${e[1]}" "${e[2]}" "${e[3]}" "$cocientes" "$aviso_fallos")"
}
cociente() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# A prefix made by the generator: drives C: and E: below it.
generar() {  # FOLDER ARGS...
    local carpeta="$1"
    shift
    rm -rf "$carpeta"
    "$generar" "$carpeta" "$@" >/dev/null || exit 1
}

# --- P1: frm of one project of N forms needing every change -----------------------

trabajo_p1() {
    local n lugar
    declare -A medianas=()
    for n in "${tamanos_p1[@]}"; do
        aviso "P1: frm of a project of $n forms that need every change"
        lugar="$datos/p1-$n"
        generar "$lugar/pristino" frm "$n"
        export WINEPREFIX="$lugar/trabajo"
        local dev="$lugar/trabajo/unidad_c/DEV" e="$lugar/trabajo/unidad_e"
        local prep="restaurar '$lugar/pristino' '$lugar/trabajo' && calentar '$dev'"
        limpiar_variantes
        variante vorpel "$prep" "Formularios modificados: $n\$" "$dev" \
            "$cli" --dev "$dev" --si frm Contable
        variante piso "$prep" "" "$dev" "$pisos" reescribir "$dev" Contable "$e/piso"
        variante sed "$prep" "" "$dev" bash "$sed_usuario" "$dev" Contable "$e/sed"
        correr "p1-$n"
        informe ""
        informe "P1  frm, $n forms needing every change ($(du -sh "$lugar/pristino/unidad_c/DEV" | cut -f1) of DEV)"
        linea "p1-$n" vorpel "vorpel-cli frm" piso "floor" sed "cp+sed -i"
        linea "p1-$n" piso "floor: read, backup+flush, write+flush"
        linea "p1-$n" sed "peer: cp backup + one sed -i per form"
        medianas[$n]="$(mediana "p1-$n" vorpel)"
        # Does the peer do the same rewrite? Compare the forms each leaves.
        if [[ "$n" == "${tamanos_p1[0]}" ]]; then
            restaurar "$lugar/pristino" "$lugar/trabajo"
            (cd "$dev" && "$cli" --dev "$dev" --si frm Contable >/dev/null 2>&1)
            rm -rf "$lugar/con-sed" && cp -a "$lugar/pristino" "$lugar/con-sed"
            bash "$sed_usuario" "$lugar/con-sed/unidad_c/DEV" Contable "$lugar/con-sed/bck"
            local distintos
            distintos=$(cd "$dev" && for f in *.frm Contable.vbp; do
                cmp -s "$f" "$lugar/con-sed/unidad_c/DEV/$f" || echo "$f"; done | wc -l)
            informe "  the peer's forms and project file equal the tool's: $([[ $distintos == 0 ]] && echo yes || echo "no, $distintos differ")"
        fi
    done
    local primero="${tamanos_p1[0]}" ultimo="${tamanos_p1[-1]}"
    informe "  growth from $primero to $ultimo forms ($(cociente "$ultimo" "$primero")x): time $(cociente "${medianas[$ultimo]}" "${medianas[$primero]}")x"
}

# --- P1b: the same when nothing needs changing --------------------------------

trabajo_p1b() {
    local n="$n_p1b" lugar="$datos/p1b"
    aviso "P1b: frm of a project of $n forms that need no change"
    generar "$lugar/trabajo" frm "$n" --corregido
    export WINEPREFIX="$lugar/trabajo"
    local dev="$lugar/trabajo/unidad_c/DEV"
    # Nothing is written: warming is preparation enough.
    limpiar_variantes
    variante vorpel "calentar '$dev'" "no tiene formularios ni .vbp pendientes" "$dev" \
        "$cli" --dev "$dev" --si frm Contable
    variante piso "calentar '$dev'" "" "$dev" "$pisos" leer "$dev" Contable
    correr p1b
    informe ""
    informe "P1b frm, $n forms already corrected"
    linea p1b vorpel "vorpel-cli frm" piso "floor"
    linea p1b piso "floor: read the .vbp and every form once"
}

# --- P2: the batch over K ticked projects of M ------------------------------------

trabajo_p2() {
    local m="$m_p2" lugar="$datos/p2" k
    aviso "P2: the batch over ticked projects of a $m-project DEV folder, no-op compiler"
    generar "$lugar/trabajo" lote "$m"
    export WINEPREFIX="$lugar/trabajo" TEMP='C:\TEMP'
    local dev="$lugar/trabajo/unidad_c/DEV"
    local vb98="$lugar/trabajo/unidad_c/Program Files (x86)/Microsoft Visual Studio/VB98"
    mkdir -p "$vb98" && cp "$vb6_nulo" "$vb98/VB6.EXE"
    # The projects are corrected already: the corrections find nothing to do
    # and the batch writes nothing but its log.
    local prep="rm -f '$dev'/Herramientas/*; calentar '$dev'"
    local nombres=()
    mapfile -t nombres < <(cd "$dev" && ls -- *.vbp | sed 's/\.vbp$//' | LC_ALL=C sort)
    informe ""
    informe "P2  batch, K ticked of a $m-project DEV folder ($(du -sh "$dev" | cut -f1)), no-op compiler"
    local resumen=()
    for k in "${ks_p2[@]}"; do
        local marcados=("${nombres[@]:0:k}")
        limpiar_variantes
        variante vorpel "$prep" "OK: $k   Con error: 0" "$dev" \
            "$cli" --dev "$dev" --si recompilar "${marcados[@]}"
        variante sin-corregir "$prep" "OK: $k   Con error: 0" "$dev" \
            "$cli" --dev "$dev" --sin-corregir recompilar "${marcados[@]}"
        variante bucle "$prep" "" "$dev" bash -c \
            'for p; do "$0" /make "C:\DEV\\$p.vbp" /out "C:\TEMP\vorpel_compile_bucle.txt"; done' \
            "$vb98/VB6.EXE" "${marcados[@]}"
        variante piso "$prep" "" "$dev" "$pisos" leer "$dev" "${marcados[@]}"
        variante piso-vbp "$prep" "" "$dev" "$pisos" leer-vbp "$dev"
        correr "p2-$k"
        informe "  K = $k"
        linea "p2-$k" vorpel "vorpel-cli recompilar (correcting)" bucle "shell loop"
        linea "p2-$k" sin-corregir "vorpel-cli --sin-corregir recompilar" bucle "shell loop"
        linea "p2-$k" bucle "shell loop of the same compiler"
        linea "p2-$k" piso "floor: ticked .vbp and their forms once"
        linea "p2-$k" piso-vbp "floor: every .vbp of the folder once"
        local t b s p pv
        t="$(mediana "p2-$k" vorpel)" b="$(mediana "p2-$k" bucle)" s="$(mediana "p2-$k" sin-corregir)"
        p="$(mediana "p2-$k" piso)" pv="$(mediana "p2-$k" piso-vbp)"
        local propio
        propio="$(awk -v t="$t" -v b="$b" 'BEGIN { printf "%.4f", t - b }')"
        informe "$(printf '  batch own cost (batch - loop) %.3f s = %.2fx the ticked-files floor, %.2fx the every-.vbp floor; %.2f ms per ticked project' \
            "$propio" "$(cociente "$propio" "$p")" "$(cociente "$propio" "$pv")" "$(awk -v a="$propio" -v k="$k" 'BEGIN { printf "%.3f", a * 1000 / k }')")"
        informe "$(printf '  batch loop without corrections / shell loop: %.2fx; check and corrections: %.3f s' \
            "$(cociente "$s" "$b")" "$(awk -v t="$t" -v s="$s" 'BEGIN { printf "%.4f", t - s }')")"
        resumen+=("$k:$propio")
    done
    local primero="${resumen[0]}" ultimo="${resumen[-1]}"
    informe "  linearity: own cost per ticked project at K=${primero%%:*}: $(awk -v a="${primero#*:}" -v k="${primero%%:*}" 'BEGIN { printf "%.3f", a * 1000 / k }') ms, at K=${ultimo%%:*}: $(awk -v a="${ultimo#*:}" -v k="${ultimo%%:*}" 'BEGIN { printf "%.3f", a * 1000 / k }') ms"
    unset TEMP
}

# --- P3: traer of an F-file project ------------------------------------------------

trabajo_p3() {
    local f="$f_p3" lugar="$datos/p3"
    aviso "P3: traer of a project of $f files"
    generar "$lugar/pristino" origen "$f"
    local origen_rel="unidad_c/DARVENTO/SISTEMAS/Plexwin/ZEL_CONT"
    # The DEV folder after one traer: every file there, equal to the origin's.
    restaurar "$lugar/pristino" "$lugar/traido"
    (cd "$lugar/traido/unidad_c/DEV" && WINEPREFIX="$lugar/traido" "$cli" --dev "$lugar/traido/unidad_c/DEV" \
        --si traer Traslado >"$lugar/traido.salida" 2>&1)
    export WINEPREFIX="$lugar/trabajo"
    local dev="$lugar/trabajo/unidad_c/DEV" origen="$lugar/trabajo/$origen_rel"
    local vacio="restaurar '$lugar/pristino' '$lugar/trabajo' && calentar '$lugar/trabajo/unidad_c'"
    local iguales="restaurar '$lugar/traido' '$lugar/trabajo' && calentar '$lugar/trabajo/unidad_c'"
    local traido="Proyecto traido: Traslado"
    limpiar_variantes
    variante vorpel "$vacio" "$traido" "$dev" "$cli" --dev "$dev" --si traer Traslado
    [[ -n "$base" ]] && variante base "$vacio" "$traido" "$dev" "$base" --dev "$dev" --si traer Traslado
    variante piso "$vacio" "" "$dev" "$pisos" copiar "$origen" "$dev"
    variante rsync "$vacio" "" "$dev" rsync -rtu "$origen/" "$dev/"
    variante rsync-fsync "$vacio" "" "$dev" rsync -rtu --fsync "$origen/" "$dev/"
    variante frm-traido "$iguales" "no tiene formularios ni .vbp pendientes" "$dev" \
        "$cli" --dev "$dev" --si frm Traslado
    variante iguales "$iguales" "$traido" "$dev" "$cli" --dev "$dev" --si traer Traslado
    variante rsync-iguales "$iguales" "" "$dev" rsync -rtu "$origen/" "$dev/"
    correr p3
    informe ""
    informe "P3  traer, a project of $f files ($(du -sh "$lugar/pristino/$origen_rel" | cut -f1)) into an empty DEV folder"
    if [[ -n "$base" ]]; then
        linea p3 vorpel "vorpel-cli traer" rsync-fsync "rsync --fsync" base "baseline" piso "floor"
        linea p3 base "baseline vorpel-cli traer" piso "floor"
    else
        linea p3 vorpel "vorpel-cli traer" rsync-fsync "rsync --fsync" piso "floor"
    fi
    linea p3 piso "floor: copy each file once, one flush"
    linea p3 rsync "peer: rsync -rtu"
    linea p3 rsync-fsync "peer: rsync -rtu --fsync"
    linea p3 frm-traido "of which the form check that follows" vorpel "of traer"
    informe "P3  traer again, every file already equal in DEV"
    linea p3 iguales "vorpel-cli traer" rsync-iguales "rsync -rtu"
    linea p3 rsync-iguales "peer: rsync -rtu"
}

# --- P4: listar of M projects ---------------------------------------------------

trabajo_p4() {
    local m="$m_p4" lugar="$datos/p4"
    aviso "P4: listar of $m projects"
    generar "$lugar/trabajo" catalogo "$m"
    export WINEPREFIX="$lugar/trabajo"
    local dev="$lugar/trabajo/unidad_c/DEV"
    limpiar_variantes
    variante vorpel "calentar '$dev'" "Proyectos \\($m\\)" "$dev" "$cli" --dev "$dev" listar
    variante piso "calentar '$dev'" "Proyectos \\($m\\)" "$dev" "$pisos" listar "$dev"
    variante ls "calentar '$dev'" "" "$dev" ls "$dev"
    correr p4
    informe ""
    informe "P4  listar, $m projects"
    linea p4 vorpel "vorpel-cli listar" piso "floor" ls "ls"
    linea p4 piso "floor: list the folder, keep the .vbp"
    linea p4 ls "peer: ls"
}

# --- Grafo: the DEV folder as a build ------------------------------------------------

trabajo_grafo() {
    local lugar="$datos/grafo" m resumen=()
    for m in "${ms_grafo[@]}"; do
        aviso "Grafo: recompilar --plan of $m projects, --solo-cambios of $k_grafo up to date"
        generar "$lugar/trabajo-$m" grafo "$m"
        export WINEPREFIX="$lugar/trabajo-$m"
        local dev="$lugar/trabajo-$m/unidad_c/DEV" nombres=()
        mapfile -t nombres < <(cd "$dev" && ls -- *.vbp | sed 's/\.vbp$//' | LC_ALL=C sort)
        local marcados=("${nombres[@]:0:k_grafo}")
        local prep="rm -f '$dev'/Herramientas/*; calentar '$dev'"
        limpiar_variantes
        variante plan "calentar '$dev'" "^Nivel 1: " "$dev" "$cli" --dev "$dev" recompilar --plan "${nombres[@]}"
        variante piso "calentar '$dev'" "" "$dev" "$pisos" entradas "$dev"
        variante solo-cambios "$prep" "OK: $k_grafo   Con error: 0" "$dev" \
            "$cli" --dev "$dev" --sin-corregir recompilar --solo-cambios "${marcados[@]}"
        variante piso-marcados "calentar '$dev'" "" "$dev" "$pisos" entradas "$dev" "${marcados[@]}"
        correr "grafo-$m"
        informe ""
        informe "Grafo  $m projects ($(du -sh "$dev" | cut -f1)); $k_grafo ticked, all up to date"
        linea "grafo-$m" plan "vorpel-cli recompilar --plan (all)" piso "floor"
        linea "grafo-$m" piso "floor: every .vbp read once, every input looked up once"
        linea "grafo-$m" solo-cambios "vorpel-cli recompilar --solo-cambios" piso-marcados "floor"
        linea "grafo-$m" piso-marcados "floor: the ticked .vbp read once, their inputs looked up once"
        resumen+=("$m:$(mediana "grafo-$m" plan)")
        unset WINEPREFIX
    done
    local primero="${resumen[0]}" ultimo="${resumen[-1]}"
    informe "  linearity of --plan: $(awk -v a="${primero#*:}" -v m="${primero%%:*}" 'BEGIN { printf "%.3f", a * 1000 / m }') ms per project at ${primero%%:*}, $(awk -v a="${ultimo#*:}" -v m="${ultimo%%:*}" 'BEGIN { printf "%.3f", a * 1000 / m }') ms at ${ultimo%%:*}"
}

# --- Historial: frm twice, the second run replacing the first run's copies ----------

trabajo_historial() {
    local n="$n_historial" lugar="$datos/historial"
    aviso "Historial: frm of $n forms twice in a row (the second replaces the first run's backup copies)"
    generar "$lugar/pristino" frm "$n"
    export WINEPREFIX="$lugar/trabajo"
    local dev="$lugar/trabajo/unidad_c/DEV"
    # The second run follows the same program's first run in the same round:
    # drive E: keeps that run's backup, and the forms are put back as they
    # were so that everything needs changing again.
    local primera="restaurar '$lugar/pristino' '$lugar/trabajo' && calentar '$dev'"
    local segunda="rm -rf '$dev' && cp -a '$lugar/pristino/unidad_c/DEV' '$dev' && calentar '$dev'"
    local hecho="Formularios modificados: $n\$"
    limpiar_variantes
    variante vorpel-1 "$primera" "$hecho" "$dev" "$cli" --dev "$dev" --si frm Contable
    variante vorpel-2 "$segunda" "$hecho" "$dev" "$cli" --dev "$dev" --si frm Contable
    if [[ -n "$base" ]]; then
        variante base-1 "$primera" "$hecho" "$dev" "$base" --dev "$dev" --si frm Contable
        variante base-2 "$segunda" "$hecho" "$dev" "$base" --dev "$dev" --si frm Contable
    fi
    correr historial
    informe ""
    informe "Historial  frm of $n forms, first run and second run"
    if [[ -n "$base" ]]; then
        linea historial vorpel-1 "vorpel-cli frm, first run" base-1 "baseline"
        linea historial vorpel-2 "vorpel-cli frm, second run" base-2 "baseline"
        linea historial base-1 "baseline frm, first run"
        linea historial base-2 "baseline frm, second run"
    else
        linea historial vorpel-1 "vorpel-cli frm, first run"
        linea historial vorpel-2 "vorpel-cli frm, second run" vorpel-1 "first run"
        informe "  (no --base: current/baseline not measured)"
    fi
}

# --- The Windows build under Wine: P1 and P3 --------------------------------------

prefijo_wine=""
cerrar_wine() {
    if [[ -n "$prefijo_wine" && -d "$prefijo_wine" ]]; then
        WINEPREFIX="$prefijo_wine" wineserver -k >/dev/null 2>&1
        WINEPREFIX="$prefijo_wine" wineserver -w >/dev/null 2>&1
        rm -rf "$prefijo_wine"
    fi
}
trap cerrar_wine EXIT
trap "exit 130" INT TERM

# A throw-away prefix in $1/prefijo, booted as tools/probar.sh boots its
# prefix: never ~/.wine. The generated folders are kept aside in $1 and put
# in place on drive C: for each run.
arrancar_wine() {  # FOLDER
    lugar_wine="$1"
    prefijo_wine="$lugar_wine/prefijo"
    export WINEPREFIX="$prefijo_wine" WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    if ! (unset DISPLAY; wineboot -i && wineserver -w) >"$lugar_wine/wineboot.log" 2>&1; then
        cat "$lugar_wine/wineboot.log" >&2
        return 1
    fi
    wineserver -p >>"$lugar_wine/wineboot.log" 2>&1
}
guardar_c() {  # NAME
    local c="$prefijo_wine/drive_c"
    mkdir -p "$lugar_wine/$1"
    mv "$c/DEV" "$c/DARVENTO" "$c/zel_lib" "$c/TEMP" "$lugar_wine/$1/"
}
poner_c() {  # NAME
    local c="$prefijo_wine/drive_c"
    rm -rf "$c/DEV" "$c/DARVENTO" "$c/zel_lib" "$c/TEMP" "$prefijo_wine/unidad_e"/* &&
        cp -a "$lugar_wine/$1/DEV" "$lugar_wine/$1/DARVENTO" "$lugar_wine/$1/zel_lib" \
            "$lugar_wine/$1/TEMP" "$c/" &&
        calentar "$c/DEV" "$c/DARVENTO"
}
terminar_wine() {
    cerrar_wine
    prefijo_wine=""
    unset WINEARCH WINEDEBUG WINEDLLOVERRIDES LC_ALL
}

trabajo_wine() {
    local exe="$construccion/windows/vorpel-cli.exe" lugar="$datos/wine"
    aviso "Wine: P1 and P3 with vorpel-cli.exe in a throw-away prefix"
    rm -rf "$lugar" && mkdir -p "$lugar"
    arrancar_wine "$lugar" || return 1
    local c="$prefijo_wine/drive_c"
    "$generar" "$prefijo_wine" frm "$n_wine" >/dev/null || return 1
    guardar_c frm
    "$generar" "$prefijo_wine" origen "$f_wine" >/dev/null || return 1
    guardar_c origen
    poner_c origen
    (cd "$c/DEV" && wine "$exe" --si traer Traslado >/dev/null 2>&1)
    guardar_c traido
    local dev="$c/DEV" origen="$c/DARVENTO/SISTEMAS/Plexwin/ZEL_CONT"
    limpiar_variantes
    variante inicio "poner_c frm" "Uso: vorpel-cli" "$dev" wine "$exe" --help
    variante frm "poner_c frm" "Formularios modificados: $n_wine" "$dev" \
        wine "$exe" --dev 'C:\DEV' --si frm Contable
    variante piso-frm "poner_c frm" "" "$dev" "$pisos" reescribir "$dev" Contable "$prefijo_wine/unidad_e/piso"
    variante traer "poner_c origen" "Proyecto traido: Traslado" "$dev" \
        wine "$exe" --dev 'C:\DEV' --si traer Traslado
    variante rsync-fsync "poner_c origen" "" "$dev" rsync -rtu --fsync "$origen/" "$dev/"
    variante piso-traer "poner_c origen" "" "$dev" "$pisos" copiar "$origen" "$dev"
    variante iguales "poner_c traido" "Proyecto traido: Traslado" "$dev" \
        wine "$exe" --dev 'C:\DEV' --si traer Traslado
    variante rsync-iguales "poner_c traido" "" "$dev" rsync -rtu "$origen/" "$dev/"
    correr wine
    informe ""
    informe "Wine  vorpel-cli.exe (Windows build) under Wine; floors and peers native on the same files"
    linea wine inicio "wine vorpel-cli.exe --help (Wine's start-up)"
    linea wine frm "P1 frm, $n_wine forms" piso-frm "floor"
    linea wine piso-frm "P1 floor (native)"
    linea wine traer "P3 traer into an empty DEV, $f_wine files" rsync-fsync "rsync --fsync" piso-traer "floor"
    linea wine piso-traer "P3 floor (native)"
    linea wine rsync-fsync "P3 peer: rsync -rtu --fsync"
    linea wine iguales "P3 traer, all files equal" rsync-iguales "rsync -rtu"
    linea wine rsync-iguales "P3 peer: rsync -rtu"
    terminar_wine
}

# --- Llamadas: file-system calls per file, against the least each command needs -------

# What is counted. Natively, the system calls that touch files in a
# `strace -f -c` summary (glibc's fstat is a newfstatat of the descriptor, so
# it counts among the stats); under Wine, the ntdll file calls its relay
# trace shows (every call into ntdll from the program's own DLLs).
llamadas_de_archivos="stat newfstatat statx lstat fstat open openat read write close fsync fdatasync syncfs rename renameat renameat2 link linkat unlink unlinkat mkdir mkdirat getdents64 utimensat flock fcntl"
llamadas_de_estado="stat newfstatat statx lstat fstat"
llamadas_ntdll="NtCreateFile NtOpenFile NtQueryAttributesFile NtQueryFullAttributesFile NtQueryInformationFile NtQueryDirectoryFile NtQueryDirectoryFileEx NtQueryVolumeInformationFile NtReadFile NtWriteFile NtSetInformationFile NtFlushBuffersFile NtDeleteFile NtClose"

# "NAME COUNT" lines of a strace -c summary, for the calls that touch files.
cuentas_strace() {  # SUMMARY
    awk -v nombres="$llamadas_de_archivos" '
        BEGIN { n = split(nombres, v, " "); for (i = 1; i <= n; i++) quiero[v[i]] = 1 }
        ($NF in quiero) && $4 ~ /^[0-9]+$/ { print $NF, $4 }' "$1"
}
# "NAME COUNT" lines of the ntdll file calls in a relay trace.
cuentas_relay() {  # TRACE
    awk -v nombres="$llamadas_ntdll" '
        BEGIN { n = split(nombres, v, " "); for (i = 1; i <= n; i++) quiero["ntdll." v[i]] = 1 }
        /:Call ntdll\./ {
            nombre = $0; sub(/^[^:]*:Call /, "", nombre); sub(/\(.*/, "", nombre)
            if (nombre in quiero) { sub(/^ntdll\./, "", nombre); c[nombre]++ }
        }
        END { for (k in c) print k, c[k] }' "$1"
}
# "NAME COUNT" lines of the counting layer (VORPEL_CONTAR_LLAMADAS=1).
cuentas_capa() {  # ERROR-STREAM
    awk '$1 == "vorpel:" && $2 == "llamadas" && $4 > 0 { print $3, $4 }' "$1"
}

# The counts of a run less those of the same program's start-up (its
# --help), as "NAME COUNT" lines.
sin_inicio() {  # COUNTS START-UP
    awk 'FILENAME == ARGV[1] { inicio[$1] = $2; next }
        { v = $2 - inicio[$1]; print $1, (v < 0 ? 0 : v) }' "$2" "$1"
}

# One report line: the calls counted, per unit and against the minimum; the
# share of the stats and the biggest kinds per unit. With a baseline's counts,
# current/baseline too. The paths a flush named are shown, but are not calls.
linea_llamadas() {  # TEXT COUNTS UNITS UNIT MINIMUM [STATS] [BASELINE-COUNTS]
    local texto="$1" cuentas="$2" unidades="$3" unidad="$4" minimo="$5"
    local estados="${6:-}" base_cuentas="${7:-}"
    informe "$(awk -v texto="$texto" -v unidades="$unidades" -v unidad="$unidad" \
        -v minimo="$minimo" -v estados="$estados" -v conbase="$base_cuentas" '
        FILENAME == ARGV[1] { c[$1] += $2; if ($1 != "RutasSincronizadas") total += $2; next }
        { if ($1 != "RutasSincronizadas") totalb += $2 }
        END {
            n = split(estados, e, " "); for (i = 1; i <= n; i++) es[e[i]] = 1
            for (k in c) if (k in es) st += c[k]
            linea = sprintf("    %-24s %8d = %6.1f a %s, %5.2fx the minimum", texto, total, total / unidades, unidad, total / minimo)
            if (n > 0 && total > 0) linea = linea sprintf("; stats %d%%", 100 * st / total)
            if (conbase != "" && totalb > 0) linea = linea sprintf("; %.2fx the baseline (%.1f a %s)", total / totalb, totalb / unidades, unidad)
            m = 0; for (k in c) if (c[k] / unidades >= 0.05) { m++; nom[m] = k }
            for (i = 2; i <= m; i++) { x = nom[i]; for (j = i - 1; j >= 1 && c[nom[j]] < c[x]; j--) nom[j + 1] = nom[j]; nom[j + 1] = x }
            partes = ""; for (i = 1; i <= m && i <= 8; i++) partes = partes sprintf("%s%s %.1f", (i > 1 ? ", " : ""), nom[i], c[nom[i]] / unidades)
            print linea
            if (partes != "") print "      a " unidad ": " partes
        }' "$cuentas" ${base_cuentas:+"$base_cuentas"})"
}

# One native run under strace, counting layer on: the summary in
# $lugar/ETIQ.strace, the counts in ETIQ.cuentas, the layer's in ETIQ.capa.
llamadas_nativo() {  # ETIQ EXPECTED FOLDER VORPEL-CLI ARGS...
    local etiqueta="$1" esperado="$2" carpeta="$3" salida="$lugar/$1"
    shift 3
    (cd "$carpeta" && VORPEL_CONTAR_LLAMADAS=1 strace -f -c -o "$salida.strace" "$@") \
        </dev/null >"$salida.salida" 2>"$salida.errores"
    if [[ -n "$esperado" ]] && ! grep -Eq -- "$esperado" "$salida.salida"; then
        echo "  UNEXPECTED OUTPUT of llamadas/$etiqueta:" >&2
        head -n 15 "$salida.salida" "$salida.errores" >&2
        informe "    ($etiqueta FAILED or printed something unexpected: its figures are worthless)"
    fi
    cuentas_strace "$salida.strace" >"$salida.cuentas"
    cuentas_capa "$salida.errores" >"$salida.capa"
}
# The same with the Windows build under Wine, traced by Wine's relay.
llamadas_wine() {  # ETIQ EXPECTED FOLDER ARGS...
    local etiqueta="$1" esperado="$2" carpeta="$3" salida="$lugar/$1"
    shift 3
    (cd "$carpeta" && VORPEL_CONTAR_LLAMADAS=1 WINEDEBUG=+relay wine "$@") \
        </dev/null >"$salida.salida" 2>"$salida.errores"
    if [[ -n "$esperado" ]] && ! grep -Eq -- "$esperado" "$salida.salida"; then
        echo "  UNEXPECTED OUTPUT of llamadas/$etiqueta:" >&2
        head -n 15 "$salida.salida" >&2
        informe "    ($etiqueta FAILED or printed something unexpected: its figures are worthless)"
    fi
    cuentas_relay "$salida.errores" >"$salida.cuentas"
    cuentas_capa "$salida.errores" >"$salida.capa"
    rm -f "$salida.errores"  # the whole trace: large, and counted now
}

trabajo_llamadas() {
    local n="$n_llamadas" f="$f_llamadas" m="$m_llamadas" lugar="$datos/llamadas"
    aviso "Llamadas: file-system calls of frm ($n forms), traer of $f equal files, listar ($m projects)"
    rm -rf "$lugar" && mkdir -p "$lugar"
    local origen_rel="unidad_c/DARVENTO/SISTEMAS/Plexwin/ZEL_CONT"
    generar "$lugar/frm" frm "$n"
    generar "$lugar/traer" origen "$f"
    generar "$lugar/listar" catalogo "$m"
    local frx
    frx=$(find "$lugar/frm/unidad_c/DEV" -maxdepth 1 -iname '*.frx' | wc -l)
    # Every file already in DEV, equal to the origin's: one traer first.
    (export WINEPREFIX="$lugar/traer"; cd "$lugar/traer/unidad_c/DEV" &&
        "$cli" --dev "$PWD" --si traer Traslado >"$lugar/traer-primero.salida" 2>&1)
    local programas=(actual)
    [[ -n "$base" ]] && programas+=(base)
    local p bin
    for p in "${programas[@]}"; do
        bin="$cli"
        [[ "$p" == base ]] && bin="$base"
        local t="$lugar/trabajo" dev="$lugar/trabajo/unidad_c/DEV"
        export WINEPREFIX="$t"
        llamadas_nativo "$p-inicio" "Uso: vorpel-cli" "$lugar" "$bin" --help
        restaurar "$lugar/frm" "$t"
        llamadas_nativo "$p-frm" "Formularios modificados: $n\$" "$dev" "$bin" --dev "$dev" --si frm Contable
        restaurar "$lugar/traer" "$t"
        llamadas_nativo "$p-traer" "Proyecto traido: Traslado" "$dev" "$bin" --dev "$dev" --si traer Traslado
        restaurar "$lugar/listar" "$t"
        llamadas_nativo "$p-listar" "Proyectos \\($m\\)" "$dev" "$bin" --dev "$dev" listar
    done
    unset WINEPREFIX

    local exe="$construccion/windows/vorpel-cli.exe" con_wine=0
    if [[ -f "$exe" ]] && command -v wine >/dev/null && arrancar_wine "$lugar"; then
        con_wine=1
        local filtro
        filtro="$(printf 'ntdll.%s;' $llamadas_ntdll)"
        wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d "${filtro%;}" /f \
            >>"$lugar/wineboot.log" 2>&1
        local c="$prefijo_wine/drive_c"
        "$generar" "$prefijo_wine" frm "$n" >/dev/null || return 1
        guardar_c frm
        "$generar" "$prefijo_wine" origen "$f" >/dev/null || return 1
        guardar_c origen
        poner_c origen
        (cd "$c/DEV" && wine "$exe" --si traer Traslado >/dev/null 2>&1)
        guardar_c traido
        "$generar" "$prefijo_wine" catalogo "$m" >/dev/null || return 1
        guardar_c catalogo
        local p_exe
        for p in actual base; do
            p_exe="$exe"
            if [[ "$p" == base ]]; then
                [[ -n "$base_exe" ]] || continue
                p_exe="$base_exe"
            fi
            poner_c frm
            llamadas_wine "wine-$p-inicio" "Uso: vorpel-cli" "$c/DEV" "$p_exe" --help
            llamadas_wine "wine-$p-frm" "Formularios modificados: $n\$" "$c/DEV" \
                "$p_exe" --dev 'C:\DEV' --si frm Contable
            poner_c traido
            llamadas_wine "wine-$p-traer" "Proyecto traido: Traslado" "$c/DEV" \
                "$p_exe" --dev 'C:\DEV' --si traer Traslado
            poner_c catalogo
            llamadas_wine "wine-$p-listar" "Proyectos \\($m\\)" "$c/DEV" "$p_exe" --dev 'C:\DEV' listar
        done
        terminar_wine
    fi

    # What each command counted beyond its program's start-up.
    local e
    for p in actual base wine-actual wine-base; do
        [[ -f "$lugar/$p-inicio.cuentas" ]] || continue
        for e in frm traer listar; do
            sin_inicio "$lugar/$p-$e.cuentas" "$lugar/$p-inicio.cuentas" >"$lugar/$p-$e.netas"
        done
    done
    local b
    informe ""
    informe "Llamadas  file-system calls beyond the program's start-up, per file, against the least each command needs"
    [[ -n "$base$base_exe" ]] && informe "  (with a baseline, each line adds current/baseline)"

    # The minimum of each command, native, under Wine and in the counting
    # layer's calls (docs/medidas.md names every call counted).
    local min_frm=$((16 * (n + 1) + 9 * frx)) min_frm_w=$((25 * (n + 1) + 12 * frx))
    local min_frm_c=$((7 * (n + 1) + 3 * frx))
    informe ""
    informe "  frm, $n forms needing every change ($frx with an .frx)"
    informe "    minimum: read each form (and the .vbp), write its backup copy through a temporary, save"
    informe "    it through a temporary with a rollback link: 16 calls natively, 25 under Wine, 7 in the"
    informe "    layer; each .frx read and copied: 9, 12 and 3; in all $min_frm, $min_frm_w and $min_frm_c"
    b=""; [[ -n "$base" ]] && b="$lugar/base-frm.netas"
    linea_llamadas "native (strace -f -c)" "$lugar/actual-frm.netas" \
        "$n" form "$min_frm" "$llamadas_de_estado" "$b"
    b=""; [[ -n "$base_exe" ]] && b="$lugar/wine-base-frm.netas"
    ((con_wine)) && linea_llamadas "Wine (ntdll, relay)" "$lugar/wine-actual-frm.netas" \
        "$n" form "$min_frm_w" "" "$b"
    b=""; [[ -n "$base" ]] && b="$lugar/base-frm.capa"
    linea_llamadas "counting layer" "$lugar/actual-frm.capa" "$n" form "$min_frm_c" "" "$b"

    informe ""
    informe "  traer, $f files already equal in DEV, and the form check that follows"
    informe "    minimum: look each file up on both sides and compare their bytes (stat, stat, and open,"
    informe "    read, close on each side; the form check reads nothing more): 8 calls a file natively"
    informe "    and under Wine, 4 in the layer; in all $((8 * f)) and $((4 * f))"
    b=""; [[ -n "$base" ]] && b="$lugar/base-traer.netas"
    linea_llamadas "native (strace -f -c)" "$lugar/actual-traer.netas" \
        "$f" file $((8 * f)) "$llamadas_de_estado" "$b"
    b=""; [[ -n "$base_exe" ]] && b="$lugar/wine-base-traer.netas"
    ((con_wine)) && linea_llamadas "Wine (ntdll, relay)" "$lugar/wine-actual-traer.netas" \
        "$f" file $((8 * f)) "" "$b"
    b=""; [[ -n "$base" ]] && b="$lugar/base-traer.capa"
    linea_llamadas "counting layer" "$lugar/actual-traer.capa" "$f" file $((4 * f)) "" "$b"

    informe ""
    informe "  listar, $m projects"
    informe "    minimum: one listing of the folder (open, one read of the entries, the read that finds"
    informe "    the end, close): 4 calls natively and under Wine, 1 in the layer"
    b=""; [[ -n "$base" ]] && b="$lugar/base-listar.netas"
    linea_llamadas "native (strace -f -c)" "$lugar/actual-listar.netas" \
        1 listing 4 "$llamadas_de_estado" "$b"
    b=""; [[ -n "$base_exe" ]] && b="$lugar/wine-base-listar.netas"
    ((con_wine)) && linea_llamadas "Wine (ntdll, relay)" "$lugar/wine-actual-listar.netas" \
        1 listing 4 "" "$b"
    b=""; [[ -n "$base" ]] && b="$lugar/base-listar.capa"
    linea_llamadas "counting layer" "$lugar/actual-listar.capa" 1 listing 1 "" "$b"
    ((con_wine)) || informe "  (no Windows build or no Wine: the Wine figures were not measured)"
    return 0
}

for t in p1 p1b p2 p3 p4 grafo historial wine llamadas; do
    quiere "$t" || continue
    "trabajo_$t" || informe "  job $t could not run"
done
informe ""
informe "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg). Total time: $((SECONDS - inicio)) s. Timings: $salida_dir/tiempos; this summary: $resultados"
