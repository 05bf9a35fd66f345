VERSION 5.00
Begin VB.Form frmBien
   Caption         =   "Bien"
   Begin Bien.Skarno Barra1
   End
End
Attribute VB_Name = "frmBien"
Private Sub Form_Load()
    CargarSkin Me
End Sub
