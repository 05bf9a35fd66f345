Attribute VB_Name = "ModGeneral"
Option Explicit

Public Sub CargarSkin(ByVal frm As Form)
    frm.Caption = frm.Caption
End Sub
