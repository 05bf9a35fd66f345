Attribute VB_Name = "ModPravixBar"
Option Explicit

' Soporte de la barra Pravix: versión del origen ZEL_CONT
Public Sub IniciarBarra(ByVal f As Object)
    f.Tag = "barra"
End Sub
