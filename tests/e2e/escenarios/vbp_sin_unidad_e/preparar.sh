source "$(dirname "${BASH_SOURCE[0]}")/../vbp_completo/preparar.sh"
quitar_unidad_e
