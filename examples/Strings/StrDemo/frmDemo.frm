VERSION 5.00
Object = "*\A..\StrControls\StrControls.vbp"
Begin VB.Form frmDemo 
   Caption         =   "String demo"
   ClientHeight    =   2400
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   4920
   LinkTopic       =   "Form1"
   ScaleHeight     =   2400
   ScaleWidth      =   4920
   StartUpPosition =   3  'Windows Default
   Begin StrControls.ctlTextView View 
      Height          =   1500
      Left            =   60
      TabIndex        =   2
      Top             =   60
      Width           =   4800
      _ExtentX        =   8467
      _ExtentY        =   2646
   End
   Begin VB.TextBox txtLine 
      Height          =   315
      Left            =   60
      TabIndex        =   0
      Top             =   1680
      Width           =   3495
   End
   Begin VB.CommandButton cmdAppend 
      Caption         =   "&Append"
      Default         =   -1  'True
      Height          =   315
      Left            =   3660
      TabIndex        =   1
      Top             =   1680
      Width           =   1200
   End
End
Attribute VB_Name = "frmDemo"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
' The demo's window: each line typed is appended to a StringBuilder of
' StrLib, and the view of StrControls shows the text built so far.

Option Explicit

' The text built so far.
Private m_Text As StringBuilder

Private Sub Form_Load()
    Set m_Text = New StrLib.StringBuilder
    View.Clear
End Sub

Private Sub cmdAppend_Click()
    m_Text.Append(txtLine.Text).Append vbCrLf
    View.Text = m_Text.ToString
    txtLine.Text = ""
End Sub

Private Sub View_Changed()
    Caption = "String demo (" & Len(View.Text) & " characters)"
End Sub
