# Functions for the scenarios of correr.sh. Paths are given as Windows path
# texts on drives C: and E:; data files relative to tests/data/e2e.

# Host path of a Windows path text on C: or E:.
ruta_host() {
    local ruta="$1" resto
    resto="${ruta:3}"
    resto="${resto//\\//}"
    case "${ruta:0:3}" in
        C:\\ | c:\\) printf '%s/%s' "$UNIDAD_C" "$resto" ;;
        E:\\ | e:\\) printf '%s/%s' "$UNIDAD_E" "$resto" ;;
        *) echo "comun.sh: unknown drive in $ruta" >&2; return 1 ;;
    esac
}

# Files put outside the harness's own folders on C: are removed after the
# scenario; an entry that was there before is never touched.
EXTRAS=()
registrar() {
    local destino="$1" raiz
    [[ "$destino" == "$UNIDAD_C"/* ]] || return 0
    raiz="$UNIDAD_C/$(printf '%s' "${destino#"$UNIDAD_C"/}" | cut -d/ -f1)"
    case "$raiz" in
        "$UNIDAD_C/DEV" | "$UNIDAD_C/DARVENTO" | "$UNIDAD_C/zel_lib") return 0 ;;
    esac
    if [[ -e "$raiz" ]]; then
        local e
        for e in "${EXTRAS[@]}"; do [[ "$e" == "$raiz" ]] && return 0; done
        echo "comun.sh: $raiz already exists on drive C:; not touching it" >&2
        return 1
    fi
    EXTRAS+=("$raiz")
}

quitar_extras() {
    local e
    for e in "${EXTRAS[@]}"; do rm -rf "$e"; done
    EXTRAS=()
}

# poner DATA-FILE WINDOWS-PATH: copies a sample file, byte for byte.
poner() {
    local destino
    destino="$(ruta_host "$2")" || return 1
    registrar "$destino" || return 1
    mkdir -p "$(dirname "$destino")"
    cp "$DATOS/$1" "$destino"
}

# poner_texto WINDOWS-PATH BYTES (printf format): writes a small file.
poner_texto() {
    local destino
    destino="$(ruta_host "$1")" || return 1
    registrar "$destino" || return 1
    mkdir -p "$(dirname "$destino")"
    # shellcheck disable=SC2059
    printf "$2" >"$destino"
}

# The backup drive is not there.
quitar_unidad_e() {
    rm -f "$PREFIJO/dosdevices/e:"
}

fallo() {
    echo "  verificar: $*"
    FALLOS_VERIFICACION=$((FALLOS_VERIFICACION + 1))
}

# igual WINDOWS-PATH DATA-FILE: same bytes.
igual() {
    local archivo
    archivo="$(ruta_host "$1")"
    if [[ ! -f "$archivo" ]]; then
        fallo "missing $1"
    elif ! cmp -s "$archivo" "$DATOS/$2"; then
        fallo "$1 differs from $2"
    fi
}

existe() {
    [[ -e "$(ruta_host "$1")" ]] || fallo "missing $1"
}

no_existe() {
    [[ ! -e "$(ruta_host "$1")" ]] || fallo "should not exist: $1"
}

# No side file of a save left behind in the folder.
sin_restos() {
    local carpeta
    carpeta="$(ruta_host "$1")"
    if compgen -G "$carpeta/*_vorpel" >/dev/null; then
        fallo "side files left in $1: $(cd "$carpeta" && echo *_vorpel)"
    fi
}

# The files of the whole E: drive, one path a line, sorted.
archivos_e() {
    (cd "$UNIDAD_E" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
}

# solo_en_e PATH...: the backup drive holds exactly these files (paths below
# E:\) besides the backup history, which corridas_en_e checks; without a
# path, nothing at all.
solo_en_e() {
    local esperado obtenido
    esperado="$(printf '%s\n' "$@" | LC_ALL=C sort)"
    obtenido="$(archivos_e)"
    (($# > 0)) && obtenido="$(printf '%s\n' "$obtenido" | grep -v '^TEBRI BCK/[^/]*/historial/')"
    [[ "$esperado" == "$obtenido" ]] ||
        fallo "files on E: differ; expected:"$'\n'"$esperado"$'\n'"  got:"$'\n'"$obtenido"
}

# --- Batch recompilation ------------------------------------------------------

# Installs the compiler stand-in where the tool looks for VB6.EXE.
instalar_compilador() {
    local carpeta="$UNIDAD_C/Program Files (x86)/Microsoft Visual Studio"
    if [[ -e "$carpeta" ]]; then
        echo "comun.sh: $carpeta already exists; not touching it" >&2
        return 1
    fi
    if [[ -d "$UNIDAD_C/Program Files (x86)" ]]; then
        EXTRAS+=("$carpeta")
    else
        registrar "$carpeta" || return 1
    fi
    mkdir -p "$carpeta/VB98"
    cp "$VORPEL_SUSTITUTO_VB6" "$carpeta/VB98/VB6.EXE"
}

# Sorts every run of consecutive lines matching the extended regex $1 (the
# lines whose order follows the DEV folder's listing, which differs between
# file systems). Lines of one entry joined by "\001" travel together.
ordenar_tramos() {
    awk -v patron="$1" '
        function volcar() { if (n) { cmd = "LC_ALL=C sort"; for (i = 1; i <= n; i++) print t[i] | cmd; close(cmd); n = 0 } }
        $0 ~ patron { t[++n] = $0; next }
        { volcar(); print }
        END { volcar() }'
}

# The output of vorpel-cli recompilar, its log's time stamp masked and its
# progress lines in a fixed order (their place "k de n" masked: it follows
# the listing order too).
filtrar_recompilacion() {
    sed -E -e 's/Recompilacion_[0-9]{8}_[0-9]{6}\.(txt|csv)/Recompilacion_AAAAMMDD_HHMMSS.\1/g' \
        -e 's/ - procesando\.\.\. \([0-9]+ de ([0-9]+)\)$/ - procesando... (K de \1)/' |
        ordenar_tramos '^(.* - procesando\.\.\. \(K de [0-9]+\)|(OK|ERROR) - .*|.*\.frm  ->  .*)$'
}

# registro_lote EXPECTED [LOG]: the batch log (the one in C:\DEV\Herramientas
# when not named), read as UTF-8 text without CRs, its time stamp masked and
# its project blocks and shared-form lines in a fixed order, equals the
# scenario's file EXPECTED.
registro_lote() {
    local registros=("$UNIDAD_C/DEV/Herramientas"/Recompilacion_*.txt) obtenido
    [[ -n "${2:-}" ]] && registros=("$2")
    if ((${#registros[@]} != 1)) || [[ ! -f "${registros[0]}" ]]; then
        fallo "expected one batch log in C:\\DEV\\Herramientas, found: ${registros[*]}"
        return
    fi
    [[ "$(basename "${registros[0]}")" =~ ^Recompilacion_[0-9]{8}_[0-9]{6}\.txt$ ]] ||
        fallo "batch log name: $(basename "${registros[0]}")"
    grep -q $'\r$' "${registros[0]}" || fallo "batch log lines must end in CRLF"
    obtenido="$(iconv -f WINDOWS-1252 -t UTF-8 "${registros[0]}" | tr -d '\r' |
        sed -E 's|^(Recompilacion en lote - )[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}$|\1DD/MM/AAAA HH:MM:SS|' |
        awk '/^[^ ].*\.vbp$/ && !/  ->  / { b = $0; dentro = 1; next }
             dentro && /^$/ { print b "\001"; dentro = 0; next }
             dentro { b = b "\001" $0; next }
             { print }' |
        ordenar_tramos '(\001|^.*\.frm  ->  )' | tr '\001' '\n')"
    if ! diff -u --label "$1" --label "batch log" "$escenario/$1" <(printf '%s\n' "$obtenido"); then
        fallo "batch log differs from $1"
    fi
}

# --- Backup history -------------------------------------------------------------

# The run names of a project's history, oldest first.
corridas() {
    local carpeta="$UNIDAD_E/TEBRI BCK/$1/historial"
    [[ -d "$carpeta" ]] || return 0
    (cd "$carpeta" && ls -- *.txt 2>/dev/null) | sed 's/\.txt$//' |
        awk -F_ '{ n = NF == 3 ? $3 : 1; printf "%s_%s %08d %s\n", $1, $2, n, $0 }' |
        LC_ALL=C sort | cut -d' ' -f3
}

primera_corrida() { corridas "$1" | head -n 1; }

# corridas_en_e PROJECT COMMAND...: the project's history holds one manifest
# per command given, oldest first, each ANSI with CRLF line ends, whole (its
# count line matches its file lines) and naming that command.
corridas_en_e() {
    local proyecto="$1" nombres=() i=0 manifiesto
    shift
    mapfile -t nombres < <(corridas "$proyecto")
    if ((${#nombres[@]} != $#)); then
        fallo "$proyecto has ${#nombres[@]} backup runs (${nombres[*]}); expected $#"
        return
    fi
    for comando in "$@"; do
        manifiesto="$UNIDAD_E/TEBRI BCK/$proyecto/historial/${nombres[$i]}.txt"
        [[ "${nombres[$i]}" =~ ^[0-9]{8}_[0-9]{6}(_[0-9]+)?$ ]] || fallo "run name ${nombres[$i]}"
        [[ "$(sed -n 2p "$manifiesto" | tr -d '\r')" == "Comando: $comando" ]] ||
            fallo "run ${nombres[$i]} of $proyecto is not $comando"
        local cuenta lineas
        cuenta="$(sed -n 4p "$manifiesto" | tr -d '\r' | sed 's/^Archivos: //')"
        lineas="$(($(wc -l <"$manifiesto") - 4))"
        [[ "$cuenta" == "$lineas" ]] || fallo "manifest ${nombres[$i]} of $proyecto cut short"
        (($(grep -c $'\r$' "$manifiesto") == lineas + 4)) ||
            fallo "manifest ${nombres[$i]} lines must end in CRLF"
        i=$((i + 1))
    done
}

# tabla_lote EXPECTED [TABLE]: the batch table (the one in C:\DEV\Herramientas
# when not named) is named as its log, ends every line in CRLF and, read as
# UTF-8 text without CRs, its seconds masked and its rows after the header in
# a fixed order, equals the scenario's file EXPECTED.
tabla_lote() {
    local tablas=("$UNIDAD_C/DEV/Herramientas"/Recompilacion_*.csv) obtenido
    [[ -n "${2:-}" ]] && tablas=("$2")
    if ((${#tablas[@]} != 1)) || [[ ! -f "${tablas[0]}" ]]; then
        fallo "expected one batch table in C:\\DEV\\Herramientas, found: ${tablas[*]}"
        return
    fi
    [[ -f "${tablas[0]%.csv}.txt" ]] || fallo "no batch log named as the table $(basename "${tablas[0]}")"
    if grep -qv $'\r$' "${tablas[0]}"; then fallo "batch table lines must end in CRLF"; fi
    obtenido="$(iconv -f WINDOWS-1252 -t UTF-8 "${tablas[0]}" | tr -d '\r' |
        sed -E 's/;[0-9]+,[0-9]{2}$/;S/' |
        { IFS= read -r cabecera; printf '%s\n' "$cabecera"; LC_ALL=C sort; })"
    if ! diff -u --label "$1" --label "batch table" "$escenario/$1" <(printf '%s\n' "$obtenido"); then
        fallo "batch table differs from $1"
    fi
}
