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

# solo_en_e PATH...: the backup drive holds exactly these files (paths below E:\).
solo_en_e() {
    local esperado obtenido
    esperado="$(printf '%s\n' "$@" | LC_ALL=C sort)"
    obtenido="$(archivos_e)"
    [[ "$esperado" == "$obtenido" ]] ||
        fallo "files on E: differ; expected:"$'\n'"$esperado"$'\n'"  got:"$'\n'"$obtenido"
}
