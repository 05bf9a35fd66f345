VERSION 5.00
Begin VB.Form frmCorregido
   Caption         =   "Corrección"
   ClientHeight    =   3000
   Begin Corregido.FenDrik Busca1
      Left            =   120
   End
End
Attribute VB_Name = "frmCorregido"
Option Explicit

Private Sub Form_Load()
    CargarSkin Me
End Sub
