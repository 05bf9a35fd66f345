Attribute VB_Name = "ModSelvira"
Option Explicit
