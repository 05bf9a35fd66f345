# Only the project file references the skin control; its form does not.
poner skin/Solo.vbp 'C:\DEV\Solo.vbp'
poner skin/frmOtro.frm 'C:\DEV\frmOtro.frm'
