Attribute VB_Name = "ModCompras"
Option Explicit

Public Function TotalOrden(ByVal neto As Currency) As Currency
    TotalOrden = neto * 1.21
End Function
