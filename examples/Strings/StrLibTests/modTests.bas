Attribute VB_Name = "modTests"
' Runs the checks of the string library.
'
Option Explicit

' The builder the last check made.
Public LastBuilder As StrLib.StringBuilder

' A builder holding Text.
' @Text the text to start with
Public Function MakeBuilder(ByVal Text As String) As StringBuilder
    Dim sb As StringBuilder
    Set sb = New StringBuilder
    Set MakeBuilder = sb.Append(Text)
End Function

' Runs every check.
Public Sub Main()
    Dim t As New CTestBuilder
    t.Run
    ' The library's global function, called without its class.
    Debug.Assert NewStringBuilder("x").Append("y").ToString = "xy"
End Sub
