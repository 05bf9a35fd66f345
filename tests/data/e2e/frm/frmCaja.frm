VERSION 5.00
Object = "{7C3A1B2D-4E5F-4A6B-9C8D-0E1F2A3B4C5D}#1.0#0"; "PRAVIX2021.OCX"
Object = "{1A2B3C4D-5E6F-4071-8293-A4B5C6D7E8F9}#2.0#0"; "FenDri.ocx"
Begin VB.Form frmCaja
   Caption         =   "Caja del día"
   ClientHeight    =   4200
   Begin Proyecto1.Pravix Pravix1
      Left            =   0
   End
   Begin CtlLib.skarno Barra1
      Caption         =   "Begin y End de la sesión"
   End
   Begin VENTAS.FenDrik Busca1
      Left            =   120
   End
   Begin .Gravlo Grid1
   End
   Begin CtlLib.GravloCFiltros Grid2
      BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851}
         Name            =   "Tahoma"
      EndProperty
   End
   Begin VB.CommandButton Command1
      Caption         =   "Cobrar"
      Picture         =   "frmCaja.frx":0000
   End
End
Attribute VB_Name = "frmCaja"
Attribute VB_GlobalNameSpace = False
Option Explicit
Dim b As Proyecto1.FenDrik
Dim c As CtlLib.Skarno
' usa tolvex.ocx para la grilla
Private Sub Form_Load()
    Me.Caption = "Caja"
End Sub
