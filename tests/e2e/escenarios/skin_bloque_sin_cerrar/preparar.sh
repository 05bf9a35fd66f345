# A damaged form (its closing lines lost) whose skin block never closes:
# removing the block would take the rest of the form with it, so the command
# refuses before any backup.
poner skin/Roto.vbp 'C:\DEV\Roto.vbp'
poner skin/frmRoto.frm 'C:\DEV\frmRoto.frm'
