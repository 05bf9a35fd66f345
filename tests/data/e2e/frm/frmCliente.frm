VERSION 5.00
Object = "{5E6F7A8B-9C0D-4E1F-A2B3-C4D5E6F7A8B9}#1.0#0"; "ucmorv.ocx"
Begin VB.Form frmCliente
   Caption         =   "Clientes (Ñandú)"
   Begin Proyecto1.FenDrik BuscaCliente
   End
   Begin Otro.UCMorvan Morvan1
   End
End
Attribute VB_Name = "frmCliente"
Option Explicit
Private Sub Form_Load()
    ' CargarSkin Me
End Sub