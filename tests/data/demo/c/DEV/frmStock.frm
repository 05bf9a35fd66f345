VERSION 5.00
Object = "{9E0F1A2B-3C4D-4E5F-A6B7-C8D9E0F1A2B3}#1.0#0"; "GravloCF.ocx"
Begin VB.Form frmStock
   Caption         =   "Stock por depósito"
   ClientHeight    =   4800
   ClientWidth     =   7200
   Begin GravloCFLib.GravloCFiltros GrillaStock
      Height          =   3975
      Left            =   120
      Top             =   600
      Width           =   6960
   End
   Begin PravixLib.Pravix BarraStock
      Height          =   450
      Left            =   0
      Top             =   0
      Width           =   7200
   End
End
Attribute VB_Name = "frmStock"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Form_Load()
    GrillaStock.Refrescar
End Sub
