#include "convert/excel97_export_losses_script.h"

namespace convert {

const char* const kExcel97ExportLossesScript = R"basic(Option Explicit

' What the "MS Excel 97" export leaves out or changes of a loaded document
' that a workbook could hold: the looks that Losses, in the module of the
' workbook's limits, calls for each document before it is saved. Each adds
' its entries to aLosses as Array(kind, sheet, extent, cells[, names]).
' A procedure call costs more here than many a call into the office, so
' Losses calls the rare ones only once it knows that they have work to do.

Private Const FORMULA_TEXT = 0
Private Const MOST_CHARACTERS = 255  ' of a name, a text inside a formula, a header or footer
Private Const OR_CONNECTION = 1      ' com.sun.star.sheet.FilterConnection.OR
' A text inside a formula that may be longer than that.
Private Const LONG_CONSTANT = """[^""]{256}"
' A reference into another file, as a formula's text gives it: 'file:///...'#$Sheet1.A1
Private Const EXTERNAL_REFERENCE = "'#\$"
' A comparison outside texts, or a function that compares with criteria or looks a text up.
Private Const OPERATOR = "^=[^""<>=]*(?:""[^""]*""[^""<>=]*)*[<>=]"
Private Const CRITERIA = "COUNTIFS?|SUMIFS?|AVERAGEIFS?|MATCH|[VH]?LOOKUP|SEARCH|D(?:AVERAGE|COUNTA?|GET|MAX|MIN|PRODUCT|STDEVP?|SUM|VARP?)"

' Only while one document is looked at: the calls of its Basic functions, and its modules that hold code.
Private sMacroCalls As String, aHeld()

' The regular expression for the formulas that the looks of AddFormulaExport
' and WeighMeaning want to see in every document, given sCalls, one that
' finds the calls of some functions ("...(?:NAME|NAME)\s*\("): the names of
' the functions that compare are added to those, as one list is searched
' faster than two.
Function ExportPattern(sCalls As String) As String
    ExportPattern = Left(sCalls, Len(sCalls) - 6) & "|" & CRITERIA & ")\s*\(|" & LONG_CONSTANT & "|" & EXTERNAL_REFERENCE & "|" & OPERATOR
End Function

' The regular expression for the formulas that call the Basic functions of
' a document with Basic libraries; "" when it has none.
Function MacroCalls(oDocument) As String
    Dim aNames
    aNames = MacroFunctions(oDocument.BasicLibraries)
    sMacroCalls = ""
    If UBound(aNames) >= 0 Then sMacroCalls = "(?i)(?<![\w.])(?:" & Join(aNames, "|") & ")\s*\("
    MacroCalls = sMacroCalls
End Function

' The formulas among oSuspects (see ExportPattern) that hold a text of
' more than 255 characters, which the export cuts short; that refer to
' another file, which the workbook's link cannot reach; or that call the
' document's Basic functions (see MacroCalls), which the workbook does not carry.
Sub AddFormulaExport(aLosses(), sSheet, oSheet As Object, oSuspects As Object, nShown)
    Dim oFound As Object, aCells(), nCells As Long, aRanges(), j As Long, nRow As Long, nColumn As Long, oEither As Object
    If sMacroCalls <> "" Then AddFound(aLosses, "macro", sSheet, oSuspects, sMacroCalls, False, nShown)
    ' Most suspects are neither, which one search shows.
    oEither = oSuspects.findAll(Searcher(oSuspects, LONG_CONSTANT & "|" & EXTERNAL_REFERENCE, FORMULA_TEXT))
    If IsNull(oEither) Then Exit Sub
    AddFound(aLosses, "external", sSheet, oEither, EXTERNAL_REFERENCE, True, nShown)
    oFound = oEither.findAll(Searcher(oEither, LONG_CONSTANT, FORMULA_TEXT))
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
' escaped for a regular expression; and, in aHeld, the modules that hold
' code, as "Library.Module". A workbook carries none of them.
Private Function MacroFunctions(oLibraries As Object)
    Dim aLibraries(), aModules(), aLines(), sLine As String, j As Long, k As Long, n As Long, nAt As Long
    Dim aNames(), sCode As String, oLibrary As Object, aFound()
    aNames = Array()
    aFound = Array()
    aLibraries = oLibraries.getElementNames()
    For j = 0 To UBound(aLibraries)
        oLibraries.loadLibrary(aLibraries(j))
        oLibrary = oLibraries.getByName(aLibraries(j))
        aModules = oLibrary.getElementNames()
        For k = 0 To UBound(aModules)
            sCode = oLibrary.getByName(aModules(k))
            If Trim(sCode) <> "" Then Add(aFound, aLibraries(j) & "." & aModules(k))
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
    aHeld = aFound
    MacroFunctions = aNames
End Function

' The document's macros (found by MacroCalls), which the workbook does
' not carry: one entry naming each library and module that holds code.
Sub AddMacros(aLosses())
    If UBound(aHeld) >= 0 Then Add(aLosses, Array("macro", "", UBound(aHeld) + 1, Array(), aHeld))
End Sub

' Gives each named database range a workbook name of its own name, where no
' named range has it, and adds to aKept the formulas that may use one, to be
' entered anew: the export writes a database range in a formula as #N/A, but
' a name as a name. (A formula loaded from a file takes a named range of the
' same name over a database range.) Those that filter their rows are
' reported: the export writes no filter of theirs.
Sub NameDatabaseRanges(oDocument, oSheets, aFormulas(), aKept(), aLosses())
    Dim oRanges As Object, aNames(), aNamed(), j As Long, i As Long, oArea, oAt As New com.sun.star.table.CellAddress
    Dim oFound As Object, aFound(), oSheet As Object, sPattern As String, oRange As Object
    oRanges = oDocument.DatabaseRanges
    aNames = oRanges.getElementNames()
    aNamed = Array()
    For j = 0 To UBound(aNames)
        oRange = oRanges.getByName(aNames(j))
        oArea = oRange.getDataArea()
        If UBound(oRange.getFilterDescriptor().getFilterFields()) >= 0 Then
            Add(aLosses, Array("filter", oSheets.getByIndex(oArea.Sheet).getName(), 0, Array(RangeEntry(oArea)), Array("the filter of database range """ & aNames(j) & """")))
        End If
        If Not oDocument.NamedRanges.hasByName(aNames(j)) Then
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
    Dim aSuspects(), aSaved(), aExcel(), aAgain(), oFound As Object, aRanges(), oSheet As Object, n As Long
    WeighMeaning = False
    bIgnoreCase = oDocument.IgnoreCase
    bExpressions = oDocument.RegularExpressions
    bWildcards = oDocument.Wildcards
    If bIgnoreCase And Not bExpressions And bWildcards Then Exit Function
    ' aFormulas holds each sheet's suspects (see ExportPattern), or Null.
    aSuspects = Array()
    For i = 0 To UBound(aFormulas)
        If Not IsNull(aFormulas(i)) Then
            oFound = aFormulas(i).findAll(Searcher(aFormulas(i), OPERATOR & "|(?<![\w.])(?:" & CRITERIA & ")\s*\(", FORMULA_TEXT))
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
    oDocument.addActionLock()
    ReDim aSaved(n)
    For j = 0 To n
        aSaved(j) = aSuspects(j)(2).getDataArray()
    Next j
    aExcel = WorkedOut(oDocument, aSuspects, True, False, True)
    aAgain = WorkedOut(oDocument, aSuspects, bIgnoreCase, bExpressions, bWildcards)
    oDocument.removeActionLock()
    AddChanged(aLosses, oSheets, aSuspects, aSaved, aExcel, aAgain, nShown)
End Function

' The results of the suspects (Array(sheet, address, cells) each) once their
' formulas are entered anew and worked out under those rules.
Private Function WorkedOut(oDocument, aSuspects(), bIgnoreCase As Boolean, bExpressions As Boolean, bWildcards As Boolean)
    Dim aResults(), j As Long
    oDocument.IgnoreCase = bIgnoreCase
    oDocument.RegularExpressions = bExpressions
    oDocument.Wildcards = bWildcards
    For j = 0 To UBound(aSuspects)
        EnterAnew(aSuspects(j)(2))
    Next j
    ReDim aResults(UBound(aSuspects))
    For j = 0 To UBound(aSuspects)
        aResults(j) = aSuspects(j)(2).getDataArray()
    Next j
    WorkedOut = aResults
End Function

' One "meaning" entry per sheet, for the suspects' cells whose result under
' Excel's rules differs from the saved one while the document's rules give
' the saved one again.
Private Sub AddChanged(aLosses(), oSheets, aSuspects(), aSaved(), aExcel(), aAgain(), nShown)
    Dim aCells(), nCells As Long, j As Long, nRow As Long, nColumn As Long, nSheet As Long, oAddress
    nSheet = -1
    For j = 0 To UBound(aSuspects)
        If aSuspects(j)(0) <> nSheet Then
            If nSheet >= 0 And nCells > 0 Then Add(aLosses, Array("meaning", oSheets.getByIndex(nSheet).getName(), nCells, aCells))
            nSheet = aSuspects(j)(0)
            aCells = Array()
            nCells = 0
        End If
        oAddress = aSuspects(j)(1)
        For nRow = 0 To UBound(aSaved(j))
            For nColumn = 0 To UBound(aSaved(j)(nRow))
                If Not Same(aExcel(j)(nRow)(nColumn), aSaved(j)(nRow)(nColumn)) And Same(aAgain(j)(nRow)(nColumn), aSaved(j)(nRow)(nColumn)) Then
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
Sub AddFilters(aLosses(), sSheet, oRange As Object)
    Dim aFields(), sWhy As String, aCounts() As Long, j As Long, bOr As Boolean, bConflict As Boolean
    aFields = oRange.getFilterDescriptor().getFilterFields()
    If UBound(aFields) < 0 Then Exit Sub
    If Not oRange.AutoFilter Then
        sWhy = "a standard filter"
    Else
        ReDim aCounts(1023) As Long
        bOr = False
        bConflict = False
        For j = 0 To UBound(aFields)
            aCounts(aFields(j).Field) = aCounts(aFields(j).Field) + 1
            If j > 0 Then bOr = bOr Or aFields(j).Connection = OR_CONNECTION
            If aCounts(aFields(j).Field) > 2 Or (j > 1 And bOr) Then
                bConflict = True
            ElseIf j = 1 And bOr Then
                If aFields(1).Field <> aFields(0).Field Then bConflict = True
            End If
        Next j
        If Not bConflict Then Exit Sub
        sWhy = "an autofilter of more than two conditions on a column, or of conditions joined by OR across columns"
    End If
    Add(aLosses, Array("filter", sSheet, 0, Array(RangeEntry(oRange.getDataArea())), Array(sWhy)))
End Sub

' The cells among a sheet's texts with fields that hold more than one link:
' an Excel 97 cell holds one, so the export keeps none of them (it puts their
' addresses in a comment).
Sub AddLinks(aLosses(), sSheet, oRich As Object, nShown)
    Dim oCells As Object, oCell As Object, oFields As Object, nLinks As Long, aCells(), nCells As Long, oAddress, j As Long
    aCells = Array()
    nCells = 0
    oCells = oRich.getCells().createEnumeration()
    Do While oCells.hasMoreElements()
        oCell = oCells.nextElement()
        oFields = oCell.getTextFields()
        nLinks = 0
        ' Most such cells hold one field, or none: a bold word, say.
        If oFields.getCount() > 1 Then
            For j = 0 To oFields.getCount() - 1
                ' A link is the one field with an address.
                If oFields.getByIndex(j).getPropertySetInfo().hasPropertyByName("URL") Then nLinks = nLinks + 1
            Next j
        End If
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
' aStyles holds each sheet's page style.
Sub AddPageStyles(aLosses(), oDocument, aStyles(), aSheets())
    Dim oStyles As Object, sStyles As String, i As Long, j As Long, sWhy As String
    oStyles = oDocument.StyleFamilies.getByName("PageStyles")
    sStyles = "|"
    For i = 0 To UBound(aStyles)
        If InStr(sStyles, "|" & aStyles(i) & "|") = 0 Then
            sStyles = sStyles & aStyles(i) & "|"
            sWhy = PageLosses(oStyles.getByName(aStyles(i)))
            If sWhy <> "" Then
                For j = i To UBound(aStyles)
                    If aStyles(j) = aStyles(i) Then Add(aLosses, Array("print", aSheets(j), 0, Array(), Split(sWhy, "|")))
                Next j
            End If
        End If
    Next i
End Sub

' What a page style's headers and footers hold that the workbook cannot, as "what|what".
Private Function PageLosses(oStyle As Object) As String
    Dim aOn, k As Long, sPart As String, sRight As String, sLeft As String, sWhy As String
    ' Whether each is on, and shared by left and right pages; their contents are read only when on.
    aOn = oStyle.getPropertyValues(Array("FooterIsOn", "FooterIsShared", "HeaderIsOn", "HeaderIsShared"))
    sWhy = ""
    For k = 0 To 2 Step 2
        sPart = IIf(k = 0, "Footer", "Header")
        If aOn(k) Then
            sRight = Shown(oStyle.getPropertyValue("RightPage" & sPart & "Content"))
            sLeft = sRight
            If Not aOn(k + 1) Then sLeft = Shown(oStyle.getPropertyValue("LeftPage" & sPart & "Content"))
            ' As the workbook writes it: each of the three parts after a two-character code.
            If Len(sRight) + 4 > MOST_CHARACTERS Or Len(sLeft) + 4 > MOST_CHARACTERS Then sWhy = "|a " & LCase(sPart) & " longer than 255 characters" & sWhy
            If sLeft <> sRight Then sWhy = "|a different " & LCase(sPart) & " on even pages" & sWhy
        End If
    Next k
    PageLosses = Mid(sWhy, 2)
End Function

' A header's or footer's three parts, between two characters that no text holds.
Private Function Shown(oContent) As String
    Shown = oContent.getLeftText().getString() & Chr(1) & oContent.getCenterText().getString() & Chr(1) & oContent.getRightText().getString()
End Function

' A document whose days count from another day than Excel's 30 December
' 1899 (Calc's "StarCalc 1.0" setting counts from 1 January 1900): the
' export writes the numbers as they are, so every date moves by that many
' days. (Excel's 1904 setting the export writes as one.)
Sub AddDateBase(aLosses(), oNull)
    Dim nDays As Long
    nDays = DateSerial(oNull.Year, oNull.Month, oNull.Day) - DateSerial(1899, 12, 30)
    If nDays <> 0 And Not (oNull.Year = 1904 And oNull.Month = 1 And oNull.Day = 1) Then
        Add(aLosses, Array("date base", "", nDays, Format(oNull.Year, "0000") & "-" & Format(oNull.Month, "00") & "-" & Format(oNull.Day, "00")))
    End If
End Sub
)basic";

}  // namespace convert
