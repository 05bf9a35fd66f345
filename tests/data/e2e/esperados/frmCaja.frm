VERSION 5.00
Begin VB.Form frmCaja
   Caption         =   "Caja del día"
   ClientHeight    =   4200
   Begin Caja.Pravix Pravix1
      Left            =   0
   End
   Begin Caja.Skarno Barra1
      Caption         =   "Begin y End de la sesión"
   End
   Begin Caja.FenDrik Busca1
      Left            =   120
   End
   Begin .Gravlo Grid1
   End
   Begin Caja.GravloCFiltros Grid2
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
Dim b As Caja.FenDrik
Dim c As CtlLib.Skarno
Private Sub Form_Load()
    Me.Caption = "Caja"
    CargarSkin Me
End Sub
