VERSION 5.00
Object = "{7C3A1B2D-4E5F-4A6B-9C8D-0E1F2A3B4C5D}#1.0#0"; "PRAVIX2021.OCX"
Object = "{3D4E5F6A-7B8C-4D9E-8F0A-1B2C3D4E5F6A}#1.0#0"; "skarno.ocx"
Begin VB.Form frmCompras
   Caption         =   "Órdenes de compra"
   ClientHeight    =   6000
   ClientWidth     =   9000
   Begin PravixLib.Pravix BarraCompras
      Align           =   1  'Align Top
      Height          =   600
      Left            =   0
      Top             =   0
      Width           =   9000
   End
   Begin SkarnoLib.Skarno MarcoTotales
      Caption         =   "Totales del año"
      Height          =   1455
      Left            =   120
      Top             =   4440
      Width           =   8775
   End
End
Attribute VB_Name = "frmCompras"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Form_Load()
    Me.Caption = "Compras"
End Sub
