Attribute VB_Name = "m"
Public Function F(ByVal a As Long, _
  Optional b As String = ", ") As Long
End Function
