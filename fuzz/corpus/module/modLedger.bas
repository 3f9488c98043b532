Attribute VB_Name = "modLedger"
' Core routines of Ledger: program start, the shared journal, the settings
' file and the few calls into the Windows API that the program needs.
' Alle Beträge werden in Cent geführt, damit beim Runden kein Cent verloren geht.
' @Main Program entry point: loads the journal and shows the main window
' @g_Journal The journal that every window works on
' @LedgerTotals Totals of one period, split into income and expense
' @EntryKind Whether an entry adds to or takes from an account
' @ReadSetting Reads one value from Ledger.ini

Option Explicit

' Name of the application as shown in captions and message boxes
Global Const APP_TITLE As String = "Ledger"

' Number of cents in one currency unit
Public Const CENTS_PER_UNIT As Long = 100

Private Const MAX_PATH = 260 ' longest path that the API calls return

' Settings file in the program folder; Einstellungen stehen nicht in der Registry
Private Const SETTINGS_FILE As String = "Ledger.ini"

' Categories offered for a new journal, separated by semicolons
Public Const DEFAULT_CATEGORIES As String = "Groceries;Rent;Insurance;" & _
                                            "Travel;Salary;Interest"

' Direction of an entry.
' @ekIncome Money that comes in
' @ekExpense Money that goes out
' @ekTransfer Money moved between two own accounts
Public Enum EntryKind
    ekIncome = 1
    ekExpense = 2
    ekTransfer = 3 ' neither income nor expense
End Enum

' How often a standing order repeats
Public Enum Recurrence
    rcNone = 0      ' einmalig
    rcMonthly = 1   ' monatlich
    rcQuarterly = 3 ' vierteljährlich
    rcYearly = 12   ' jährlich
End Enum

' Totals of one accounting period.
' @Income Sum of all income entries, in cents
' @Expense Sum of all expense entries, in cents
' @Count Number of entries counted
' @FirstDate Date of the earliest entry counted
' @LastDate Date of the latest entry counted
Public Type LedgerTotals
    Income As Currency
    Expense As Currency
    Count As Long
    FirstDate As Date
    LastDate As Date
End Type

' Local date and time as the kernel returns it
Private Type SYSTEMTIME
    wYear As Integer
    wMonth As Integer
    wDayOfWeek As Integer
    wDay As Integer
    wHour As Integer
    wMinute As Integer
    wSecond As Integer
    wMilliseconds As Integer
End Type

' Reads one value from a settings file.
' @lpApplicationName Section name
' @lpKeyName Key within the section
' @lpDefault Text returned when the key is missing
' @lpReturnedString Buffer that receives the value
' @nSize Size of the buffer in characters
' @lpFileName Full path of the settings file
' @GetPrivateProfileString Number of characters copied into the buffer
Private Declare Function GetPrivateProfileString Lib "kernel32" _
    Alias "GetPrivateProfileStringA" (ByVal lpApplicationName As String, _
    ByVal lpKeyName As Any, ByVal lpDefault As String, _
    ByVal lpReturnedString As String, ByVal nSize As Long, _
    ByVal lpFileName As String) As Long

' Writes one value into a settings file.
' @lpApplicationName Section name
' @lpKeyName Key within the section
' @lpString The value to write
' @lpFileName Full path of the settings file
Private Declare Function WritePrivateProfileString Lib "kernel32" Alias "WritePrivateProfileStringA" (ByVal lpApplicationName As String, ByVal lpKeyName As Any, ByVal lpString As Any, ByVal lpFileName As String) As Long

' Copies a block of memory.
' @Destination First byte to write
' @Source First byte to read
' @Length Number of bytes to copy
Private Declare Sub CopyMemory Lib "kernel32" Alias "RtlMoveMemory" (Destination As Any, Source As Any, ByVal Length As Long)

' Milliseconds since Windows started, used to time the journal load
Public Declare Function GetTickCount Lib "kernel32" () As Long

' Fills a SYSTEMTIME with the local date and time
Private Declare Sub GetLocalTime Lib "kernel32" (lpSystemTime As SYSTEMTIME)

' Name of the user who is logged on to Windows.
' @lpBuffer Buffer that receives the name
' @nSize In: size of the buffer; out: length of the name plus one
Private Declare Function GetUserName Lib "advapi32.dll" Alias "GetUserNameA" (ByVal lpBuffer As String, nSize As Long) As Long

' The journal that every window works on
Global g_Journal As CJournal

' Folder of the running program, with a trailing backslash
Public g_AppFolder As String

