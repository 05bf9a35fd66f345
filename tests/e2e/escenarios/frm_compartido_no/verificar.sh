# Answered No (by the option, then for want of a terminal): nothing written, no backup.
igual 'C:\DEV\Comun\frmComun.frm' frm/Comun/frmComun.frm
igual 'C:\DEV\Alfa.vbp' frm/Alfa.vbp
solo_en_e
