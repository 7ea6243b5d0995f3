' A point-of-sale host in VBScript: creates OrvoInvoice.InvPrinter by its ProgID, fills the
' sale of examples/restaurant_dinner.json with values of every automation type, prints it with
' items from a recordset written here (ADO's stand-in: State, EOF, Fields(name).Value, MoveNext)
' and checks the errors a host sees.
' Arguments: SALE_PORT TEST_PORT. Saved as UTF-8; cscript reads it in the system's code page, so
' the test converts it to code page 950 and runs it in a Taiwanese locale. The last line says how many checks failed.
Option Explicit

Dim failures : failures = 0
Sub Check(ok, what)
  If Not ok Then
    failures = failures + 1
    WScript.Echo "FAIL " & what
  End If
End Sub

Class FieldValue
  Public Value
End Class

Class FieldList
  Private row_
  Public Sub Bind(row)
    Set row_ = row
  End Sub
  Public Default Function Item(name)
    If Not row_.Exists(name) Then Err.Raise 3265, "Recordset", "Item not found: " & name
    Dim f : Set f = New FieldValue
    f.Value = row_.Item(name)
    Set Item = f
  End Function
End Class

Class RowList
  Private d_
  Private Sub Class_Initialize
    Set d_ = CreateObject("Scripting.Dictionary")
  End Sub
  Public Sub Add(row)
    d_.Add d_.Count, row
  End Sub
  Public Property Get Count
    Count = d_.Count
  End Property
  Public Property Get Item(i)
    Set Item = d_.Item(i)
  End Property
End Class

Class Recordset
  Private rows_
  Private pos_
  Public State
  Public Sub Open(rows)
    Set rows_ = rows
    pos_ = 0
    State = 1
  End Sub
  Public Property Get EOF
    EOF = pos_ >= rows_.Count
  End Property
  Public Property Get Fields
    Dim f : Set f = New FieldList
    f.Bind rows_.Item(pos_)
    Set Fields = f
  End Property
  Public Sub MoveNext
    pos_ = pos_ + 1
  End Sub
End Class

' Stored with Set: the object is read for its default value when printing.
Class Cashier
  Public Default Property Get Code
    Code = "A003"
  End Property
End Class

Function Row(pairs)
  Dim d, i : Set d = CreateObject("Scripting.Dictionary")
  d.CompareMode = 1  ' field names ignore case
  For i = 0 To UBound(pairs) Step 2
    d.Add pairs(i), pairs(i + 1)
  Next
  Set Row = d
End Function

Dim inv : Set inv = CreateObject("OrvoInvoice.InvPrinter")
Check IsEmpty(inv.InvPrintType), "InvPrintType starts Empty"
inv.InvPrintType = "RP420"
inv.InvPrintPort = WScript.Arguments(0)
inv.InvNo = "AB12345678"
inv.InvType = 2
inv.Head0 = "老張牛肉麵館"
inv.Head1 = "台北市大安區永康街10號"
inv.Head2 = "電話: (02)2391-0000"
inv.Head3 = "統一編號: 24536806"
inv.TblName = "A05-張先生"
inv.BottomLine1 = "謝謝光臨,歡迎再度蒞臨"
inv.BottomLine2 = "服務費10%已含於總額"
inv.POSID = "02"
inv.StoreID = "YK001"
Dim cashier : Set cashier = New Cashier
Set inv.UserID = cashier
Check inv.UserID Is cashier, "Set keeps the object"
inv.CheckNo = "0305-0127"
inv.OrderAmt = CLng(2160)
inv.SCharge = CCur(216)
inv.Discount = CByte(0)
inv.TaxAdd = CInt(0)
inv.InvAmt = CDbl(2376)
inv.Cash = CSng(2500)
inv.Change = "124"
inv.Remark = ""
Check TypeName(inv.SCharge) = "Currency" And TypeName(inv.OrderAmt) = "Long", "values keep their type"

Dim rows : Set rows = New RowList
Sub AddRows()
  rows.Add Row(Array("itemname", "招牌紅燒牛肉麵加大", "PriceCap", "", "Qty", CInt(2), _
    "Price", CLng(280), "Amt", CCur(560), "ItemType", "A1", "RefKPType", "麵食", "Remark", ""))
  rows.Add Row(Array("itemname", "小籠包", "PriceCap", "大", "Qty", CLng(1), _
    "Price", CDbl(220), "Amt", CLng(220), "ItemType", "A1", "RefKPType", "點心", "Remark", ""))
  rows.Add Row(Array("itemname", "清蒸石斑魚", "PriceCap", "時價", "Qty", CByte(1), _
    "Price", CInt(880), "Amt", CDbl(880), "ItemType", "A1", "RefKPType", "海鮮", "Remark", ""))
  rows.Add Row(Array("itemname", "套餐例湯", "PriceCap", "", "Qty", CDbl(2), _
    "Price", "0", "Amt", CInt(0), "ItemType", "S2", "RefKPType", "湯品", "Remark", ""))
  rows.Add Row(Array("itemname", "蒜炒高麗菜", "PriceCap", "", "Qty", "1", _
    "Price", CCur(120), "Amt", "120", "ItemType", "A1", "RefKPType", "熱炒", "Remark", ""))
  rows.Add Row(Array("itemname", "台灣啤酒", "PriceCap", "", "Qty", CSng(4), _
    "Price", CLng(80), "Amt", CCur(320), "ItemType", "A1", "RefKPType", "飲料", "Remark", ""))
  rows.Add Row(Array("itemname", "代收停車費", "PriceCap", "", "Qty", CCur(1), _
    "Price", CCur(60), "Amt", CLng(60), "ItemType", "NT1", "RefKPType", "代收", "Remark", ""))
End Sub
AddRows
Dim rs : Set rs = New Recordset
rs.Open rows

Check inv.PrintInv("Y", rs) = True, "PrintInv returns True"
Check inv.PageCount = 1, "PageCount after the print"
Check IsEmpty(inv.BottomLine1) Or inv.BottomLine1 = "", "BottomLine1 cleared once printed"
Check rs.EOF, "the items were read to the end"

inv.InvPrintPort = WScript.Arguments(1)
inv.TestPrint

On Error Resume Next
Err.Clear
inv.InvPrintType = "rp420"
Check Err.Number = -2147221504, "refused type: number " & Err.Number
Check Err.Source = "InvPrintPort:", "refused type: source " & Err.Source
Check Err.Description = "不支援此發票機種類:rp420", "refused type: description"
Err.Clear
inv.InvPrintPort = "Z:\no\such\folder\invoice.prn"
Dim printed : printed = inv.PrintInv("Y", rs)
Check Err.Number = -2147221504 And Err.Source = "PrintInv", "unopenable port: " & Err.Number & " " & Err.Source
Check InStr(Err.Description, "invoice.prn") > 0, "unopenable port names the port: " & Err.Description
On Error Goto 0
Check inv.InvPrintType = "RP420", "a refused type keeps the one before"

WScript.Echo "sale script: " & failures & " failures"
