VERSION 5.00
Object = "{7C3A1B2D-4E5F-4A6B-9C8D-0E1F2A3B4C5D}#1.0#0"; "PRAVIX2021.OCX"
Begin VB.Form frmVentas
   Caption         =   "Ventas del día"
   Begin Pravix.Pravix Barra1
      Left            =   0
   End
End
Attribute VB_Name = "frmVentas"
Option Explicit

Private Sub Form_Load()
    Me.Caption = "Ventas"
End Sub
