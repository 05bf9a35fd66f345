# The project file and one of two forms use the skin control.
poner skin/Piel.vbp 'C:\DEV\Piel.vbp'
poner skin/frmPiel.frm 'C:\DEV\frmPiel.frm'
poner skin/frmPiel.frx 'C:\DEV\frmPiel.frx'
poner skin/frmOtro.frm 'C:\DEV\frmOtro.frm'
