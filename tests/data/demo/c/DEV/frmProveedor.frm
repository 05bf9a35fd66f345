VERSION 5.00
Object = "{3D4E5F6A-7B8C-4D9E-8F0A-1B2C3D4E5F6A}#1.0#0"; "skarno.ocx"
Begin VB.Form frmProveedor
   Caption         =   "Proveedores"
   ClientHeight    =   3600
   ClientWidth     =   6000
   Begin SkarnoLib.Skarno MarcoDatos
      Caption         =   "Datos del proveedor"
      Height          =   2655
      Left            =   120
      Top             =   120
      Width           =   5775
   End
End
Attribute VB_Name = "frmProveedor"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
