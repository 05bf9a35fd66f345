#!/usr/bin/env bash
# The form correction as a user would script it by hand, the peer of
# `vorpel-cli frm` in tools/medir.sh: one cp that backs up every form of the
# project, then for each form one sed -i that drops the compiled-control reference lines, gives
# every in-house control declaration the project's prefix, renames the
# "Proyecto1." types and adds the CargarSkin call to Form_Load; then the same
# for the ModSelvira line of the project file. No flushes, no checks.
#
# Usage: corregir_con_sed.sh DEV PROYECTO BACKUP   (host folders)
set -u
dev="$1" proyecto="$2" backup="$3"
export LC_ALL=C  # bytes, not UTF-8: the forms are Windows-1252
mkdir -p "$backup"
cd "$dev" || exit 1
tipos='Skarno\|Pravix\|FenDrik\|UCMorvan\|GravloCFiltros\|Gravlo'
ocx='FenDri\.ocx\|ucmorv\.ocx\|PravixRep2021\.ocx\|PRAVIX2021\.OCX\|pravixtebri\.ocx\|tolvex\.ocx'
sed -n 's/^Form=\(.*\)\r$/\1/p' "$proyecto.vbp" | tr '\\' / >"$backup/formularios.txt"
xargs -d '\n' cp -p -t "$backup" <"$backup/formularios.txt"
while IFS= read -r f; do
    sed -i \
        -e "/$ocx/Id" \
        -e "s/^\( *[Bb][Ee][Gg][Ii][Nn] \)[A-Za-z0-9_]*\.\($tipos\) /\1$proyecto.\2 /I" \
        -e "s/Proyecto1\.\(FenDrik\|Pravix\)/$proyecto.\1/Ig" \
        -e '/Sub Form_Load()/I,/^End Sub\r$/I{/^End Sub\r$/Ii\    CargarSkin Me\r
}' "$f"
done <"$backup/formularios.txt"
cp -p "$proyecto.vbp" "$backup/"
sed -i 's/^\(Module=ModPravixBar; ModPravixBar\.bas\r\)$/\1\nModule=ModSelvira; ModSelvira.bas\r/' \
    "$proyecto.vbp"
