Attribute VB_Name = "ModBien"
