Attribute VB_Name = "ModGeneral"
Option Explicit

Public Const kEmpresa As String = "Compañía"