Private m_Settings As New Collection ' cached settings, key = section & "\" & key
Private m_MonthTotals(1 To 12) As Currency ' Monatssummen des laufenden Jahres
Dim m_LoadTicks As Long ' milliseconds the last journal load took

' Program entry point: finds the program folder, loads the journal and
' shows the main window.
Public Sub Main()
    Dim StartTicks As Long

    StartTicks = GetTickCount()
    g_AppFolder = App.Path
    If Right$(g_AppFolder, 1) <> "\" Then g_AppFolder = g_AppFolder & "\"

    Set g_Journal = New CJournal
    g_Journal.Load g_AppFolder & ReadSetting("Journal", "File", "journal.txt")
    m_LoadTicks = GetTickCount() - StartTicks

    frmMain.Show
End Sub

' Reads one value from Ledger.ini and caches it.
' @Section Section of the settings file
' @Key Key within the section
' @Default Value returned when the key is missing
' @ReadSetting The value, or Default
Public Function ReadSetting(ByVal Section As String, ByVal Key As String, _
                            Optional ByVal Default As String = "") As String
    Dim Buffer As String
    Dim Length As Long

    On Error Resume Next
    ReadSetting = m_Settings(Section & "\" & Key)
    If Err.Number = 0 Then Exit Function
    On Error GoTo 0

    Buffer = String$(MAX_PATH, vbNullChar)
    Length = GetPrivateProfileString(Section, Key, Default, Buffer, MAX_PATH, _
                                     g_AppFolder & SETTINGS_FILE)
    ReadSetting = Left$(Buffer, Length)
    m_Settings.Add ReadSetting, Section & "\" & Key
End Function

' Writes one value into Ledger.ini and forgets the cached copy.
' @Section Section of the settings file
' @Key Key within the section
' @Value The new value
Public Sub WriteSetting(ByVal Section As String, ByVal Key As String, ByVal Value As String)
    On Error Resume Next
    m_Settings.Remove Section & "\" & Key
    On Error GoTo 0
    WritePrivateProfileString Section, Key, Value, g_AppFolder & SETTINGS_FILE
End Sub

' Hands out journal numbers, one higher on every call.
' @NextEntryId The new number
Public Static Function NextEntryId() As Long
    Dim LastId As Long

    LastId = LastId + 1
    NextEntryId = LastId
End Function

' Adds up a list of amounts.
' @Values The amounts in cents
' @SumOf The total in cents
Public Function SumOf(Values() As Currency) As Currency
    Dim i As Long

    For i = LBound(Values) To UBound(Values)
        SumOf = SumOf + Values(i)
    Next i
End Function

' Books an entry into the month totals of the running year.
' @Entry The entry to count; entries of other years are ignored
Public Sub CountInMonth(ByVal Entry As CEntry)
    If Year(Entry.BookingDate) <> Year(Date) Then Exit Sub
    If Entry.Kind = ekExpense Then
        m_MonthTotals(Month(Entry.BookingDate)) = m_MonthTotals(Month(Entry.BookingDate)) - Entry.Amount
    Else
        m_MonthTotals(Month(Entry.BookingDate)) = m_MonthTotals(Month(Entry.BookingDate)) + Entry.Amount
    End If
End Sub

' Total of one month of the running year, in cents.
' @MonthNo Month from 1 to 12
' @MonthTotal The total, or 0 for a month outside 1 to 12
Public Function MonthTotal(ByVal MonthNo As Integer) As Currency
    If MonthNo < 1 Or MonthNo > 12 Then Exit Function
    MonthTotal = m_MonthTotals(MonthNo)
End Function

' Names of the twelve months for the report columns.
' @MonthNames Array of twelve names, index 1 to 12
Public Function MonthNames() As String()
    Dim Names(1 To 12) As String
    Dim i As Integer

    For i = 1 To 12
        Names(i) = Format$(DateSerial(2000, i, 1), "mmmm")
    Next i
    MonthNames = Names
End Function

' Name of the Windows user, written into the journal header.
' @CurrentUser The user name, or an empty text when Windows does not tell
Public Function CurrentUser() As String
    Dim Buffer As String
    Dim Size As Long

    Size = 64
    Buffer = String$(Size, vbNullChar)
    If GetUserName(Buffer, Size) <> 0 Then CurrentUser = Left$(Buffer, Size - 1)
End Function

' Today's date from the system clock, without the time part.
' @Today The date
Public Function Today() As Date
    Dim st As SYSTEMTIME

    GetLocalTime st
    Today = DateSerial(st.wYear, st.wMonth, st.wDay)
End Function

' Milliseconds that the last journal load took.
' @LoadTime The time in milliseconds
Public Property Get LoadTime() As Long
    LoadTime = m_LoadTicks
End Property
