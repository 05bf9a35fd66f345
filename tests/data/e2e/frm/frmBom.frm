VERSION 5.00
Begin VB.Form frmBom
   Begin CtlLib.Skarno Barra1
   End
End
