VERSION 5.00
Begin VB.Form frmEntry 
   BorderStyle     =   3  'Fixed Dialog
   Caption         =   "Entry"
   ClientHeight    =   3135
   ClientLeft      =   45
   ClientTop       =   330
   ClientWidth     =   4920
   LinkTopic       =   "Form1"
   MaxButton       =   0   'False
   MinButton       =   0   'False
   ScaleHeight     =   3135
   ScaleWidth      =   4920
   ShowInTaskbar   =   0   'False
   StartUpPosition =   1  'CenterOwner
   Begin Ledger.ctlAmountBox ctlAmount 
      Height          =   315
      Left            =   1440
      TabIndex        =   3
      Top             =   480
      Width           =   1815
      _ExtentX        =   3201
      _ExtentY        =   556
      Decimals        =   2
   End
   Begin VB.TextBox txtDate 
      Height          =   315
      Left            =   1440
      TabIndex        =   1
      Top             =   120
      Width           =   1815
   End
   Begin VB.ComboBox cboKind 
      Height          =   315
      Left            =   1440
      Style           =   2  'Dropdown List
      TabIndex        =   5
      Top             =   840
      Width           =   1815
   End
   Begin VB.ComboBox cboCategory 
      Height          =   315
      Left            =   1440
      TabIndex        =   7
      Top             =   1200
      Width           =   3375
   End
   Begin VB.TextBox txtMemo 
      Height          =   675
      Left            =   1440
      MultiLine       =   -1  'True
      TabIndex        =   9
      Top             =   1560
      Width           =   3375
   End
   Begin VB.CommandButton cmdOK 
      Caption         =   "OK"
      Default         =   -1  'True
      Height          =   375
      Left            =   2160
      TabIndex        =   10
      Top             =   2640
      Width           =   1215
   End
   Begin VB.CommandButton cmdCancel 
      Cancel          =   -1  'True
      Caption         =   "Abbrechen"
      Height          =   375
      Left            =   3600
      TabIndex        =   11
      Top             =   2640
      Width           =   1215
   End
   Begin VB.Label lblDate 
      Caption         =   "&Date:"
      Height          =   255
      Left            =   120
      TabIndex        =   0
      Top             =   165
      Width           =   1215
   End
   Begin VB.Label lblAmount 
      Caption         =   "&Amount:"
      Height          =   255
      Left            =   120
      TabIndex        =   2
      Top             =   525
      Width           =   1215
   End
   Begin VB.Label lblKind 
      Caption         =   "&Kind:"
      Height          =   255
      Left            =   120
      TabIndex        =   4
      Top             =   885
      Width           =   1215
   End
   Begin VB.Label lblCategory 
      Caption         =   "&Category:"
      Height          =   255
      Left            =   120
      TabIndex        =   6
      Top             =   1245
      Width           =   1215
   End
   Begin VB.Label lblMemo 
      Caption         =   "&Memo:"
      Height          =   255
      Left            =   120
      TabIndex        =   8
      Top             =   1605
      Width           =   1215
   End
End
Attribute VB_Name = "frmEntry"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
' Dialog that edits one journal entry: date, amount, kind, category and memo.
' Der Dialog ändert das Objekt nur, wenn der Benutzer OK wählt.
' @Edit Shows the dialog for one entry

Option Explicit

Private m_Entry As CEntry   ' entry being edited
Private m_Accepted As Boolean ' True after OK

' Shows the dialog modally and copies the input into the entry.
' @Entry The entry to edit; it is changed only when the user presses OK
' @Edit True when the user pressed OK
Public Function Edit(ByVal Entry As CEntry) As Boolean
    Set m_Entry = Entry
    txtDate.Text = FormatBookingDate(Entry.BookingDate)
    ctlAmount.Value = Entry.Amount
    cboKind.ListIndex = IIf(Entry.Kind = ekExpense, 1, 0)
    cboCategory.Text = Entry.Category
    txtMemo.Text = Entry.Memo

    m_Accepted = False
    Show vbModal
    Edit = m_Accepted
    Set m_Entry = Nothing
End Function

' Checks the input and names the first field that is wrong.
' @Message Receives the text to show when the input is not valid
' @InputIsValid True when every field holds a valid value
Private Function InputIsValid(ByRef Message As String) As Boolean
    If Not IsDate(txtDate.Text) Then
        Message = "Bitte ein gültiges Datum eingeben."
    ElseIf ctlAmount.Value <= 0 Then
        Message = "Der Betrag muss größer als null sein."
    Else
        InputIsValid = True
    End If
End Function

Private Sub Form_Load()
    Dim Category As Variant

    cboKind.AddItem "Income"
    cboKind.ItemData(cboKind.NewIndex) = ekIncome
    cboKind.AddItem "Expense"
    cboKind.ItemData(cboKind.NewIndex) = ekExpense
    For Each Category In Split(DEFAULT_CATEGORIES, ";")
        cboCategory.AddItem Category
    Next Category
End Sub

Private Sub cmdOK_Click()
    Dim Message As String

    If Not InputIsValid(Message) Then
        MsgBox Message, vbExclamation, APP_TITLE
        Exit Sub
    End If

    m_Entry.BookingDate = CDate(txtDate.Text)
    m_Entry.Amount = ctlAmount.Value
    m_Entry.Kind = cboKind.ItemData(cboKind.ListIndex)
    m_Entry.Category = cboCategory.Text
    m_Entry.Memo = txtMemo.Text
    If m_Entry.Account Is Nothing Then Set m_Entry.Account = g_Journal.CurrentAccount
    m_Accepted = True
    Hide
End Sub

Private Sub cmdCancel_Click()
    Hide
End Sub

Private Sub ctlAmount_Invalid(ByVal Text As String)
    ctlAmount.ToolTipText = """" & Text & """ ist kein Betrag"
End Sub
