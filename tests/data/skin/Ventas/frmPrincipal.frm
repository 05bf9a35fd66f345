VERSION 5.00
Object = "{BD0C1912-66C3-49CC-8B12-7B347BF6C846}#13.2#0"; "Codejock.SkinFramework.v13.2.1.ocx"
Object = "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCTL.OCX"
Begin VB.Form frmPrincipal 
   Caption         =   "Gestión de ventas"
   ClientHeight    =   5430
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   8910
   LinkTopic       =   "Form1"
   ScaleHeight     =   5430
   ScaleWidth      =   8910
   StartUpPosition =   3  'Windows Default
   Begin XtremeSkinFramework.SkinFramework SkinFramework1 
      Left            =   8280
      Top             =   120
      _Version        =   851970
      _ExtentX        =   635
      _ExtentY        =   635
      _StockProps     =   0
      BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851} 
         Name            =   "Tahoma"
         Size            =   8.25
         Charset         =   0
      EndProperty
      Begin VB.Label lblEstilo 
         Caption         =   "Diseño clásico"
         Height          =   255
         Left            =   0
         Top             =   0
         Width           =   1215
      End
   End
   Begin VB.CommandButton cmdAceptar 
      Caption         =   "&Aceptar"
      Height          =   375
      Left            =   7440
      TabIndex        =   1
      Top             =   4920
      Width           =   1335
   End
   Begin VB.Label lblTitulo 
      Caption         =   "Señor cliente: elija una opción"
      BeginProperty Font 
         Name            =   "Arial"
         Size            =   9.75
         Charset         =   0
         Weight          =   700
      EndProperty
      Height          =   255
      Left            =   240
      TabIndex        =   0
      Top             =   240
      Width           =   4335
   End
End
Attribute VB_Name = "frmPrincipal"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Form_Load()
    CargarSkin Me
    ' Año fiscal en curso
    lblTitulo.Caption = "Señor cliente"
End Sub

Private Sub cmdAceptar_Click()
    Unload Me
End Sub
