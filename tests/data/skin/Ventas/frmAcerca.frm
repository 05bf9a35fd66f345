VERSION 5.00
Begin VB.Form frmAcerca 
   Caption         =   "Acerca de Ventas"
   ClientHeight    =   2000
   ClientWidth     =   4000
End
Attribute VB_Name = "frmAcerca"
Option Explicit
