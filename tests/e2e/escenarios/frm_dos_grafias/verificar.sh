# The form is corrected once and backed up once; its .frx is never written.
igual 'C:\DEV\sub\frmCaja.frx' frm/frmCaja.frx
igual 'E:\TEBRI BCK\Doble\ABS\C\DEV\sub\frmCaja.frm' frm/frmCaja.frm
igual 'E:\TEBRI BCK\Doble\ABS\C\DEV\sub\frmCaja.frx' frm/frmCaja.frx
sin_restos 'C:\DEV'
sin_restos 'C:\DEV\sub'
corridas_en_e Doble CorregirProyectoFRM CorregirProyectoFRM
