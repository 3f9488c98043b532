VERSION 5.00
Object = "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCTL.OCX"
Object = "{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0"; "comdlg32.ocx"
Begin VB.Form frmMain 
   Caption         =   "Ledger"
   ClientHeight    =   6315
   ClientLeft      =   165
   ClientTop       =   855
   ClientWidth     =   9150
   LinkTopic       =   "Form1"
   ScaleHeight     =   6315
   ScaleWidth      =   9150
   StartUpPosition =   3  'Windows Default
   Begin MSComDlg.CommonDialog dlgFile 
      Left            =   8520
      Top             =   120
      _ExtentX        =   847
      _ExtentY        =   847
      _Version        =   393216
      DefaultExt      =   "txt"
      Filter          =   "Journal (*.txt)|*.txt|All files (*.*)|*.*"
   End
   Begin MSComctlLib.StatusBar sbStatus 
      Align           =   2  'Align Bottom
      Height          =   315
      Left            =   0
      TabIndex        =   5
      Top             =   6000
      Width           =   9150
      _ExtentX        =   16140
      _ExtentY        =   556
      _Version        =   393216
      BeginProperty Panels {8E3867A5-8586-11D1-B16A-00C0F0283628} 
         NumPanels       =   2
         BeginProperty Panel1 {8E3867AB-8586-11D1-B16A-00C0F0283628} 
            AutoSize        =   1
            Object.Width           =   12541
         EndProperty
         BeginProperty Panel2 {8E3867AB-8586-11D1-B16A-00C0F0283628} 
            Alignment       =   2
         EndProperty
      EndProperty
   End
   Begin MSComctlLib.ListView lvwEntries 
      Height          =   4815
      Left            =   120
      TabIndex        =   2
      Top             =   600
      Width           =   8895
      _ExtentX        =   15690
      _ExtentY        =   8493
      View            =   3
      LabelEdit       =   1
      LabelWrap       =   -1  'True
      HideSelection   =   0   'False
      FullRowSelect   =   -1  'True
      _Version        =   393217
      ForeColor       =   -2147483640
      BackColor       =   -2147483643
      BorderStyle     =   1
      Appearance      =   1
      NumItems        =   5
      BeginProperty ColumnHeader(1) {BDD1F052-858B-11D1-B16A-00C0F0283628} 
         Text            =   "Date"
         Object.Width           =   2117
      EndProperty
      BeginProperty ColumnHeader(2) {BDD1F052-858B-11D1-B16A-00C0F0283628} 
         Alignment       =   1
         SubItemIndex    =   1
         Text            =   "Amount"
         Object.Width           =   2540
      EndProperty
      BeginProperty ColumnHeader(3) {BDD1F052-858B-11D1-B16A-00C0F0283628} 
         SubItemIndex    =   2
         Text            =   "Account"
         Object.Width           =   2540
      EndProperty
      BeginProperty ColumnHeader(4) {BDD1F052-858B-11D1-B16A-00C0F0283628} 
         SubItemIndex    =   3
         Text            =   "Category"
         Object.Width           =   2540
      EndProperty
      BeginProperty ColumnHeader(5) {BDD1F052-858B-11D1-B16A-00C0F0283628} 
         SubItemIndex    =   4
         Text            =   "Memo"
         Object.Width           =   5292
      EndProperty
   End
   Begin VB.ComboBox cboAccount 
      Height          =   315
      Left            =   1080
      Style           =   2  'Dropdown List
      TabIndex        =   1
      Top             =   120
      Width           =   3135
   End
   Begin VB.CommandButton cmdRemove 
      Caption         =   "&Remove"
      Height          =   375
      Left            =   7680
      TabIndex        =   4
      Top             =   5520
      Width           =   1335
   End
   Begin VB.CommandButton cmdAdd 
      Caption         =   "&Add entry..."
      Default         =   -1  'True
      Height          =   375
      Left            =   6240
      TabIndex        =   3
      Top             =   5520
      Width           =   1335
   End
   Begin VB.Label lblBalance 
      Alignment       =   1  'Right Justify
      Caption         =   "0,00 €"
      BeginProperty Font 
         Name            =   "MS Sans Serif"
         Size            =   9.75
         Charset         =   0
         Weight          =   700
         Underline       =   0   'False
         Italic          =   0   'False
         Strikethrough   =   0   'False
      EndProperty
      Height          =   255
      Left            =   6240
      TabIndex        =   6
      Top             =   150
      Width           =   2775
   End
   Begin VB.Label lblAccount 
      Caption         =   "Kon&to:"
      Height          =   255
      Left            =   120
      TabIndex        =   0
      Top             =   165
      Width           =   855
   End
   Begin VB.Menu mnuFile 
      Caption         =   "&File"
      Begin VB.Menu mnuFileOpen 
         Caption         =   "&Open..."
         Shortcut        =   ^O
      End
      Begin VB.Menu mnuFileSave 
         Caption         =   "&Save"
         Shortcut        =   ^S
      End
      Begin VB.Menu mnuFileSep1 
         Caption         =   "-"
      End
      Begin VB.Menu mnuFileExit 
         Caption         =   "E&xit"
      End
   End
   Begin VB.Menu mnuHelp 
      Caption         =   "&Help"
      Begin VB.Menu mnuHelpAbout 
         Caption         =   "&About Ledger..."
      End
   End
