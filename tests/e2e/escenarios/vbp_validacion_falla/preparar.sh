# The FenDrik source control that the rewritten project names is missing.
source "$(dirname "${BASH_SOURCE[0]}")/../vbp_completo/preparar.sh"
rm -f "$(ruta_host 'C:\zel_lib\OCXNEW\Fen Drik\FenDrik.ctl')"
