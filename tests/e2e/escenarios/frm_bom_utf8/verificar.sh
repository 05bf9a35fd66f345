igual 'C:\DEV\frmBom.frm' frm/frmBom.frm
igual 'C:\DEV\ConBom.vbp' frm/ConBom.vbp
solo_en_e
