VERSION 5.00
Begin VB.UserControl PravixBar
   ClientHeight    =   450
End
Attribute VB_Name = "PravixBar"
