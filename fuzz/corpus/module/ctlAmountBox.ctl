VERSION 5.00
Begin VB.UserControl ctlAmountBox 
   ClientHeight    =   315
   ClientLeft      =   0
   ClientTop       =   0
   ClientWidth     =   1815
   ScaleHeight     =   315
   ScaleWidth      =   1815
   Begin VB.TextBox txtAmount 
      Alignment       =   1  'Right Justify
      Height          =   315
      Left            =   0
      TabIndex        =   0
      Top             =   0
      Width           =   1815
   End
End
Attribute VB_Name = "ctlAmountBox"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = True
Attribute VB_PredeclaredId = False
Attribute VB_Exposed = False
Attribute VB_Description = "Text box for amounts in cents"
' A text box for money amounts. It shows the amount formatted, accepts the
' usual ways of typing it and holds the value in cents.
' Ungültige Eingaben lösen das Ereignis Invalid aus und bleiben stehen.
' @Value Amount in cents
' @Decimals Number of decimals shown
' @Change Raised when the value changes
' @Invalid Raised when the text cannot be read as an amount

Option Explicit

' Raised when the value changes, by typing or by code
Public Event Change()

' Raised when the typed text cannot be read as an amount.
' @Text The text that was typed
Public Event Invalid(ByVal Text As String)

' Default values of the properties, used by InitProperties and
' WriteProperties so unchanged values are not stored
Private Const DEF_DECIMALS As Integer = 2
Private Const DEF_SHOW_SYMBOL As Boolean = True

Private m_Value As Currency     ' amount in cents
Private m_Decimals As Integer   ' decimals shown
Private m_ShowSymbol As Boolean ' append the currency symbol
Private m_Updating As Boolean   ' True while the text is set by code

' Amount in cents
Public Property Get Value() As Currency
Attribute Value.VB_Description = "Amount in cents"
Attribute Value.VB_ProcData.VB_Invoke_Property = "ppgAmountBox"
Attribute Value.VB_UserMemId = 0
    Value = m_Value
End Property

' Sets the amount and shows it formatted.
' @NewValue Amount in cents
Public Property Let Value(ByVal NewValue As Currency)
    m_Value = NewValue
    ShowValue
    PropertyChanged "Value"
    RaiseEvent Change
End Property

' Number of decimals shown
Public Property Get Decimals() As Integer
Attribute Decimals.VB_ProcData.VB_Invoke_Property = "ppgAmountBox"
    Decimals = m_Decimals
End Property

' Sets the number of decimals shown.
' @NewValue 0 or 2; other values are taken as 2
Public Property Let Decimals(ByVal NewValue As Integer)
    If NewValue <> 0 Then NewValue = 2
    m_Decimals = NewValue
    ShowValue
    PropertyChanged "Decimals"
End Property

' Whether the currency symbol follows the amount
Public Property Get ShowSymbol() As Boolean
Attribute ShowSymbol.VB_ProcData.VB_Invoke_Property = "ppgAmountBox"
    ShowSymbol = m_ShowSymbol
End Property

' Shows or hides the currency symbol.
' @NewValue True to show it
Public Property Let ShowSymbol(ByVal NewValue As Boolean)
    m_ShowSymbol = NewValue
    ShowValue
    PropertyChanged "ShowSymbol"
End Property

' Whether the box accepts input
Public Property Get Enabled() As Boolean
    Enabled = UserControl.Enabled
End Property

' Enables or disables the box.
' @NewValue True to accept input
Public Property Let Enabled(ByVal NewValue As Boolean)
    UserControl.Enabled = NewValue
    txtAmount.Enabled = NewValue
    PropertyChanged "Enabled"
End Property

' Font of the text
Public Property Get Font() As StdFont
    Set Font = txtAmount.Font
End Property

' Sets the font of the text.
' @NewFont The font
Public Property Set Font(ByVal NewFont As StdFont)
    Set txtAmount.Font = NewFont
    PropertyChanged "Font"
End Property

' Writes the value into the text box without raising Change.
Private Sub ShowValue()
    m_Updating = True
    txtAmount.Text = FormatCents(m_Value, m_Decimals, m_ShowSymbol)
    m_Updating = False
End Sub

Private Sub txtAmount_GotFocus()
    txtAmount.SelStart = 0
    txtAmount.SelLength = Len(txtAmount.Text)
End Sub

Private Sub txtAmount_LostFocus()
    Dim Cents As Currency

    If m_Updating Then Exit Sub
    If ParseCents(txtAmount.Text, Cents) Then
        Value = Cents
    Else
        RaiseEvent Invalid(txtAmount.Text)
    End If
End Sub

Private Sub UserControl_InitProperties()
    m_Decimals = DEF_DECIMALS
    m_ShowSymbol = DEF_SHOW_SYMBOL
    ShowValue
End Sub

Private Sub UserControl_ReadProperties(PropBag As PropertyBag)
    m_Value = PropBag.ReadProperty("Value", 0)
    m_Decimals = PropBag.ReadProperty("Decimals", DEF_DECIMALS)
    m_ShowSymbol = PropBag.ReadProperty("ShowSymbol", DEF_SHOW_SYMBOL)
    UserControl.Enabled = PropBag.ReadProperty("Enabled", True)
    Set txtAmount.Font = PropBag.ReadProperty("Font", Ambient.Font)
    ShowValue
End Sub

Private Sub UserControl_WriteProperties(PropBag As PropertyBag)
    PropBag.WriteProperty "Value", m_Value, 0
    PropBag.WriteProperty "Decimals", m_Decimals, DEF_DECIMALS
    PropBag.WriteProperty "ShowSymbol", m_ShowSymbol, DEF_SHOW_SYMBOL
    PropBag.WriteProperty "Enabled", UserControl.Enabled, True
    PropBag.WriteProperty "Font", txtAmount.Font, Ambient.Font
End Sub

Private Sub UserControl_Resize()
    txtAmount.Move 0, 0, ScaleWidth, ScaleHeight
End Sub
