VERSION 5.00
Begin VB.Form frmClientes 
   Caption         =   "Clientes - Dueño"
   ClientHeight    =   3195
   ClientWidth     =   4680
   Icon            =   "frmClientes.frx":0000
   Begin Ventas.FenDrik Busca1 
      Height          =   375
      Left            =   120
      TabIndex        =   0
      Top             =   120
      Width           =   4095
   End
   Begin VB.ListBox lstClientes 
      Height          =   2400
      Left            =   120
      TabIndex        =   1
      Top             =   600
      Width           =   4455
   End
End
Attribute VB_Name = "frmClientes"
Option Explicit

Private Sub Form_Load()
    CargarSkin Me
    lstClientes.Clear
End Sub
