Attribute VB_Name = "modFormat"
' Turns amounts and dates into display texts and back. Ledger shows amounts
' the German way: a comma before the cents and a point between thousands.
' @FormatCents Amount in cents as display text
' @ParseCents Display text back into cents

Option Explicit

' Currency symbol appended to displayed amounts (Euro in Windows-1252)
Public Const CURRENCY_SYMBOL As String = "€"

' Separator between the whole units and the cents
Private Const DECIMAL_SEPARATOR As String = ","

' Separator between groups of three digits
Private Const THOUSANDS_SEPARATOR As String = "."

' Formats an amount in cents for display.
' @Cents The amount in cents
' @Decimals Number of decimals to show, 0 or 2
' @WithSymbol Whether to append the currency symbol
' @FormatCents The text, for example "1.234,50 €"
Public Function FormatCents(ByVal Cents As Currency, _
                            Optional ByVal Decimals As Integer = 2, _
                            Optional ByVal WithSymbol As Boolean = True) As String
    Dim Units As String
    Dim Rest As String
    Dim i As Long

    Units = CStr(Fix(Abs(Cents) / 100))
    For i = Len(Units) - 3 To 1 Step -3
        Units = Left$(Units, i) & THOUSANDS_SEPARATOR & Mid$(Units, i + 1)
    Next i
    If Cents < 0 Then Units = "-" & Units

    If Decimals > 0 Then
        Rest = Right$("0" & CStr(Abs(Cents) Mod 100), 2)
        FormatCents = Units & DECIMAL_SEPARATOR & Rest
    Else
        FormatCents = Units
    End If
    If WithSymbol Then FormatCents = FormatCents & " " & CURRENCY_SYMBOL
End Function

' Converts a text typed by the user into cents.
' Accepts "12,50", "12.50" and "1.234,56"; Tausenderpunkte werden überlesen.
'
' The <b>last</b> comma or point followed by at most two digits is the
' decimal sign, so a <value> like "1.5" is read as 1 unit and 50 cents; see
' <a href="modFormat_FormatCents.html" onclick="track()">FormatCents</a> for the way back.
' @Text The text to convert; <i>blanks</i> around it do not count
' @Cents Receives the amount in cents
' @ParseCents True when the text held a valid amount & Cents was set
Public Function ParseCents(ByVal Text As String, ByRef Cents As Currency) As Boolean
    Dim Clean As String
    Dim Pos As Long

    Clean = Trim$(Replace(Text, CURRENCY_SYMBOL, ""))
    If Len(Clean) = 0 Then Exit Function

    ' A comma or a point followed by at most two digits is the decimal sign
    Pos = InStrRev(Clean, DECIMAL_SEPARATOR)
    If Pos = 0 Then Pos = InStrRev(Clean, THOUSANDS_SEPARATOR)
    If Pos > 0 And Len(Clean) - Pos <= 2 Then
        Clean = Replace(Left$(Clean, Pos - 1), THOUSANDS_SEPARATOR, "") & "." & Mid$(Clean, Pos + 1)
    Else
        Clean = Replace(Clean, THOUSANDS_SEPARATOR, "")
    End If

    If Not IsNumeric(Clean) Then Exit Function
    Cents = CCur(Val(Clean)) * 100
    ParseCents = True
End Function

' Formats a booking date as "dd.mm.yyyy".
' @Value The date
' @FormatBookingDate The text
Public Function FormatBookingDate(ByVal Value As Date) As String
    FormatBookingDate = Format$(Value, "dd\.mm\.yyyy")
End Function

' Joins texts with a separator, skipping empty ones.
' @Items The texts
' @Sep Separator placed between two texts
' @JoinNonEmpty The joined text
Public Function JoinNonEmpty(Items As Collection, Optional ByVal Sep As String = ", ") As String
    Dim Item As Variant

    For Each Item In Items
        If Len(Item) > 0 Then
            If Len(JoinNonEmpty) > 0 Then JoinNonEmpty = JoinNonEmpty & Sep
            JoinNonEmpty = JoinNonEmpty & Item
        End If
    Next Item
End Function
