VERSION 5.00
Begin VB.Form frmClientes 
   Caption         =   "Clientes"
   ClientHeight    =   3195
   ClientWidth     =   4680
   Begin VB.TextBox txtNombre 
      Height          =   285
      Left            =   240
      TabIndex        =   0
      Text            =   "Peña"
      Top             =   240
      Width           =   2895
   End
End
Attribute VB_Name = "frmClientes"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Form_Load()
    CargarSkin Me
End Sub