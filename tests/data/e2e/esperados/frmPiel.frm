VERSION 5.00
Begin VB.Form frmPiel
   Caption         =   "Diseño de piel"
   Begin VB.CommandButton Command1
      Caption         =   "Aceptar"
   End
End
Attribute VB_Name = "frmPiel"
Option Explicit
Private Sub Form_Load()
    CargarSkin Me
End Sub
