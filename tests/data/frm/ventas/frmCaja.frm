VERSION 5.00
Object = "{5A9433E9-DD7B-4529-91B6-A5E8CA054615}#2.0#0"; "tolvex.ocx"
Object = "{0F0A4B5C-6D1E-4F8A-9B2C-3D4E5F6A7B8C}#1.0#0"; "PRAVIX2021.OCX"
Object = "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCTL.OCX"
Begin VB.Form frmCaja 
   Caption         =   "Caja diaria - Año contable"
   ClientHeight    =   5295
   ClientLeft      =   60
   ClientTop       =   450
   ClientWidth     =   8790
   Icon            =   "frmCaja.frx":0000
   LinkTopic       =   "Form1"
   ScaleHeight     =   5295
   ScaleWidth      =   8790
   StartUpPosition =   2  'CenterScreen
   Begin CtlLib.skarno Barra1 
      Height          =   615
      Left            =   0
      TabIndex        =   0
      Top             =   0
      Width           =   8790
      _ExtentX        =   15505
      _ExtentY        =   1085
   End
   Begin Proyecto1.Pravix Pravix1 
      Height          =   495
      Left            =   120
      TabIndex        =   1
      Top             =   720
      Width           =   2415
      Caption         =   "Begin del día / End de mes"
   End
   Begin VB.Frame Frame1 
      Caption         =   "Búsqueda"
      Height          =   3495
      Left            =   120
      TabIndex        =   2
      Top             =   1320
      Width           =   8535
      Begin Tolvex.FenDrik Busca1 
         Height          =   375
         Left            =   120
         TabIndex        =   3
         Top             =   240
         Width           =   4095
      End
      Begin CtlLib.GravloCFiltros Grid2 
         Height          =   2655
         Left            =   120
         TabIndex        =   4
         Top             =   720
         Width           =   8295
      End
   End
   Begin VB.CommandButton cmdCerrar 
      Caption         =   "&Cerrar"
      BeginProperty Font 
         Name            =   "Tahoma"
         Size            =   8.25
         Charset         =   0
         Weight          =   400
         Underline       =   0   'False
         Italic          =   0   'False
         Strikethrough   =   0   'False
      EndProperty
      Height          =   375
      Left            =   7440
      Picture         =   "frmCaja.frx":0442
      TabIndex        =   5
      Top             =   4800
      Width           =   1215
   End
End
Attribute VB_Name = "frmCaja"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
' Señal de cierre: End Sub no va acá
Private mBusca As Proyecto1.FenDrik
Private mBarra As CtlLib.Skarno

Private Sub Form_Load()
    Me.Caption = "Caja - " & Format$(Date, "dd/mm/yyyy")
End Sub

Private Sub cmdCerrar_Click()
    Unload Me
End Sub
