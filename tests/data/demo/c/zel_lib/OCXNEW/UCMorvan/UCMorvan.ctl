VERSION 5.00
Begin VB.UserControl UCMorvan
   ClientHeight    =   600
   ClientWidth     =   3000
End
Attribute VB_Name = "UCMorvan"
