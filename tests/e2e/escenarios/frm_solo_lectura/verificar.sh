igual 'C:\DEV\Caja.vbp' frm/Caja.vbp
igual 'C:\DEV\frmCaja.frm' frm/frmCaja.frm
igual 'C:\DEV\frmCliente.frm' frm/frmCliente.frm
sin_restos 'C:\DEV'
solo_en_e
