igual 'C:\DEV\Ventas.vbp' vbp/Ventas.vbp
sin_restos 'C:\DEV'
