source "$(dirname "${BASH_SOURCE[0]}")/../frm_compartido_no/preparar.sh"
