# One form named twice by the project, the second time through a folder that
# does not exist ("x\..").
poner frm/frmCaja.frm 'C:\DEV\sub\frmCaja.frm'
poner frm/frmCaja.frx 'C:\DEV\sub\frmCaja.frx'
poner dev/quimbo.bas 'C:\DEV\quimbo.bas'
poner dev/ModSelvira.bas 'C:\DEV\ModSelvira.bas'
poner_texto 'C:\DEV\Doble.vbp' 'Type=Exe\r\nForm=sub\\frmCaja.frm\r\nForm=x\\..\\sub\\frmCaja.frm\r\nModule=Base; quimbo.bas\r\nStartup="frmCaja"\r\nName="Doble"\r\n'
