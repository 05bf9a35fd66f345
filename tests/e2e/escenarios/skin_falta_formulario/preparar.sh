# The project file lists a form that is not on disk.
poner skin/Falta.vbp 'C:\DEV\Falta.vbp'
poner skin/frmPiel.frm 'C:\DEV\frmPiel.frm'
