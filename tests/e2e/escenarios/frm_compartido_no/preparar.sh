# Alfa and Beta include the same form through different relative paths.
poner frm/Alfa.vbp 'C:\DEV\Alfa.vbp'
poner frm/Beta.vbp 'C:\DEV\Beta.vbp'
poner frm/Comun/frmComun.frm 'C:\DEV\Comun\frmComun.frm'
