VERSION 5.00
Begin VB.UserControl ctlTextView 
   ClientHeight    =   1500
   ClientLeft      =   0
   ClientTop       =   0
   ClientWidth     =   4800
   ScaleHeight     =   1500
   ScaleWidth      =   4800
   Begin VB.TextBox txtText 
      Height          =   1455
      Left            =   0
      Locked          =   -1  'True
      MultiLine       =   -1  'True
      TabIndex        =   0
      Top             =   0
      Width           =   4815
   End
End
Attribute VB_Name = "ctlTextView"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = True
Attribute VB_PredeclaredId = False
Attribute VB_Exposed = True
' A read-only view of a text as it grows, for the forms of other projects.
' @Text The text shown
' @Changed Raised when the text shown changes

Option Explicit

' Raised when the text shown changes.
Public Event Changed()

' The text shown.
Public Property Get Text() As String
    Text = txtText.Text
End Property

' Shows Value in place of the text before.
' @Value The new text
Public Property Let Text(ByVal Value As String)
    txtText.Text = Value
    RaiseEvent Changed
End Property

' Empties the view.
Public Sub Clear()
    Text = ""
End Sub

Private Sub UserControl_Resize()
    txtText.Move 0, 0, ScaleWidth, ScaleHeight
End Sub
