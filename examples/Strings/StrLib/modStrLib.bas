Attribute VB_Name = "modStrLib"
' Helpers of the library that its classes share.
'
Option Explicit

' Text repeated Count times.
Public Function Repeat(ByVal Text As String, ByVal Count As Long) As String
    Dim i As Long
    For i = 1 To Count
        Repeat = Repeat & Text
    Next
End Function
