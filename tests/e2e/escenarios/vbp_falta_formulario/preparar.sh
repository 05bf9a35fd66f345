poner vbp/FaltaForm.vbp 'C:\DEV\FaltaForm.vbp'
poner dev/quimbo.bas 'C:\DEV\quimbo.bas'
