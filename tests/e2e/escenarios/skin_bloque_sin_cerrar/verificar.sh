igual 'C:\DEV\frmRoto.frm' skin/frmRoto.frm
igual 'C:\DEV\Roto.vbp' skin/Roto.vbp
solo_en_e
