igual 'C:\DEV\Corregido.vbp' vbp/Corregido.vbp
igual 'C:\DEV\frmCorregido.frm' vbp/frmCorregido.frm
solo_en_e
