# The second run finds nothing to do; the .frx is backed up and never written.
igual 'C:\DEV\Caja.vbp' esperados/Caja.vbp
igual 'C:\DEV\frmCaja.frm' esperados/frmCaja.frm
igual 'C:\DEV\frmCliente.frm' esperados/frmCliente.frm
igual 'C:\DEV\frmCaja.frx' frm/frmCaja.frx
solo_en_e 'TEBRI BCK/Caja/Caja.vbp' 'TEBRI BCK/Caja/ABS/C/DEV/Caja.vbp' \
    'TEBRI BCK/Caja/ABS/C/DEV/frmCaja.frm' 'TEBRI BCK/Caja/ABS/C/DEV/frmCaja.frx' \
    'TEBRI BCK/Caja/ABS/C/DEV/frmCliente.frm'
igual 'E:\TEBRI BCK\Caja\ABS\C\DEV\frmCaja.frm' frm/frmCaja.frm
igual 'E:\TEBRI BCK\Caja\ABS\C\DEV\frmCaja.frx' frm/frmCaja.frx
igual 'E:\TEBRI BCK\Caja\ABS\C\DEV\frmCliente.frm' frm/frmCliente.frm
igual 'E:\TEBRI BCK\Caja\ABS\C\DEV\Caja.vbp' frm/Caja.vbp
sin_restos 'C:\DEV'
corridas_en_e Caja CorregirProyectoFRM
