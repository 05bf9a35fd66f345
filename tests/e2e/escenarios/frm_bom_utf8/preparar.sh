# A form saved with a UTF-8 byte-order mark is refused before any backup.
poner frm/ConBom.vbp 'C:\DEV\ConBom.vbp'
poner frm/frmBom.frm 'C:\DEV\frmBom.frm'
