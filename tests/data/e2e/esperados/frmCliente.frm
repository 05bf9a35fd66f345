VERSION 5.00
Begin VB.Form frmCliente
   Caption         =   "Clientes (Ñandú)"
   Begin Caja.FenDrik BuscaCliente
   End
   Begin Caja.UCMorvan Morvan1
   End
End
Attribute VB_Name = "frmCliente"
Option Explicit
Private Sub Form_Load()
    ' CargarSkin Me
End Sub