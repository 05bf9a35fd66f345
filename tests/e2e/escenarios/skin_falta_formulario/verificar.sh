# Refused before any backup: nothing changes.
igual 'C:\DEV\Falta.vbp' skin/Falta.vbp
igual 'C:\DEV\frmPiel.frm' skin/frmPiel.frm
solo_en_e
