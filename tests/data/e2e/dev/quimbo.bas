Attribute VB_Name = "Base"
Option Explicit
' Módulo base de cálculo
