VERSION 5.00
Object = "{1A2B3C4D-5E6F-4071-8293-A4B5C6D7E8F9}#2.0#0"; "FenDri.ocx"
Object = "{8B9C0D1E-2F3A-4B5C-9D6E-7F8A9B0C1D2E}#1.0#0"; "Gravlo.ocx"
Begin VB.Form frmAgenda
   Caption         =   "Agenda de visitas"
   ClientHeight    =   5400
   ClientWidth     =   7800
   Begin GravloLib.Gravlo GrillaVisitas
      Height          =   3600
      Left            =   120
      Top             =   720
      Width           =   7560
   End
   Begin FenDriLib.FenDrik BuscaCliente
      Height          =   375
      Left            =   120
      Top             =   120
      Width           =   4095
   End
   Begin VB.CommandButton CmdAgendar
      Caption         =   "Agendar"
      Height          =   375
      Left            =   6360
      Top             =   4800
      Width           =   1335
   End
End
Attribute VB_Name = "frmAgenda"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Form_Load()
    BuscaCliente.Text = ""
End Sub

Private Sub CmdAgendar_Click()
    MsgBox "Visita agendada para " & BuscaCliente.Text
End Sub
