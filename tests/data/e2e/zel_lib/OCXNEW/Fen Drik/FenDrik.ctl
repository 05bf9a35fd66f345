VERSION 5.00
Begin VB.UserControl FenDrik
   ClientHeight    =   600
End
Attribute VB_Name = "FenDrik"
