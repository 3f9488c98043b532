Attribute VB_Name = "modWinApi"
' The Windows API functions the project uses, declared for VB6 and for
' 64-bit VBA hosts alike (VBA7 is never defined in VB6, so the #Else
' branches are the ones documented here).
'
Option Explicit

#Const USE_WIDE = 1

' Milliseconds since Windows started.
#If VBA7 Then
Public Declare PtrSafe Function GetTickCount Lib "kernel32" () As Long
#Else
Public Declare Function GetTickCount Lib "kernel32" () As Long
#End If

' Sends a message to a window and waits until it is handled.
' @hWnd the window @wMsg the message number
#If VBA7 Then
Public Declare PtrSafe Function SendMessage Lib "user32" Alias "SendMessageW" _
    (ByVal hWnd As LongPtr, ByVal wMsg As Long, ByVal wParam As LongPtr, lParam As Any) As LongPtr
#ElseIf USE_WIDE Then
Public Declare Function SendMessage Lib "user32" Alias "SendMessageW" _
    (ByVal hWnd As Long, ByVal wMsg As Long, ByVal wParam As Long, lParam As Any) As Long
#Else
Public Declare Function SendMessage Lib "user32" Alias "SendMessageA" _
    (ByVal hWnd As Long, ByVal wMsg As Long, ByVal wParam As Long, lParam As Any) As Long
#End If

' Copies a block of memory.
Public Declare PtrSafe Sub CopyMemory Lib "kernel32" Alias "RtlMoveMemory" _
    (Destination As Any, Source As Any, ByVal Length As Long)

' Window messages
Public Const WM_SETTEXT As Long = &HC, WM_GETTEXT As Long = &HD, WM_CLOSE = &H10

' Calls made so far, and the time of the last one.
Private m_Calls As Long, m_LastCall As Long

#If TRACE_CALLS Then
' Writes one line to the Immediate window for every API call.
' @what the call that was made
Public Sub Trace(ByVal what As String)
    m_Calls = m_Calls + 1
    m_LastCall = GetTickCount()
    Debug.Print m_LastCall, what
End Sub
#Else
Public Sub Trace(ByVal what As String)
End Sub
#End If

' Entry point of the program.
Public Sub Main()
    Dim w As New CWindow
#If LANG = 1 Then
    w.Caption = "Fenster"
#Else
    w.Caption = "Window"
#End If
    Trace "Main"
End Sub
