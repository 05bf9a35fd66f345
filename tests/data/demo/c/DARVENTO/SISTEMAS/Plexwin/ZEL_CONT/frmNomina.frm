VERSION 5.00
Object = "{1A2B3C4D-5E6F-4071-8293-A4B5C6D7E8F9}#2.0#0"; "FenDri.ocx"
Begin VB.Form frmNomina
   Caption         =   "Liquidación de haberes"
   ClientHeight    =   4200
   ClientWidth     =   6600
   Begin FenDriLib.FenDrik BuscaEmpleado
      Height          =   375
      Left            =   120
      Top             =   120
      Width           =   4095
   End
End
Attribute VB_Name = "frmNomina"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
