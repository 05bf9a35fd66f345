# Shared by the set-up scripts: sourced, not run.

aviso() { printf '\n=== %s\n' "$*"; }

# Installs the Debian packages named in the array `paquetes` that are missing.
instalar_paquetes() {
    local faltan=()
    for p in "${paquetes[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            faltan+=("$p")
    done
    ((${#faltan[@]} == 0)) && return 0
    aviso "Installing: ${faltan[*]}"
    local sudo=()
    if ((EUID != 0)); then
        command -v sudo >/dev/null || { echo "Need root or sudo to install packages" >&2; return 1; }
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q &&
        "${sudo[@]}" apt-get install -y -q --no-install-recommends "${faltan[@]}" </dev/null
}
