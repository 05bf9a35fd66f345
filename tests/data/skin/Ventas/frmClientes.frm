VERSION 5.00
Object = "{BD0C1912-66C3-49CC-8B12-7B347BF6C846}#15.3#0"; "COA778~1.OCX"
Begin VB.Form frmClientes 
   Caption         =   "Clientes"
   ClientHeight    =   3195
   ClientWidth     =   4680
   begin XTREMESKINFRAMEWORK.SKINFRAMEWORK SkinFramework1 
      Left            =   4080
      Top             =   120
      _Version        =   983043
   End
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