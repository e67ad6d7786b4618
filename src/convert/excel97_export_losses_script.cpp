#include "convert/excel97_export_losses_script.h"

namespace convert {

const char* const kExcel97ExportLossesScript = R"basic(Option Explicit

' What the "MS Excel 97" export leaves out or changes of a loaded document
' that a workbook could hold: the looks that Losses, in the module of the
' workbook's limits, calls for each document before it is saved. Each adds
' its entries to aLosses as Array(kind, sheet, extent, cells[, names]).

Private Const FORMULA_TEXT = 0
Private Const RICH_TEXT_CELLS = 512  ' com.sun.star.sheet.CellFlags.FORMATTED: texts with fields, links among them
Private Const MOST_CHARACTERS = 255  ' of a name, a text inside a formula, a header or footer
Private Const OR_CONNECTION = 1      ' com.sun.star.sheet.FilterConnection.OR
' A text inside a formula that may be longer than that.
Private Const LONG_CONSTANT = """[^""]{256}"
' A reference into another file, as a formula's text gives it: 'file:///...'#$Sheet1.A1
Private Const EXTERNAL_REFERENCE = "'#\$"

' Only while one document is looked at.
Private sExternal As String, sMacroCalls As String

' The regular expression for the formulas that the looks of AddFormulaExport
' want to see; bShared tells whether it is the same for every document.
Function ExportSuspects(oDocument, bShared As Boolean) As String
    Dim aNames()
    sExternal = ""
    If oDocument.ExternalDocLinks.getCount() > 0 Then sExternal = EXTERNAL_REFERENCE
    aNames = MacroFunctions(oDocument)
    sMacroCalls = ""
    If UBound(aNames) >= 0 Then sMacroCalls = "(?i)(?<![\w.])(?:" & Join(aNames, "|") & ")\s*\("
    bShared = sMacroCalls = ""
    ExportSuspects = LONG_CONSTANT
    If sExternal <> "" Then ExportSuspects = ExportSuspects & "|" & sExternal
    If sMacroCalls <> "" Then ExportSuspects = ExportSuspects & "|" & sMacroCalls
End Function

' The formulas among oSuspects (found by ExportSuspects) that hold a text of
' more than 255 characters, which the export cuts short; that refer to
' another file, which the workbook's link cannot reach; or that call the
' document's Basic functions, which the workbook does not carry.
Sub AddFormulaExport(aLosses(), sSheet, oSheet As Object, oSuspects As Object, nShown)
    Dim oFound As Object, aCells(), nCells As Long, aRanges(), j As Long, nRow As Long, nColumn As Long
    oFound = oSuspects.findAll(Searcher(oSuspects, LONG_CONSTANT, FORMULA_TEXT))
    If Not IsNull(oFound) Then
        aCells = Array()
        nCells = 0
        aRanges = oFound.getRangeAddresses()
        For j = 0 To UBound(aRanges)
            For nRow = aRanges(j).StartRow To aRanges(j).EndRow
                For nColumn = aRanges(j).StartColumn To aRanges(j).EndColumn
                    If LongestText(oSheet.getCellByPosition(nColumn, nRow).getFormula()) > MOST_CHARACTERS Then
                        nCells = nCells + 1
                        If nCells <= nShown Then Add(aCells, CellEntry(nColumn, nRow))
                    End If
                Next nColumn
            Next nRow
        Next j
        If nCells > 0 Then Add(aLosses, Array("constant", sSheet, nCells, aCells))
    End If
    If sExternal <> "" Then AddFound(aLosses, "external", sSheet, oSuspects, sExternal, True, nShown)
    If sMacroCalls <> "" Then AddFound(aLosses, "macro", sSheet, oSuspects, sMacroCalls, False, nShown)
End Sub

' Adds an entry of sKind for the cells of oCells whose formula matches sPattern.
Private Sub AddFound(aLosses(), sKind, sSheet, oCells As Object, sPattern, bKeep, nShown)
    Dim oFound As Object
    oFound = oCells.findAll(Searcher(oCells, sPattern, FORMULA_TEXT, bKeep))
    If Not IsNull(oFound) Then Add(aLosses, Array(sKind, sSheet, oFound.getCount(), FirstRanges(oFound, nShown)))
End Sub

' The first few ranges of oRanges, as the answer gives them.
Private Function FirstRanges(oRanges As Object, nShown)
    Dim aRanges(), aFirst(), j As Long
    aRanges = oRanges.getRangeAddresses()
    aFirst = Array()
    For j = 0 To UBound(aRanges)
        If j < nShown Then Add(aFirst, RangeEntry(aRanges(j)))
    Next j
    FirstRanges = aFirst
End Function

' The length of the longest text inside a formula: its parts between quotes,
' where two quotes stand for one.
Private Function LongestText(sFormula As String) As Long
    Dim aParts(), k As Long, nLength As Long
    aParts = Split(sFormula, """")
    LongestText = 0
    nLength = 0
    ' Even parts are outside texts; an empty one between two texts is a quote inside one.
    For k = 1 To UBound(aParts)
        If k Mod 2 = 1 Then
            nLength = nLength + Len(aParts(k))
            If nLength > LongestText Then LongestText = nLength
        ElseIf aParts(k) = "" And k < UBound(aParts) Then
            nLength = nLength + 1
        Else
            nLength = 0
        End If
    Next k
End Function

' The names of the Basic functions that the document's own libraries hold,
' escaped for a regular expression; a workbook does not carry them.
Private Function MacroFunctions(oDocument)
    Dim oLibraries As Object, aLibraries(), aModules(), aLines(), sLine As String, j As Long, k As Long, n As Long, nAt As Long
    Dim aNames(), sCode As String, oLibrary As Object
    aNames = Array()
    oLibraries = oDocument.BasicLibraries
    aLibraries = oLibraries.getElementNames()
    For j = 0 To UBound(aLibraries)
        oLibraries.loadLibrary(aLibraries(j))
        oLibrary = oLibraries.getByName(aLibraries(j))
        aModules = oLibrary.getElementNames()
        For k = 0 To UBound(aModules)
            sCode = oLibrary.getByName(aModules(k))
            aLines = Split(sCode, Chr(10))
            For n = 0 To UBound(aLines)
                sLine = UCase(Trim(Replace(aLines(n), Chr(13), "")))
                If Left(sLine, 7) = "PUBLIC " Then sLine = Trim(Mid(sLine, 8))
                If Left(sLine, 9) = "FUNCTION " Then
                    sLine = Trim(Mid(sLine, 10))
                    nAt = InStr(sLine, "(")
                    If nAt > 1 Then Add(aNames, Escaped(Trim(Left(sLine, nAt - 1))))
                End If
            Next n
        Next k
    Next j
    MacroFunctions = aNames
End Function

' The document's macros, which the workbook does not carry: one entry naming
' each library and module that holds code.
Sub AddMacros(aLosses(), oDocument)
    Dim oLibraries As Object, aLibraries(), aModules(), aHeld(), j As Long, k As Long, oLibrary As Object
    oLibraries = oDocument.BasicLibraries
    aLibraries = oLibraries.getElementNames()
    aHeld = Array()
    For j = 0 To UBound(aLibraries)
        oLibrary = oLibraries.getByName(aLibraries(j))
        aModules = oLibrary.getElementNames()
        For k = 0 To UBound(aModules)
            If Trim(oLibrary.getByName(aModules(k))) <> "" Then Add(aHeld, aLibraries(j) & "." & aModules(k))
        Next k
    Next j
    If UBound(aHeld) >= 0 Then Add(aLosses, Array("macro", "", UBound(aHeld) + 1, Array(), aHeld))
End Sub

' Gives each named database range a workbook name of its own name, where no
' named range has it, and adds to aKept the formulas that may use one, to be
' entered anew: the export writes a database range in a formula as #N/A, but
' a name as a name. (A formula loaded from a file takes a named range of the
' same name over a database range.)
Sub NameDatabaseRanges(oDocument, oSheets, aFormulas(), aKept())
    Dim oRanges As Object, aNames(), aNamed(), j As Long, i As Long, oArea, oAt As New com.sun.star.table.CellAddress
    Dim oFound As Object, aFound(), oSheet As Object, sPattern As String
    oRanges = oDocument.DatabaseRanges
    aNames = oRanges.getElementNames()
    If UBound(aNames) < 0 Then Exit Sub
    aNamed = Array()
    For j = 0 To UBound(aNames)
        If Not oDocument.NamedRanges.hasByName(aNames(j)) Then
            oArea = oRanges.getByName(aNames(j)).getDataArea()
            oAt.Sheet = oArea.Sheet
            oAt.Column = oArea.StartColumn
            oAt.Row = oArea.StartRow
            oDocument.NamedRanges.addNewByName(aNames(j), RangeAt(oSheets.getByIndex(oArea.Sheet), oArea).AbsoluteName, oAt, 0)
            Add(aNamed, Escaped(aNames(j)))
        End If
    Next j
    If UBound(aNamed) < 0 Then Exit Sub
    sPattern = "(?i)(?<![\w.$'])(?:" & Join(aNamed, "|") & ")(?![\w.(])"
    For i = 0 To oSheets.getCount() - 1
        If aFormulas(i).getCount() > 0 Then
            oFound = aFormulas(i).findAll(Searcher(aFormulas(i), sPattern, FORMULA_TEXT, False))
            If Not IsNull(oFound) Then
                oSheet = oSheets.getByIndex(i)
                aFound = oFound.getRangeAddresses()
                For j = 0 To UBound(aFound)
                    Add(aKept, RangeAt(oSheet, aFound(j)))
                Next j
            End If
        End If
    Next i
End Sub

' Whether formulas that compare or match texts were weighed: worked out under
' Excel's rules, which compare texts whatever their case and take wildcards
' but no regular expressions in criteria, then under the document's own
' again. A formula whose result changes under Excel's rules and comes back
' as saved under the document's is reported; one whose result changes
' either way (a random number, say) is not. The options that these rules set
' do not make the office work out the whole document again.
Function WeighMeaning(oDocument, oSheets, aFormulas(), aLosses(), nShown) As Boolean
    Dim bIgnoreCase As Boolean, bExpressions As Boolean, bWildcards As Boolean, i As Long, j As Long
    Dim aSuspects(), aSaved(), aExcel(), oFound As Object, aRanges(), oSheet As Object, n As Long
    WeighMeaning = False
    bIgnoreCase = oDocument.IgnoreCase
    bExpressions = oDocument.RegularExpressions
    bWildcards = oDocument.Wildcards
    If bIgnoreCase And Not bExpressions And bWildcards Then Exit Function
    ' A comparison outside texts, or a function that compares with criteria or looks a text up.
    aSuspects = Array()
    For i = 0 To oSheets.getCount() - 1
        If aFormulas(i).getCount() > 0 Then
            oFound = aFormulas(i).findAll(Searcher(aFormulas(i), "^=(?:[^""]|""[^""]*"")*?(?:[<>=]|(?<![\w.])" _
                & "(?:COUNTIFS?|SUMIFS?|AVERAGEIFS?|MATCH|[VH]?LOOKUP|SEARCH|D(?:AVERAGE|COUNTA?|GET|MAX|MIN|PRODUCT|STDEVP?|SUM|VARP?))\s*\()", FORMULA_TEXT))
            If Not IsNull(oFound) Then
                oSheet = oSheets.getByIndex(i)
                aRanges = oFound.getRangeAddresses()
                For j = 0 To UBound(aRanges)
                    Add(aSuspects, Array(i, aRanges(j), RangeAt(oSheet, aRanges(j))))
                Next j
            End If
        End If
    Next i
    n = UBound(aSuspects)
    If n < 0 Then Exit Function
    WeighMeaning = True
    ReDim aSaved(n)
    ReDim aExcel(n)
    For j = 0 To n
        aSaved(j) = aSuspects(j)(2).getDataArray()
    Next j
    oDocument.IgnoreCase = True
    oDocument.RegularExpressions = False
    oDocument.Wildcards = True
    For j = 0 To n
        EnterAnew(aSuspects(j)(2))
    Next j
    For j = 0 To n
        aExcel(j) = aSuspects(j)(2).getDataArray()
    Next j
    oDocument.IgnoreCase = bIgnoreCase
    oDocument.RegularExpressions = bExpressions
    oDocument.Wildcards = bWildcards
    For j = 0 To n
        EnterAnew(aSuspects(j)(2))
    Next j
    AddChanged(aLosses, oSheets, aSuspects, aSaved, aExcel, nShown)
End Function

' One "meaning" entry per sheet, for the suspects' cells whose result under
' Excel's rules differs from the saved one while the document's rules give
' the saved one again.
Private Sub AddChanged(aLosses(), oSheets, aSuspects(), aSaved(), aExcel(), nShown)
    Dim aCells(), nCells As Long, j As Long, nRow As Long, nColumn As Long, aAgain(), nSheet As Long, oAddress
    nSheet = -1
    For j = 0 To UBound(aSuspects)
        If aSuspects(j)(0) <> nSheet Then
            If nSheet >= 0 And nCells > 0 Then Add(aLosses, Array("meaning", oSheets.getByIndex(nSheet).getName(), nCells, aCells))
            nSheet = aSuspects(j)(0)
            aCells = Array()
            nCells = 0
        End If
        oAddress = aSuspects(j)(1)
        aAgain = aSuspects(j)(2).getDataArray()
        For nRow = 0 To UBound(aAgain)
            For nColumn = 0 To UBound(aAgain(nRow))
                If Not Same(aExcel(j)(nRow)(nColumn), aSaved(j)(nRow)(nColumn)) And Same(aAgain(nRow)(nColumn), aSaved(j)(nRow)(nColumn)) Then
                    nCells = nCells + 1
                    If nCells <= nShown Then Add(aCells, CellEntry(oAddress.StartColumn + nColumn, oAddress.StartRow + nRow))
                End If
            Next nColumn
        Next nRow
    Next j
    If nCells > 0 Then Add(aLosses, Array("meaning", oSheets.getByIndex(nSheet).getName(), nCells, aCells))
End Sub

' Whether two results are the same: of one type (an error reads as empty) and value.
Private Function Same(vOne, vOther) As Boolean
    Same = False
    If VarType(vOne) <> VarType(vOther) Then Exit Function
    If IsEmpty(vOne) Then
        Same = True
    Else
        Same = (vOne = vOther)
    End If
End Function

' The filters of a sheet whose conditions the workbook loses: the export
' writes only the sheet's own filter, as an autofilter of up to two
' conditions a column, joined as Excel joins them. The rows they hide stay hidden.
Sub AddFilters(aLosses(), sSheet, nSheet, oDocument, oUnnamed As Object)
    Dim oRange As Object, aFields(), aWhy(), sSeen As String, aCounts() As Long, j As Long, bOr As Boolean, aRanges()
    aWhy = Array()
    aRanges = Array()
    sSeen = "|"
    If oUnnamed.hasByTable(nSheet) Then
        oRange = oUnnamed.getByTable(nSheet)
        aFields = oRange.getFilterDescriptor().getFilterFields()
        If UBound(aFields) >= 0 Then
            If Not oRange.AutoFilter Then
                AddOnce(aWhy, sSeen, "a standard filter")
            Else
                ReDim aCounts(1023) As Long
                bOr = False
                For j = 0 To UBound(aFields)
                    aCounts(aFields(j).Field) = aCounts(aFields(j).Field) + 1
                    If j > 0 Then bOr = bOr Or aFields(j).Connection = OR_CONNECTION
                    If aCounts(aFields(j).Field) > 2 Or (j > 1 And bOr) Then
                        Conflicting(aWhy, sSeen)
                    ElseIf j = 1 And bOr Then
                        If aFields(1).Field <> aFields(0).Field Then Conflicting(aWhy, sSeen)
                    End If
                Next j
            End If
            If UBound(aWhy) >= 0 Then Add(aRanges, RangeEntry(oRange.getDataArea()))
        End If
    End If
    If UBound(aWhy) >= 0 Then Add(aLosses, Array("filter", sSheet, 0, aRanges, aWhy))
End Sub

Private Sub Conflicting(aWhy(), sSeen As String)
    AddOnce(aWhy, sSeen, "an autofilter of more than two conditions on a column, or of conditions joined by OR across columns")
End Sub

' The named database ranges that filter their rows: the export writes no
' filter of theirs.
Sub AddDatabaseFilters(aLosses(), oDocument, oSheets)
    Dim oRanges As Object, aNames(), j As Long, oRange As Object, oArea
    oRanges = oDocument.DatabaseRanges
    aNames = oRanges.getElementNames()
    For j = 0 To UBound(aNames)
        oRange = oRanges.getByName(aNames(j))
        If UBound(oRange.getFilterDescriptor().getFilterFields()) >= 0 Then
            oArea = oRange.getDataArea()
            Add(aLosses, Array("filter", oSheets.getByIndex(oArea.Sheet).getName(), 0, Array(RangeEntry(oArea)), Array("the filter of database range """ & aNames(j) & """")))
        End If
    Next j
End Sub

' The cells of a sheet that hold more than one link: an Excel 97 cell holds
' one, so the export keeps none of them (it puts their addresses in a comment).
Sub AddLinks(aLosses(), sSheet, oContent As Object, nShown)
    Dim oRich As Object, oCells As Object, oCell As Object, oFields As Object, nLinks As Long, aCells(), nCells As Long, oAddress
    oRich = oContent.queryContentCells(RICH_TEXT_CELLS)
    If oRich.getCount() = 0 Then Exit Sub
    aCells = Array()
    nCells = 0
    oCells = oRich.getCells().createEnumeration()
    Do While oCells.hasMoreElements()
        oCell = oCells.nextElement()
        oFields = oCell.getTextFields().createEnumeration()
        nLinks = 0
        Do While oFields.hasMoreElements()
            ' A link is the one field with an address.
            If oFields.nextElement().getPropertySetInfo().hasPropertyByName("URL") Then nLinks = nLinks + 1
        Loop
        If nLinks > 1 Then
            nCells = nCells + 1
            oAddress = oCell.getCellAddress()
            If nCells <= nShown Then Add(aCells, CellEntry(oAddress.Column, oAddress.Row))
        End If
    Loop
    If nCells > 0 Then Add(aLosses, Array("links", sSheet, nCells, aCells))
End Sub

' The headers and footers of the sheets' page styles that the workbook
' cannot hold: longer than 255 characters, or different on even pages.
Sub AddPageStyles(aLosses(), oDocument, oSheets)
    Dim oStyles As Object, aStyles(), aWhy(), sStyles As String, i As Long, sStyle As String, j As Long, sSheets As String
    oStyles = oDocument.StyleFamilies.getByName("PageStyles")
    sStyles = "|"
    aStyles = Array()
    For i = 0 To oSheets.getCount() - 1
        sStyle = oSheets.getByIndex(i).PageStyle
        If InStr(sStyles, "|" & sStyle & "|") = 0 Then
            sStyles = sStyles & sStyle & "|"
            aWhy = PageLosses(oStyles.getByName(sStyle))
            If UBound(aWhy) >= 0 Then Add(aStyles, Array(sStyle, aWhy))
        End If
    Next i
    For j = 0 To UBound(aStyles)
        For i = 0 To oSheets.getCount() - 1
            If oSheets.getByIndex(i).PageStyle = aStyles(j)(0) Then Add(aLosses, Array("print", oSheets.getByIndex(i).getName(), 0, Array(), aStyles(j)(1)))
        Next i
    Next j
End Sub

' What a page style's headers and footers hold that the workbook cannot.
Private Function PageLosses(oStyle As Object)
    Dim aWhy(), sSeen As String, sPart As String
    aWhy = Array()
    sSeen = "|"
    For Each sPart In Array("Header", "Footer")
        If oStyle.getPropertyValue(sPart & "IsOn") Then
            If Written(oStyle.getPropertyValue("RightPage" & sPart & "Content")) > MOST_CHARACTERS Then AddOnce(aWhy, sSeen, "a " & LCase(sPart) & " longer than 255 characters")
            If Not oStyle.getPropertyValue(sPart & "IsShared") Then
                If Written(oStyle.getPropertyValue("LeftPage" & sPart & "Content")) > MOST_CHARACTERS Then AddOnce(aWhy, sSeen, "a " & LCase(sPart) & " longer than 255 characters")
                If Shown(oStyle.getPropertyValue("LeftPage" & sPart & "Content")) <> Shown(oStyle.getPropertyValue("RightPage" & sPart & "Content")) Then AddOnce(aWhy, sSeen, "a different " & LCase(sPart) & " on even pages")
            End If
        End If
    Next sPart
    PageLosses = aWhy
End Function

' About how long a header or footer is as the workbook writes it: its three
' parts, each after a two-character code.
Private Function Written(oContent) As Long
    Written = 6 + Len(Shown(oContent)) - 2
End Function

Private Function Shown(oContent) As String
    Shown = oContent.getLeftText().getString() & Chr(1) & oContent.getCenterText().getString() & Chr(1) & oContent.getRightText().getString()
End Function

' A document whose days count from another day than Excel's 30 December
' 1899 (Calc's "StarCalc 1.0" setting counts from 1 January 1900): the
' export writes the numbers as they are, so every date moves by that many
' days. (Excel's 1904 setting the export writes as one.)
Sub AddDateBase(aLosses(), oDocument)
    Dim oNull, nDays As Long
    oNull = oDocument.NullDate
    nDays = DateSerial(oNull.Year, oNull.Month, oNull.Day) - DateSerial(1899, 12, 30)
    If nDays <> 0 And Not (oNull.Year = 1904 And oNull.Month = 1 And oNull.Day = 1) Then
        Add(aLosses, Array("date base", "", nDays, Format(oNull.Year, "0000") & "-" & Format(oNull.Month, "00") & "-" & Format(oNull.Day, "00")))
    End If
End Sub
)basic";

}  // namespace convert
