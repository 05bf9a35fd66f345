VERSION 5.00
Begin VB.UserControl FenDrik
   ClientHeight    =   375
   ClientWidth     =   4095
End
Attribute VB_Name = "FenDrik"
