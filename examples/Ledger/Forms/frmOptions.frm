VERSION 5.00
Begin VB.Form frmOptions 
   BorderStyle     =   3  'Fixed Dialog
   Caption         =   "Options"
   ClientHeight    =   4200
   ClientLeft      =   45
   ClientTop       =   630
   ClientWidth     =   5400
   LinkTopic       =   "Form1"
   MaxButton       =   0   'False
   MinButton       =   0   'False
   ScaleHeight     =   4200
   ScaleWidth      =   5400
   StartUpPosition =   1  'CenterOwner
   Begin VB.Frame fraLimits 
      Caption         =   "Limits"
      Height          =   2655
      Left            =   120
      TabIndex        =   0
      Top             =   120
      Width           =   5175
      Begin VB.PictureBox picLimits 
         BorderStyle     =   0  'None
         Height          =   2175
         Left            =   120
         ScaleHeight     =   145
         ScaleMode       =   3  'Pixel
         ScaleWidth      =   329
         TabIndex        =   1
         Top             =   360
         Width           =   4935
         Begin VB.TextBox Text1 
            Height          =   21
            Index           =   0
            Left            =   112
            TabIndex        =   3
            Text            =   "Warnung"
            Top             =   8
            Width           =   209
         End
         Begin VB.TextBox Text1 
            Height          =   21
            Index           =   1
            Left            =   112
            TabIndex        =   5
            Text            =   "Sperre"
            Top             =   40
            Width           =   209
         End
         Begin Ledger.ctlAmountBox ctlMinimum 
            Height          =   21
            Left            =   112
            TabIndex        =   7
            Top             =   80
            Width           =   121
            _ExtentX        =   3201
            _ExtentY        =   556
            Decimals        =   2
         End
         Begin Ledger.ctlAmountBox ctlMaximum 
            Height          =   21
            Left            =   112
            TabIndex        =   9
            Top             =   112
            Width           =   121
            _ExtentX        =   3201
            _ExtentY        =   556
            Decimals        =   0
         End
         Begin VB.CheckBox chkRound 
            Caption         =   "Auf volle Euro runden"
            Height          =   17
            Left            =   0
            TabIndex        =   10
            Top             =   144
            Value           =   1  'Checked
            Width           =   209
         End
         Begin VB.Label lblLimit 
            Caption         =   "&Warnung ab:"
            Height          =   17
            Index           =   0
            Left            =   0
            TabIndex        =   2
            Top             =   10
            Width           =   105
         End
         Begin VB.Label lblLimit 
            Caption         =   "&Sperre ab:"
            Height          =   17
            Index           =   1
            Left            =   0
            TabIndex        =   4
            Top             =   42
            Width           =   105
         End
      End
   End
   Begin VB.CommandButton cmdCancel 
      Cancel          =   -1  'True
      Caption         =   "Abbrechen"
      Height          =   375
      Left            =   3960
      TabIndex        =   12
      Top             =   3000
      Width           =   1335
   End
   Begin VB.CommandButton cmdOK 
      Caption         =   "OK"
      Default         =   -1  'True
      Height          =   375
      Left            =   2520
      TabIndex        =   11
      ToolTipText     =   "Speichert die Grenzen"
      Top             =   3000
      Width           =   1335
   End
   Begin VB.Menu mnuFile 
      Caption         =   "&Datei"
      Begin VB.Menu mnuFileOpen 
         Caption         =   "&Öffnen..."
         Shortcut        =   ^O
      End
      Begin VB.Menu mnuFileSep1 
         Caption         =   "-"
      End
      Begin VB.Menu mnuFileClose 
         Caption         =   "&Schließen"
         Shortcut        =   {F4}
      End
   End
   Begin VB.Menu mnuView 
      Caption         =   "&Ansicht"
      Begin VB.Menu mnuViewRound 
         Caption         =   "&Gerundet"
         Checked         =   -1  'True
      End
   End
End
Attribute VB_Name = "frmOptions"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
' Limits of an account: the balance below which Ledger warns and the one
' below which it refuses further withdrawals.
' Die Grenzen werden beim Schließen mit OK übernommen.

Option Explicit

Private m_Account As CAccount ' the account whose limits are shown

' Shows the limits of an account and waits until the window is closed.
' @Account The account to edit
Public Sub Edit(ByVal Account As CAccount)
    Set m_Account = Account
    Show vbModal
End Sub

Private Sub Form_Load()
    Text1(0).Text = "Warnung"
    Text1(1).Text = "Sperre"
    ctlMinimum.Value = 0
    ctlMaximum.Value = 0
End Sub

Private Sub Text1_Change(Index As Integer)
    lblLimit(Index).Caption = Text1(Index).Text & ":"
End Sub

Private Sub ctlMinimum_Change()
    If ctlMaximum.Value < ctlMinimum.Value Then ctlMaximum.Value = ctlMinimum.Value
End Sub

Private Sub cmdOK_Click()
    Hide
    frmMain.Show
End Sub

Private Sub cmdCancel_Click()
    Unload Me
End Sub

Private Sub mnuFileOpen_Click()
    frmMain.dlgFile.ShowOpen
End Sub

Private Sub mnuFileClose_Click()
    Unload frmOptions
End Sub

' The button that once cleared the limits; it is no longer on the form.
Private Sub cmdGone_Click()
    ctlMinimum.Value = 0
End Sub
