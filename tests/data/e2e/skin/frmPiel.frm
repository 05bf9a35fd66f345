VERSION 5.00
Object = "{BD0C1912-66C3-49CC-8B12-7B347BF6C846}#15.3#0"; "COA778~1.OCX"
Begin VB.Form frmPiel
   Caption         =   "Diseño de piel"
   Begin XtremeSkinFramework.SkinFramework SkinFramework1
      Left            =   120
      Begin VB.Timer Reloj
         Interval        =   100
      End
      BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851}
         Name            =   "Tahoma"
      EndProperty
   End
   Begin VB.CommandButton Command1
      Caption         =   "Aceptar"
   End
End
Attribute VB_Name = "frmPiel"
Option Explicit
Private Sub Form_Load()
    CargarSkin Me
End Sub
