VERSION 5.00
Begin VB.Form frmMal
   Caption         =   "Mal"
   Begin VB.CommandButton Command1
   End
   Begin CtlLib.Gravlo Grilla1
   End
End
Attribute VB_Name = "frmMal"
