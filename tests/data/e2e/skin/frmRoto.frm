VERSION 5.00
Begin VB.Form frmRoto
   Caption         =   "Dañado"
   Begin XtremeSkinFramework.SkinFramework SkinFramework1
      Left            =   120
   Begin VB.CommandButton Command1
      Caption         =   "Aceptar"
   End
Attribute VB_Name = "frmRoto"
Private Sub Form_Load()
    CargarSkin Me
End Sub
