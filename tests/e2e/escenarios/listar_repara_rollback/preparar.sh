# A save of Ventas.vbp stopped dead between its two steps: only its rollback
# copy and the temporary copy of the new content are left.
poner vbp/Ventas.vbp 'C:\DEV\Ventas.vbp.rollback_vorpel'
poner vbp/Corregido.vbp 'C:\DEV\Ventas.vbp.tmp_vorpel'
