VERSION 5.00
Begin VB.Form frmOtro
   Caption         =   "Otro: Begin End"
End
Attribute VB_Name = "frmOtro"
