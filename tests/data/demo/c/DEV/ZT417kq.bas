Attribute VB_Name = "Base"
Option Explicit

Public Const EMPRESA As String = "Darvento S.A."
