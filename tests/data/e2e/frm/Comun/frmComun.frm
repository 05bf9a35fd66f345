VERSION 5.00
Begin VB.Form frmComun
   Caption         =   "Común"
   Begin CtlLib.Skarno Barra1
   End
End
Attribute VB_Name = "frmComun"
Private Sub Form_Load()
    CargarSkin Me
End Sub