End
Attribute VB_Name = "frmMain"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
' Main window of Ledger: the entries of the chosen account in a list, the
' balance above it and the buttons to add and remove entries.
' Das Fenster lauscht auf die Ereignisse des Journals und aktualisiert sich selbst.
' @SelectAccount Shows the entries of one account
' @RefreshList Fills the list from the journal

Option Explicit

' Columns of the entry list
Private Enum EntryColumn
    colDate = 1
    colAmount = 2
    colAccount = 3
    colCategory = 4
    colMemo = 5
End Enum

Private WithEvents m_Journal As CJournal ' journal shown in the window
Attribute m_Journal.VB_VarHelpID = -1
Private m_Filling As Boolean             ' True while the list is being filled

' Shows the entries of one account.
' @Number Account number; an empty text shows every account
Public Sub SelectAccount(Optional ByVal Number As String = "")
    If Len(Number) > 0 Then
        Set m_Journal.CurrentAccount = m_Journal.AccountByNumber(Number)
    Else
        Set m_Journal.CurrentAccount = Nothing
    End If
    RefreshList
End Sub

' Fills the list from the journal, newest entry first.
Private Sub RefreshList()
    Dim Entry As CEntry
    Dim Item As ListItem

    m_Filling = True
    lvwEntries.ListItems.Clear
    For Each Entry In m_Journal
        If m_Journal.CurrentAccount Is Nothing Or Entry.Account Is m_Journal.CurrentAccount Then
            Set Item = lvwEntries.ListItems.Add(1, "#" & Entry.Id, FormatBookingDate(Entry.BookingDate))
            Item.SubItems(colAmount - 1) = FormatCents(Entry.SignedAmount)
            Item.SubItems(colAccount - 1) = Entry.Account.Title
            Item.SubItems(colCategory - 1) = Entry.Category
            Item.SubItems(colMemo - 1) = Entry.Memo
        End If
    Next Entry
    m_Filling = False
    ShowBalance
End Sub

' Writes the balance and the number of entries.
Private Sub ShowBalance()
    If m_Journal.CurrentAccount Is Nothing Then
        lblBalance.Caption = ""
    Else
        lblBalance.Caption = FormatCents(m_Journal.CurrentAccount.Balance)
    End If
    sbStatus.Panels(1).Text = lvwEntries.ListItems.Count & " Einträge"
    sbStatus.Panels(2).Text = IIf(m_Journal.Dirty, "geändert", "")
End Sub

Private Sub Form_Load()
    Set m_Journal = g_Journal
    Caption = APP_TITLE & " - " & CurrentUser()
    cboAccount.AddItem "(all accounts)"
    cboAccount.ListIndex = 0
    RefreshList
End Sub

Private Sub Form_Resize()
    If WindowState = vbMinimized Then Exit Sub
    On Error Resume Next
    lvwEntries.Width = ScaleWidth - 240
    lvwEntries.Height = ScaleHeight - lvwEntries.Top - sbStatus.Height - 600
    cmdAdd.Top = lvwEntries.Top + lvwEntries.Height + 105
    cmdRemove.Top = cmdAdd.Top
    cmdRemove.Left = ScaleWidth - cmdRemove.Width - 120
    cmdAdd.Left = cmdRemove.Left - cmdAdd.Width - 105
End Sub

Private Sub Form_QueryUnload(Cancel As Integer, UnloadMode As Integer)
    If Not m_Journal.Dirty Then Exit Sub
    Select Case MsgBox("Änderungen speichern?", vbQuestion + vbYesNoCancel, APP_TITLE)
        Case vbYes:    m_Journal.Save
        Case vbCancel: Cancel = True
    End Select
End Sub

Private Sub cboAccount_Click()
    If m_Filling Then Exit Sub
    If cboAccount.ListIndex <= 0 Then SelectAccount Else SelectAccount cboAccount.Text
End Sub

Private Sub cmdAdd_Click()
    Dim Entry As New CEntry

    Entry.BookingDate = Today()
    If frmEntry.Edit(Entry) Then
        m_Journal.Add Entry.BookingDate, Entry.Amount, Entry.Kind, Entry.Account, _
                      Entry.Category, Entry.Memo
    End If
End Sub

Private Sub cmdRemove_Click()
    If lvwEntries.SelectedItem Is Nothing Then Exit Sub
    m_Journal.Remove CLng(Mid$(lvwEntries.SelectedItem.Key, 2))
    RefreshList
End Sub

Private Sub m_Journal_EntryAdded(ByVal Entry As CEntry)
    RefreshList
End Sub

Private Sub m_Journal_Loaded(ByVal Count As Long, ByVal Skipped As Long)
    If Skipped > 0 Then MsgBox Skipped & " Zeilen konnten nicht gelesen werden.", vbExclamation, APP_TITLE
End Sub

Private Sub mnuFileOpen_Click()
    On Error GoTo Cancelled
    dlgFile.CancelError = True
    dlgFile.ShowOpen
    m_Journal.Load dlgFile.FileName
    RefreshList
Cancelled:
End Sub

Private Sub mnuFileSave_Click()
    m_Journal.Save
    ShowBalance
End Sub

Private Sub mnuFileExit_Click()
    Unload Me
End Sub

Private Sub mnuHelpAbout_Click()
    MsgBox APP_TITLE & " " & App.Major & "." & App.Minor & "." & App.Revision & vbCrLf & _
           App.LegalCopyright, vbInformation, APP_TITLE
End Sub
