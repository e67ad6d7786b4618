#include "convert/excel97_losses_script.h"

namespace convert {

const char* const kExcel97LossesScript = R"basic(Option Explicit

' What an Excel 97 workbook cannot hold of a loaded spreadsheet document.
' Quillmere installs this module in the office it runs and calls Losses for
' each document before the document is saved.

' Made at the first call, kept for the others.
Private oSearch As Object

' Which of the office's function codes the workbook can compute, and each
' function's name: made at the first call and kept in one global for the
' others, since the variables of a module begin anew with each call from
' outside (the global is named for this module: every library shares them).
Global QuillmereCodes As Variant
Private oReflection As Object
Private bComputed() As Boolean
Private aFunctionNames() As String
Private sComputedAddIns As String
Private aAddIns()
Private nAddInCode As Long
Private nOpenCode As Long, nCloseCode As Long, nSeparatorCode As Long

Function Losses(oDocument, nRows, nColumns, nText, nName, nSearchedWhole, nShown, aComputed, aComputedAddIns, nArguments)
    Dim aLosses(), oSheets As Object, aNames(), bLinks As Boolean, i As Long
    Dim oSheet As Object, oCursor As Object, oEnd As Object, oCells As Object
    Dim oFormats As Object, oNull As Object, nFirstDate As Double
    On Error GoTo Failed
    aLosses = Array()
    If IsEmpty(QuillmereCodes) Then KnowCodes(oDocument, aComputed, aComputedAddIns)
    bComputed = QuillmereCodes(0)
    aFunctionNames = QuillmereCodes(1)
    sComputedAddIns = QuillmereCodes(2)
    aAddIns = QuillmereCodes(3)
    nAddInCode = QuillmereCodes(4)
    nOpenCode = QuillmereCodes(5)
    nCloseCode = QuillmereCodes(6)
    nSeparatorCode = QuillmereCodes(7)
    oSheets = oDocument.getSheets()
    aNames = oSheets.getElementNames()
    bLinks = oDocument.getPropertyValue("SheetLinks").hasElements()
    oFormats = oDocument.getNumberFormats()
    ' 1 March 1900 as the document counts its days: Excel's calendar holds a
    ' 29 February 1900 and nothing before 1900, so earlier dates show wrong.
    oNull = oDocument.NullDate
    nFirstDate = DateSerial(1900, 3, 1) - DateSerial(oNull.Year, oNull.Month, oNull.Day)
    For i = 0 To UBound(aNames)
        If Len(aNames(i)) > nName Then Add(aLosses, Array("name", aNames(i), Len(aNames(i)), ""))
        oSheet = oSheets.getByIndex(i)
        If CopiesValues(oSheet, bLinks) Then
            ' Written as a reference to that file, not as a sheet.
            Add(aLosses, Array("linked", aNames(i), 0, oSheet.getLinkUrl()))
        Else
            oCursor = oSheet.createCursor()
            oCursor.gotoEndOfUsedArea(False)
            oEnd = oCursor.getRangeAddress()
            If oEnd.EndRow + 1 > nRows Then Add(aLosses, Array("rows", aNames(i), oEnd.EndRow + 1, ""))
            If oEnd.EndColumn + 1 > nColumns Then Add(aLosses, Array("columns", aNames(i), oEnd.EndColumn + 1, ""))
            ' A big sheet is searched in its texts only, so that the office
            ' does not spell out every number to compare it.
            If CDbl(oEnd.EndRow + 1) * (oEnd.EndColumn + 1) <= nSearchedWhole Then
                oCells = oSheet
            Else
                oCells = oSheet.queryContentCells(com.sun.star.sheet.CellFlags.STRING Or com.sun.star.sheet.CellFlags.FORMULA)
            End If
            AddLongTexts(aLosses, aNames(i), oCells, nText)
            AddFormulaLosses(aLosses, aNames(i), oSheet, nShown, nRows, nColumns, nArguments)
            AddEarlyDates(aLosses, aNames(i), oSheet, oFormats, nFirstDate, nShown)
            AddConditions(aLosses, aNames(i), oSheet, nShown)
        End If
        ' Sheet protection keeps its password only as Excel's own hash, which a spreadsheet does not hold.
        If HasPassword(oSheet) Then Add(aLosses, Array("protection", aNames(i), 1, ""))
    Next i
    AddFarNames(aLosses, oDocument, nRows, nColumns)
    ' A protected structure makes the export encrypt the workbook, as Excel does, with Excel's built-in password.
    If oDocument.isProtected() Then
        If HasPassword(oDocument) Then
            Add(aLosses, Array("protection", "", 2, ""))
        Else
            Add(aLosses, Array("protection", "", 0, ""))
        End If
    End If
    Losses = aLosses
    Exit Function
Failed:
    Losses = Array(Array("failure", Error$))
End Function

' Whether the sheet copies the values of another file (asked only of a document with such links).
Private Function CopiesValues(oSheet As Object, bLinks As Boolean) As Boolean
    CopiesValues = False
    If bLinks Then CopiesValues = (oSheet.getLinkMode() = com.sun.star.sheet.SheetLinkMode.VALUE)
End Function

' The cells of oCells whose value, a formula's result included, is longer than nText.
Private Sub AddLongTexts(aLosses(), sSheet, oCells As Object, nText)
    Dim oFound As Object, aFound(), aRanges(), j As Long
    If IsNull(oSearch) Then
        oSearch = oCells.createSearchDescriptor()
        ' Anchored, so that each cell is tried once; dot-all, so that line breaks count.
        oSearch.setSearchString("^(?s).{" & (nText + 1) & "}")
        oSearch.SearchRegularExpression = True
        oSearch.SearchType = 1
    End If
    oFound = oCells.findAll(oSearch)
    If IsNull(oFound) Then Exit Sub
    aFound = oFound.getRangeAddresses()
    If UBound(aFound) < 0 Then Exit Sub
    aRanges = Array()
    For j = 0 To UBound(aFound)
        Add(aRanges, Array(aFound(j).StartColumn, aFound(j).StartRow, aFound(j).EndColumn, aFound(j).EndRow))
    Next j
    Add(aLosses, Array("text", sSheet, 0, aRanges))
End Sub

'  The function codes of the office, and which of them the workbook computes:
' aComputed names them in English, aComputedAddIns names the add-in functions
' by their programmatic names.
Private Sub KnowCodes(oDocument, aComputed, aComputedAddIns)
    Dim oMapper As Object, aAll(), aKnown(), nLast As Long, j As Long
    oMapper = oDocument.createInstance("com.sun.star.sheet.FormulaOpCodeMapper")
    aAll = oMapper.getAvailableMappings(com.sun.star.sheet.FormulaLanguage.ENGLISH, com.sun.star.sheet.FormulaMapGroup.FUNCTIONS)
    nLast = 0
    For j = 0 To UBound(aAll)
        If aAll(j).Token.OpCode > nLast Then nLast = aAll(j).Token.OpCode
    Next j
    ReDim bComputed(nLast) As Boolean
    ReDim aFunctionNames(nLast) As String
    ' The add-in functions share one code; each is told by its programmatic name.
    aAddIns = Array()
    nAddInCode = -1
    For j = 0 To UBound(aAll)
        If VarType(aAll(j).Token.Data) = 8 Then
            nAddInCode = aAll(j).Token.OpCode
            Add(aAddIns, Array(LCase(aAll(j).Token.Data), aAll(j).Name))
        ElseIf aFunctionNames(aAll(j).Token.OpCode) = "" Then
            aFunctionNames(aAll(j).Token.OpCode) = aAll(j).Name
        End If
    Next j
    aKnown = oMapper.getMappings(aComputed, com.sun.star.sheet.FormulaLanguage.ENGLISH)
    For j = 0 To UBound(aKnown)
        If aKnown(j).OpCode >= 0 And aKnown(j).OpCode <= nLast And VarType(aKnown(j).Data) <> 8 Then bComputed(aKnown(j).OpCode) = True
    Next j
    sComputedAddIns = "|" & LCase(Join(aComputedAddIns, "|")) & "|"
    aAll = oMapper.getAvailableMappings(com.sun.star.sheet.FormulaLanguage.ENGLISH, com.sun.star.sheet.FormulaMapGroup.SEPARATORS)
    For j = 0 To UBound(aAll)
        Select Case aAll(j).Name
            Case "(" : nOpenCode = aAll(j).Token.OpCode
            Case ")" : nCloseCode = aAll(j).Token.OpCode
            Case Else : nSeparatorCode = aAll(j).Token.OpCode
        End Select
    Next j
    QuillmereCodes = Array(bComputed, aFunctionNames, sComputedAddIns, aAddIns, nAddInCode, nOpenCode, nCloseCode, nSeparatorCode)
End Sub

' The formula cells that use a function the workbook cannot compute, with
' the names of those functions; and those that refer to cells past its last
' column or row, which the export cuts short or turns into #REF!.
Private Sub AddFormulaLosses(aLosses(), sSheet, oSheet As Object, nShown, nRows, nColumns, nArguments)
    Dim aRanges(), aCells(), aUsed(), sUsed As String, nCells As Long, aFar(), nFar As Long, aLong(), nLong As Long
    Dim j As Long, nRow As Long, nColumn As Long, aTokens(), k As Long, sName As String, bCell As Boolean, bFar As Boolean
    aRanges = oSheet.queryContentCells(com.sun.star.sheet.CellFlags.FORMULA).getRangeAddresses()
    aCells = Array()
    aUsed = Array()
    aFar = Array()
    aLong = Array()
    sUsed = "|"
    nCells = 0
    nFar = 0
    nLong = 0
    For j = 0 To UBound(aRanges)
        For nRow = aRanges(j).StartRow To aRanges(j).EndRow
            For nColumn = aRanges(j).StartColumn To aRanges(j).EndColumn
                aTokens = oSheet.getCellByPosition(nColumn, nRow).getTokens()
                bCell = False
                bFar = False
                For k = 0 To UBound(aTokens)
                    sName = Uncomputable(aTokens(k))
                    If sName <> "" Then
                        bCell = True
                        If InStr(sUsed, "|" & sName & "|") = 0 Then
                            sUsed = sUsed & sName & "|"
                            Add(aUsed, sName)
                        End If
                    End If
                    If Not bFar Then bFar = ReachesPast(aTokens(k), nColumn, nRow, nRows, nColumns)
                Next k
                If bCell Then
                    nCells = nCells + 1
                    If nCells <= nShown Then Add(aCells, Array(nColumn, nRow, nColumn, nRow))
                End If
                If bFar Then
                    nFar = nFar + 1
                    If nFar <= nShown Then Add(aFar, Array(nColumn, nRow, nColumn, nRow))
                End If
                If TooManyArguments(aTokens, nArguments) Then
                    nLong = nLong + 1
                    If nLong <= nShown Then Add(aLong, Array(nColumn, nRow, nColumn, nRow))
                End If
            Next nColumn
        Next nRow
    Next j
    If nCells > 0 Then Add(aLosses, Array("function", sSheet, nCells, aCells, aUsed))
    If nFar > 0 Then Add(aLosses, Array("reference", sSheet, nFar, aFar))
    If nLong > 0 Then Add(aLosses, Array("arguments", sSheet, nLong, aLong))
End Sub

' Whether a formula calls a function with more than nMost arguments: the
' export writes such a formula as #N/A.
Private Function TooManyArguments(aTokens(), nMost) As Boolean
    Dim aCounts() As Long, aCalls() As Boolean, nDepth As Long, k As Long, nCode As Long, bCall As Boolean
    TooManyArguments = False
    ReDim aCounts(UBound(aTokens) + 1) As Long
    ReDim aCalls(UBound(aTokens) + 1) As Boolean
    nDepth = 0
    bCall = False
    For k = 0 To UBound(aTokens)
        nCode = aTokens(k).OpCode
        If nCode = nOpenCode Then
            nDepth = nDepth + 1
            aCounts(nDepth) = 1
            aCalls(nDepth) = bCall
        ElseIf nCode = nSeparatorCode And nDepth > 0 Then
            aCounts(nDepth) = aCounts(nDepth) + 1
        ElseIf nCode = nCloseCode And nDepth > 0 Then
            If aCalls(nDepth) And aCounts(nDepth) > nMost Then
                TooManyArguments = True
                Exit Function
            End If
            nDepth = nDepth - 1
        End If
        bCall = (nCode = nAddInCode)
        If nCode >= 0 And nCode <= UBound(aFunctionNames) Then bCall = bCall Or aFunctionNames(nCode) <> ""
    Next k
End Function

' The named ranges whose cells reach past the workbook's last column or row.
Private Sub AddFarNames(aLosses(), oDocument, nRows, nColumns)
    Dim aNames(), oName As Object, aFar(), aTokens(), k As Long, oBase As Object, bFar As Boolean, j As Long
    aNames = oDocument.NamedRanges.getElementNames()
    aFar = Array()
    For j = 0 To UBound(aNames)
        oName = oDocument.NamedRanges.getByName(aNames(j))
        oBase = oName.ReferencePosition
        aTokens = oName.getTokens()
        bFar = False
        For k = 0 To UBound(aTokens)
            If Not bFar Then bFar = ReachesPast(aTokens(k), oBase.Column, oBase.Row, nRows, nColumns)
        Next k
        If bFar Then Add(aFar, aNames(j))
    Next j
    If UBound(aFar) >= 0 Then Add(aLosses, Array("reference", "", UBound(aFar) + 1, Array(), aFar))
End Sub

' Whether a formula token, in a formula at nColumn, nRow, refers to a cell past
' the workbook's last column or row. A whole column or row is kept whole.
Private Function ReachesPast(oToken, nColumn, nRow, nRows, nColumns) As Boolean
    Dim oData, oFirst, oLast, sType As String
    ReachesPast = False
    oData = oToken.Data
    If Not IsUnoStruct(oData) Then Exit Function
    If IsNull(oReflection) Then oReflection = CreateUnoService("com.sun.star.reflection.CoreReflection")
    sType = oReflection.getType(oData).Name
    If sType = "com.sun.star.sheet.SingleReference" Then
        ReachesPast = ColumnOf(oData, nColumn) >= nColumns Or RowOf(oData, nRow) >= nRows
        Exit Function
    End If
    ' Anything else but a range (a reference into another file, say) is not ours to judge.
    If sType <> "com.sun.star.sheet.ComplexReference" Then Exit Function
    oFirst = oData.Reference1
    oLast = oData.Reference2
    If RowOf(oFirst, nRow) = 0 And RowOf(oLast, nRow) >= 1048575 Then
        ReachesPast = ColumnOf(oLast, nColumn) >= nColumns
    ElseIf ColumnOf(oFirst, nColumn) = 0 And ColumnOf(oLast, nColumn) >= 1023 Then
        ReachesPast = RowOf(oLast, nRow) >= nRows
    Else
        ReachesPast = ColumnOf(oLast, nColumn) >= nColumns Or RowOf(oLast, nRow) >= nRows Or ColumnOf(oFirst, nColumn) >= nColumns Or RowOf(oFirst, nRow) >= nRows
    End If
End Function

' A reference's column and row, counted from 0, relative ones taken from the formula's cell.
Private Function ColumnOf(oReference, nColumn) As Long
    If (oReference.Flags And 1) <> 0 Then  ' com.sun.star.sheet.ReferenceFlags.COLUMN_RELATIVE
        ColumnOf = nColumn + oReference.RelativeColumn
    Else
        ColumnOf = oReference.Column
    End If
End Function

Private Function RowOf(oReference, nRow) As Long
    If (oReference.Flags And 4) <> 0 Then  ' com.sun.star.sheet.ReferenceFlags.ROW_RELATIVE
        RowOf = nRow + oReference.RelativeRow
    Else
        RowOf = oReference.Row
    End If
End Function

' The name of the function that a formula token calls, when the workbook cannot compute it; else "".
Private Function Uncomputable(oToken) As String
    Dim nCode As Long
    Uncomputable = ""
    nCode = oToken.OpCode
    If nCode < 0 Or nCode > UBound(aFunctionNames) Then Exit Function
    If nCode = nAddInCode Then
        ' An add-in function, known by its programmatic name.
        If VarType(oToken.Data) = 8 And InStr(sComputedAddIns, "|" & LCase(oToken.Data) & "|") = 0 Then Uncomputable = AddInName(oToken.Data)
    ElseIf aFunctionNames(nCode) <> "" And Not bComputed(nCode) Then
        Uncomputable = aFunctionNames(nCode)
    End If
End Function

' Whether a protected sheet or document needs a password to lift its protection.
' Without one the protection is lifted and put back as it was.
Private Function HasPassword(oProtected) As Boolean
    HasPassword = False
    If Not oProtected.isProtected() Then Exit Function
    On Error GoTo Locked
    oProtected.unprotect("")
    oProtected.protect("")
    Exit Function
Locked:
    HasPassword = True
End Function

' The English name of an add-in function, from its programmatic name.
Private Function AddInName(sProgrammatic) As String
    Dim j As Long
    AddInName = sProgrammatic
    For j = 0 To UBound(aAddIns)
        If aAddIns(j)(0) = LCase(sProgrammatic) Then AddInName = aAddIns(j)(1)
    Next j
End Function

' The cells formatted as dates that hold a day before nFirstDate.
Private Sub AddEarlyDates(aLosses(), sSheet, oSheet As Object, oFormats As Object, nFirstDate, nShown)
    Dim aRanges(), aCells(), nCells As Long, j As Long, aRows(), nRow As Long, nColumn As Long, oCell As Object
    aRanges = oSheet.queryContentCells(com.sun.star.sheet.CellFlags.DATETIME).getRangeAddresses()
    aCells = Array()
    nCells = 0
    For j = 0 To UBound(aRanges)
        aRows = oSheet.getCellRangeByPosition(aRanges(j).StartColumn, aRanges(j).StartRow, aRanges(j).EndColumn, aRanges(j).EndRow).getDataArray()
        For nRow = 0 To UBound(aRows)
            For nColumn = 0 To UBound(aRows(nRow))
                If aRows(nRow)(nColumn) < nFirstDate Then
                    oCell = oSheet.getCellByPosition(aRanges(j).StartColumn + nColumn, aRanges(j).StartRow + nRow)
                    If (oFormats.getByKey(oCell.NumberFormat).Type And com.sun.star.util.NumberFormat.DATE) <> 0 Then
                        nCells = nCells + 1
                        If nCells <= nShown Then Add(aCells, Array(aRanges(j).StartColumn + nColumn, aRanges(j).StartRow + nRow, aRanges(j).StartColumn + nColumn, aRanges(j).StartRow + nRow))
                    End If
                End If
            Next nColumn
        Next nRow
    Next j
    If nCells > 0 Then Add(aLosses, Array("date", sSheet, nCells, aCells))
End Sub

' The conditional formats that the workbook leaves out: it keeps up to three
' conditions on a range, and conditions only (no colour scales, data bars,
' icon sets or date conditions).
Private Sub AddConditions(aLosses(), sSheet, oSheet As Object, nShown)
    Dim aFormats(), aCells(), aWhat(), sWhat As String, nLeft As Long, j As Long, k As Long, aRanges(), sKind As String
    aFormats = oSheet.ConditionalFormats.getConditionalFormats()
    aCells = Array()
    aWhat = Array()
    sWhat = "|"
    nLeft = 0
    For j = 0 To UBound(aFormats)
        sKind = ""
        If aFormats(j).getCount() > 3 Then sKind = "more than three conditions on one range"
        For k = 0 To aFormats(j).getCount() - 1
            Select Case aFormats(j).getByIndex(k).getType()
                Case com.sun.star.sheet.ConditionEntryType.COLORSCALE : sKind = "a colour scale"
                Case com.sun.star.sheet.ConditionEntryType.DATABAR : sKind = "a data bar"
                Case com.sun.star.sheet.ConditionEntryType.ICONSET : sKind = "an icon set"
                Case com.sun.star.sheet.ConditionEntryType.DATE : sKind = "a date condition"
            End Select
        Next k
        If sKind <> "" Then
            nLeft = nLeft + 1
            If InStr(sWhat, "|" & sKind & "|") = 0 Then
                sWhat = sWhat & sKind & "|"
                Add(aWhat, sKind)
            End If
            aRanges = aFormats(j).Range.getRangeAddresses()
            If nLeft <= nShown And UBound(aRanges) >= 0 Then Add(aCells, Array(aRanges(0).StartColumn, aRanges(0).StartRow, aRanges(0).EndColumn, aRanges(0).EndRow))
        End If
    Next j
    If nLeft > 0 Then Add(aLosses, Array("formatting", sSheet, nLeft, aCells, aWhat))
End Sub

Private Sub Add(aList(), vItem)
    ReDim Preserve aList(UBound(aList) + 1)
    aList(UBound(aList)) = vItem
End Sub
)basic";

}  // namespace convert
