#include "convert/excel97_losses_script.h"

namespace convert {

const char* const kExcel97LossesScript = R"basic(Option Explicit

' What an Excel 97 workbook cannot hold of a loaded spreadsheet document.
' Quillmere installs this module in the office it runs and calls Losses for
' each document before the document is saved.

' The office's constants by value: naming one looks it up at each use.
Private Const DATE_CELLS = 2     ' com.sun.star.sheet.CellFlags.DATETIME
Private Const TEXT_CELLS = 4     ' com.sun.star.sheet.CellFlags.STRING
Private Const FORMULA_CELLS = 16 ' com.sun.star.sheet.CellFlags.FORMULA
Private Const EARLIEST = 6       ' com.sun.star.sheet.GeneralFunction.MIN
Private Const NOT_SET = 1        ' com.sun.star.beans.PropertyState.DEFAULT_VALUE
Private Const TEXT_RESULT = 2    ' com.sun.star.sheet.FormulaResult.STRING
Private Const FORMULA_TEXT = 0   ' what a search reads: a cell's formula,
Private Const SHOWN_TEXT = 1     ' or what the cell shows
Private Const MOST_IN_NAME = 255 ' characters of a named range's name
Private Const RICH_TEXT_CELLS = 512  ' com.sun.star.sheet.CellFlags.FORMATTED: texts with fields, links among them

' What the look needs to know of the office's functions: made at the first
' call and kept in one global for the others, since the variables of a module
' begin anew with each call from outside (the global is named for this module:
' every library shares them). Its entries, in order: each function code's
' name, the codes of add-in calls, "(", ")" and the separator, the names of
' the functions the workbook cannot compute (see SuspectFormulas), the
' three texts below, and the search that finds the formulas any look wants
' to see (see ExportPattern).
Global QuillmereCodes As Variant
' The searches made so far, each as Array(kind & pattern, descriptor).
Global QuillmereSearches As Variant
Private oReflection As Object
Private oParser As Object
' Only while the codes are first made.
Private bComputed() As Boolean
Private sComputedAddIns As String
Private aAddIns()
' Taken out of the global when formulas' tokens are to be read.
Private aFunctionNames() As String
Private nAddInCode As Long
Private nOpenCode As Long, nCloseCode As Long, nSeparatorCode As Long
Private sSuspectCalls As String, sSuspectShape As String, sUncomputableNames As String

Function Losses(oDocument, nRows, nColumns, nText, nName, nSearchedWhole, nShown, aComputed, aComputedAddIns, nArguments)
    Dim aLosses(), oSheets As Object, aNames(), bLinks As Boolean, i As Long, aContents(), aFormulas(), aSuspects(), aStyles()
    Dim oSheet As Object, oCursor As Object, oEnd As Object, oContent As Object
    Dim oRich As Object, oFormats As Object, oNull As Object, nFirstDate As Double, sMacroCalls As String, bBasic As Boolean, oUnnamed As Object
    On Error GoTo Failed
    aLosses = Array()
    If IsEmpty(QuillmereCodes) Then
        ' The lists come with the first call only.
        If UBound(aComputed) < 0 Then
            Losses = Array(Array("functions"))
            Exit Function
        End If
        KnowCodes(oDocument, aComputed, aComputedAddIns)
    End If
    sSuspectShape = QuillmereCodes(6)
    sUncomputableNames = QuillmereCodes(7)
    sSuspectCalls = QuillmereCodes(8)
    oSheets = oDocument.getSheets()
    ' A procedure call costs more here than the office's answer to these questions,
    ' so each rare look is called only once a question shows it has work to do.
    sMacroCalls = ""
    bBasic = oDocument.BasicLibraries.hasElements()
    If bBasic Then sMacroCalls = MacroCalls(oDocument)
    ' The cells of each sheet that are more than numbers, found in one pass over
    ' the sheet, and its formulas; all the looks below go through these alone.
    ' Of its formulas, a search finds those that any look wants to see, which
    ' the office's search reads faster than this module reads a formula:
    ' most sheets have none.
    ReDim aContents(oSheets.getCount() - 1)
    ReDim aFormulas(oSheets.getCount() - 1)
    ReDim aSuspects(oSheets.getCount() - 1)
    ReDim aStyles(oSheets.getCount() - 1)
    For i = 0 To oSheets.getCount() - 1
        aContents(i) = oSheets.getByIndex(i).queryContentCells(TEXT_CELLS Or FORMULA_CELLS Or DATE_CELLS)
        aFormulas(i) = aContents(i).queryContentCells(FORMULA_CELLS)
        aSuspects(i) = Null
        If aFormulas(i).getCount() > 0 Then
            If sMacroCalls = "" Then
                aSuspects(i) = aFormulas(i).findAll(Searcher(aFormulas(i), QuillmereCodes(9), FORMULA_TEXT))
            Else
                aSuspects(i) = aFormulas(i).findAll(Searcher(aFormulas(i), QuillmereCodes(9) & "|" & sMacroCalls, FORMULA_TEXT, False))
            End If
        End If
    Next i
    KeepResultTypes(oDocument, oSheets, aFormulas, aSuspects, aLosses, nShown)
    aNames = oSheets.getElementNames()
    oUnnamed = oDocument.getPropertyValue("UnnamedDatabaseRanges")
    bLinks = oDocument.getPropertyValue("SheetLinks").hasElements()
    oFormats = oDocument.getNumberFormats()
    ' 1 March 1900 as the document counts its days: Excel's calendar holds a
    ' 29 February 1900 and nothing before 1900, so earlier dates show wrong.
    oNull = oDocument.NullDate
    nFirstDate = DateSerial(1900, 3, 1) - DateSerial(oNull.Year, oNull.Month, oNull.Day)
    For i = 0 To UBound(aNames)
        If Len(aNames(i)) > nName Then Add(aLosses, Array("name", aNames(i), Len(aNames(i)), ""))
        oSheet = oSheets.getByIndex(i)
        aStyles(i) = oSheet.PageStyle
        If CopiesValues(oSheet, bLinks) Then
            ' Written as a reference to that file, not as a sheet.
            Add(aLosses, Array("linked", aNames(i), 0, oSheet.getLinkUrl()))
        Else
            oCursor = oSheet.createCursor()
            oCursor.gotoEndOfUsedArea(False)
            oEnd = oCursor.getRangeAddress()
            If oEnd.EndRow + 1 > nRows Then Add(aLosses, Array("rows", aNames(i), oEnd.EndRow + 1, ""))
            If oEnd.EndColumn + 1 > nColumns Then Add(aLosses, Array("columns", aNames(i), oEnd.EndColumn + 1, ""))
            ' A big sheet is searched for long texts in its texts only, so that
            ' the office does not spell out every date to compare it.
            oContent = aContents(i)
            If oContent.getCount() > 0 Then
                If CDbl(oEnd.EndRow + 1) * (oEnd.EndColumn + 1) <= nSearchedWhole Then
                    AddLongTexts(aLosses, aNames(i), oContent, nText)
                Else
                    AddLongTexts(aLosses, aNames(i), oContent.queryContentCells(TEXT_CELLS Or FORMULA_CELLS), nText)
                End If
                AddFormulaLosses(aLosses, aNames(i), oSheet, aSuspects(i), nShown, nRows, nColumns, nArguments)
                oRich = oContent.queryContentCells(RICH_TEXT_CELLS)
                If oRich.getCount() > 0 Then AddLinks(aLosses, aNames(i), oRich, nShown)
                AddEarlyDates(aLosses, aNames(i), oSheet, oContent.queryContentCells(DATE_CELLS), oFormats, nFirstDate, nShown)
            End If
            AddConditions(aLosses, aNames(i), oSheet, oDocument, nShown, nRows, nColumns)
            If oUnnamed.hasByTable(i) Then AddFilters(aLosses, aNames(i), oUnnamed.getByTable(i))
        End If
        ' Sheet protection keeps its password only as Excel's own hash, which a spreadsheet does not hold.
        If HasPassword(oSheet) Then Add(aLosses, Array("protection", aNames(i), 1, ""))
    Next i
    AddNames(aLosses, oDocument, nRows, nColumns)
    AddPageStyles(aLosses, oDocument, aStyles, aNames)
    If bBasic Then AddMacros(aLosses)
    AddDateBase(aLosses, oNull)
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

' Readies the document for the export, which writes a formula's result by the
' type that the office last worked it out as. A formula loaded from a file has
' its saved result but no such type, so a text would be written as the number
' 0, a truth value as 0 or 1. Those formulas are entered anew and worked
' out once, with those that use a named database range (see
' NameDatabaseRanges); then automatic calculation stops, so that the
' formulas that use them are not worked out again and every other result
' stays the saved one. The first looks work out whatever the load left to be
' worked out, as the export would. Before it stops, the formulas that
' compare texts are weighed under Excel's rules (see WeighMeaning).
Private Sub KeepResultTypes(oDocument, oSheets, aFormulas(), aSuspects(), aLosses(), nShown)
    Dim aKept(), i As Long, j As Long, oSheet As Object, aRanges(), oRange As Object, oFound As Object, bWeighed As Boolean
    aKept = Array()
    For i = 0 To oSheets.getCount() - 1
        If aFormulas(i).getCount() = 0 Then GoTo NextSheet
        oSheet = oSheets.getByIndex(i)
        aRanges = aFormulas(i).queryFormulaCells(TEXT_RESULT).getRangeAddresses()
        For j = 0 To UBound(aRanges)
            Add(aKept, RangeAt(oSheet, aRanges(j)))
        Next j
        ' A truth value is a number to the office, and a file need not format
        ' it as one: every result shown as 0, 1, TRUE or FALSE may be one.
        oFound = aFormulas(i).findAll(Searcher(aFormulas(i), "^(?:[01]|TRUE|FALSE)$", SHOWN_TEXT))
        If Not IsNull(oFound) Then
            aRanges = oFound.getRangeAddresses()
            For j = 0 To UBound(aRanges)
                Add(aKept, RangeAt(oSheet, aRanges(j)))
            Next j
        End If
NextSheet:
    Next i
    If oDocument.DatabaseRanges.hasElements() Then NameDatabaseRanges(oDocument, oSheets, aFormulas, aKept, aLosses)
    ' Held, so that no view works out what the new entries touch while the office still calculates.
    If UBound(aKept) >= 0 Then
        oDocument.addActionLock()
        For Each oRange In aKept
            EnterAnew(oRange)
        Next oRange
        For Each oRange In aKept
            oRange.getDataArray()
        Next oRange
    End If
    bWeighed = False
    For i = 0 To UBound(aSuspects)
        If Not IsNull(aSuspects(i)) Then bWeighed = True
    Next i
    If bWeighed Then bWeighed = WeighMeaning(oDocument, oSheets, aSuspects, aLosses, nShown)
    If UBound(aKept) >= 0 Or bWeighed Then oDocument.enableAutomaticCalculation(False)
    If UBound(aKept) >= 0 Then oDocument.removeActionLock()
End Sub

' Enters the formulas of oRange again as they are; part of an array formula,
' which is entered as a whole or not at all, cell by cell.
Sub EnterAnew(oRange As Object)
    Dim i As Long, j As Long
    If EnteredAnew(oRange) Then Exit Sub
    For i = 0 To oRange.getColumns().getCount() - 1
        For j = 0 To oRange.getRows().getCount() - 1
            EnteredAnew(oRange.getCellByPosition(i, j))
        Next j
    Next i
End Sub

' Whether the formulas of oRange could be entered again as they are.
Private Function EnteredAnew(oRange As Object) As Boolean
    On Error GoTo Refused
    oRange.setFormulaArray(oRange.getFormulaArray())
    EnteredAnew = True
    Exit Function
Refused:
    EnteredAnew = False
End Function

' Whether the sheet copies the values of another file (asked only of a document with such links).
Private Function CopiesValues(oSheet As Object, bLinks As Boolean) As Boolean
    CopiesValues = False
    If bLinks Then CopiesValues = (oSheet.getLinkMode() = com.sun.star.sheet.SheetLinkMode.VALUE)
End Function

' The cells of oCells whose value, a formula's result included, is longer than nText.
Private Sub AddLongTexts(aLosses(), sSheet, oCells As Object, nText)
    Dim oFound As Object
    ' Anchored, so that each cell is tried once; dot-all, so that line breaks count.
    oFound = oCells.findAll(Searcher(oCells, "^(?s).{" & (nText + 1) & "}", SHOWN_TEXT))
    If IsNull(oFound) Then Exit Sub
    Dim aFound(), aRanges(), j As Long
    aFound = oFound.getRangeAddresses()
    If UBound(aFound) < 0 Then Exit Sub
    aRanges = Array()
    For j = 0 To UBound(aFound)
        Add(aRanges, RangeEntry(aFound(j)))
    Next j
    Add(aLosses, Array("text", sSheet, 0, aRanges))
End Sub

' The function codes of the office, and which of them the workbook computes:
' aComputed names them in English, aComputedAddIns names the add-in functions
' by their programmatic names.
Private Sub KnowCodes(oDocument, aComputed, aComputedAddIns)
    Dim oMapper As Object, aAll(), aKnown(), nLast As Long, j As Long, aSuspects()
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
    ' An array of this module's own would be emptied with its variables at the next call.
    aSuspects = SuspectFormulas(oMapper)
    QuillmereCodes = Array(aFunctionNames, nAddInCode, nOpenCode, nCloseCode, nSeparatorCode, aSuspects, sSuspectShape, sUncomputableNames, sSuspectCalls, ExportPattern(sSuspectCalls) & "|" & sSuspectShape)
End Sub

' The formula cells that use a function the workbook cannot compute, with
' the names of those functions; and those that refer to cells past its last
' column or row, which the export cuts short or turns into #REF!.
Private Sub AddFormulaLosses(aLosses(), sSheet, oSheet As Object, oFormulas, nShown, nRows, nColumns, nArguments)
    ' Reading a formula's tokens is slow here, so oFormulas are those the
    ' office's own search found to be suspect (Null for none): those whose text
    ' may call such a function, or refer past the edge or make a long call,
    ' or hold what the export itself loses (see ExportPattern). Their text,
    ' or their tokens, tell.
    If IsNull(oFormulas) Then Exit Sub
    Dim aRanges(), aCells(), aUsed(), sUsed As String, nCells As Long, aFar(), nFar As Long, aLong(), nLong As Long
    Dim j As Long, nRow As Long, nColumn As Long, aTokens(), k As Long, bNew As Boolean, bFar As Boolean
    Dim aNames(), oFound As Object
    AddFormulaExport(aLosses, sSheet, oSheet, oFormulas, nShown)
    oFound = Suspects(oFormulas, sSuspectCalls)
    If Not IsNull(oFound) Then
        aRanges = oFound.getRangeAddresses()
        aCells = Array()
        nCells = 0
        For j = 0 To UBound(aRanges)
            nCells = nCells + (aRanges(j).EndRow - aRanges(j).StartRow + 1) * (aRanges(j).EndColumn - aRanges(j).StartColumn + 1)
            For nRow = aRanges(j).StartRow To aRanges(j).EndRow
                For nColumn = aRanges(j).StartColumn To aRanges(j).EndColumn
                    If UBound(aCells) + 1 < nShown Then Add(aCells, CellEntry(nColumn, nRow))
                Next nColumn
            Next nRow
        Next j
        ' Which functions: those of one formula, then of one among the rest
        ' that calls others, until none is left.
        aUsed = Array()
        sUsed = "|"
        Do
            aRanges = oFound.getRangeAddresses()
            aNames = UncomputableIn(oSheet.getCellByPosition(aRanges(0).StartColumn, aRanges(0).StartRow).getFormula())
            bNew = False
            For k = 0 To UBound(aNames)
                If AddOnce(aUsed, sUsed, aNames(k)) Then bNew = True
            Next k
            If Not bNew Then Exit Do
            oFound = oFound.findAll(Searcher(oFound, CallsOf(sUsed, QuillmereCodes(5)), FORMULA_TEXT, False))
        Loop Until IsNull(oFound)
        Add(aLosses, Array("function", sSheet, nCells, aCells, aUsed))
    End If
    oFound = Suspects(oFormulas, sSuspectShape)
    If IsNull(oFound) Then Exit Sub
    TakeCodes()
    aRanges = oFound.getRangeAddresses()
    aFar = Array()
    aLong = Array()
    nFar = 0
    nLong = 0
    For j = 0 To UBound(aRanges)
        For nRow = aRanges(j).StartRow To aRanges(j).EndRow
            For nColumn = aRanges(j).StartColumn To aRanges(j).EndColumn
                aTokens = oSheet.getCellByPosition(nColumn, nRow).getTokens()
                bFar = False
                For k = 0 To UBound(aTokens)
                    If Not bFar Then bFar = ReachesPast(aTokens(k), nColumn, nRow, nRows, nColumns)
                Next k
                If bFar Then
                    nFar = nFar + 1
                    If nFar <= nShown Then Add(aFar, CellEntry(nColumn, nRow))
                End If
                If TooManyArguments(aTokens, nArguments) Then
                    nLong = nLong + 1
                    If nLong <= nShown Then Add(aLong, CellEntry(nColumn, nRow))
                End If
            Next nColumn
        Next nRow
    Next j
    If nFar > 0 Then Add(aLosses, Array("reference", sSheet, nFar, aFar))
    If nLong > 0 Then Add(aLosses, Array("arguments", sSheet, nLong, aLong))
End Sub

' The formulas of oFormulas whose text (as the office shows it) matches sPattern; Null when none does.
Private Function Suspects(oFormulas As Object, sPattern As String) As Object
    Suspects = oFormulas.findAll(Searcher(oFormulas, sPattern, FORMULA_TEXT))
End Function

' A search for the regular expression sPattern in what nType says, made once
' for the office's life (kept when bKeep) since making one costs five calls.
' Case counts: the office writes names and references in capitals, and
' ignoring case costs it more than the search itself.
Function Searcher(oRanges As Object, sPattern As String, nType As Integer, Optional bKeep) As Object
    Dim oSearch As Object, k As Long
    If IsEmpty(QuillmereSearches) Then QuillmereSearches = Array()
    For k = 0 To UBound(QuillmereSearches)
        If QuillmereSearches(k)(0) = nType & sPattern Then
            Searcher = QuillmereSearches(k)(1)
            Exit Function
        End If
    Next k
    oSearch = oRanges.createSearchDescriptor()
    oSearch.setSearchString(sPattern)
    oSearch.SearchRegularExpression = True
    oSearch.SearchType = nType
    oSearch.SearchCaseSensitive = True
    If IsMissing(bKeep) Then bKeep = True
    If bKeep Then
        ReDim Preserve QuillmereSearches(UBound(QuillmereSearches) + 1)
        QuillmereSearches(UBound(QuillmereSearches)) = Array(nType & sPattern, oSearch)
    End If
    Searcher = oSearch
End Function

' A regular expression for the text of a formula that calls, outside its
' texts, a function the workbook cannot compute, other than those named in
' sLeftOut ("|English|...|"); aSuspectNames holds each function's name as
' the text may give it, with its English name.
Private Function CallsOf(sLeftOut As String, aSuspectNames) As String
    Dim aNames() As String, j As Long, n As Long
    ReDim aNames(UBound(aSuspectNames) + 1) As String
    n = 0
    For j = 0 To UBound(aSuspectNames)
        If InStr(sLeftOut, "|" & aSuspectNames(j)(1) & "|") = 0 Then
            aNames(n) = aSuspectNames(j)(0)
            n = n + 1
        End If
    Next j
    ' A name that nothing matches, so that no formula does.
    aNames(n) = "(?!)"
    ReDim Preserve aNames(n) As String
    CallsOf = "^(?:[^""]*""[^""]*"")*[^""]*?(?<![\w.])(?:" & Join(aNames, "|") & ")\s*\("
End Function

' The codes, taken out of the global only for formulas' tokens to be read.
Private Sub TakeCodes()
    aFunctionNames = QuillmereCodes(0)
    nAddInCode = QuillmereCodes(1)
    nOpenCode = QuillmereCodes(2)
    nCloseCode = QuillmereCodes(3)
    nSeparatorCode = QuillmereCodes(4)
End Sub

' The English names of the functions that a formula without texts calls and
' the workbook cannot compute: each name before a parenthesis, looked up.
Private Function UncomputableIn(sFormula As String)
    Dim aParts(), aFound(), p As Long, k As Long, sPart As String, sName As String, nAt As Long, nFrom As Long
    aFound = Array()
    ' The parts outside texts: every other one between quotes.
    aParts = Split(UCase(sFormula), """")
    sPart = ""
    For p = 0 To UBound(aParts) Step 2
        sPart = sPart & aParts(p) & " "
    Next p
    aParts = Split(sPart, "(")
    For p = 0 To UBound(aParts) - 1
        sPart = aParts(p)
        k = Len(sPart)
        Do While k > 0
            If InStr("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._", Mid(sPart, k, 1)) = 0 Then Exit Do
            k = k - 1
        Loop
        sName = Mid(sPart, k + 1)
        If sName <> "" Then
            nAt = InStr(sUncomputableNames, "|" & sName & ":")
            If nAt > 0 Then
                nFrom = nAt + Len(sName) + 2
                Add(aFound, Mid(sUncomputableNames, nFrom, InStr(nFrom, sUncomputableNames, "|") - nFrom))
            End If
        End If
    Next p
    UncomputableIn = aFound
End Function

' Regular expressions for the text of a formula (as the office shows it)
' that may call a function the workbook cannot compute, by its name in English
' or in the office's language; and for one that may refer past column IV or
' row 65,536, or hold 30 separators and so perhaps a call of more than 30
' arguments. A match is only a suspicion: a name in a text, LOG10, a whole
' column all match. Then, for the formulas' own text, each such function's
' English name under every name the text may give it: "|NAME:English|...".
Private Function SuspectFormulas(oMapper As Object)
    Dim aNames(), sSeen As String, nLanguage As Long, aAll(), j As Long, sName As String, nCode As Long, sEnglish As String
    aNames = Array()
    sSeen = "|"
    sUncomputableNames = "|"
    For Each nLanguage In Array(com.sun.star.sheet.FormulaLanguage.ENGLISH, com.sun.star.sheet.FormulaLanguage.NATIVE, com.sun.star.sheet.FormulaLanguage.API)
        aAll = oMapper.getAvailableMappings(nLanguage, com.sun.star.sheet.FormulaMapGroup.FUNCTIONS)
        For j = 0 To UBound(aAll)
            sName = ""
            nCode = aAll(j).Token.OpCode
            If VarType(aAll(j).Token.Data) = 8 Then
                If InStr(sComputedAddIns, "|" & LCase(aAll(j).Token.Data) & "|") = 0 Then
                    sName = aAll(j).Name
                    sEnglish = AddInName(aAll(j).Token.Data)
                    ' A formula's own text names an add-in function by its programmatic name.
                    If InStr(sUncomputableNames, "|" & UCase(aAll(j).Token.Data) & ":") = 0 Then sUncomputableNames = sUncomputableNames & UCase(aAll(j).Token.Data) & ":" & sEnglish & "|"
                End If
            ElseIf nCode >= 0 And nCode <= UBound(bComputed) Then
                If Not bComputed(nCode) Then
                    sName = aAll(j).Name
                    sEnglish = aFunctionNames(nCode)
                End If
            End If
            If sName <> "" Then
                If InStr(sSeen, "|" & UCase(sName) & "|") = 0 Then
                    sSeen = sSeen & UCase(sName) & "|"
                    If nLanguage <> com.sun.star.sheet.FormulaLanguage.API Then Add(aNames, Array(Escaped(sName), sEnglish))
                End If
                If InStr(sUncomputableNames, "|" & UCase(sName) & ":") = 0 Then sUncomputableNames = sUncomputableNames & UCase(sName) & ":" & sEnglish & "|"
            End If
        Next j
    Next nLanguage
    sSuspectCalls = CallsOf("|", aNames)
    SuspectFormulas = aNames
    sSuspectShape = "\b(?:I[W-Z]|[J-Z][A-Z]|[A-Z]{3})\$?[0-9]" _
        & "|\b[A-Z]{1,3}\$?(?:6553[7-9]|655[4-9][0-9]|65[6-9][0-9]{2}|6[6-9][0-9]{3}|[7-9][0-9]{4}|[1-9][0-9]{5,})" _
        & "|^(?:[^;,]*[;,]){30}"
End Function

' A name with the characters that a regular expression reads as its own escaped.
Function Escaped(sName As String) As String
    Dim k As Long, sChar As String
    Escaped = ""
    For k = 1 To Len(sName)
        sChar = Mid(sName, k, 1)
        If InStr(".\^$|?*+()[]{}", sChar) > 0 Then sChar = "\" & sChar
        Escaped = Escaped & sChar
    Next k
End Function

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

' The named ranges whose cells reach past the workbook's last column or row,
' and those whose names are longer than a workbook's names.
Private Sub AddNames(aLosses(), oDocument, nRows, nColumns)
    Dim aNames
    aNames = oDocument.NamedRanges.getElementNames()
    If UBound(aNames) < 0 Then Exit Sub
    Dim oName As Object, aFar(), aTokens(), k As Long, oBase As Object, bFar As Boolean, j As Long, aLong()
    aFar = Array()
    aLong = Array()
    For j = 0 To UBound(aNames)
        If Len(aNames(j)) > MOST_IN_NAME Then Add(aLong, aNames(j))
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
    If UBound(aLong) >= 0 Then Add(aLosses, Array("long name", "", UBound(aLong) + 1, Array(), aLong))
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
    ColumnOf = Along(oReference.Flags And 1, nColumn, oReference.RelativeColumn, oReference.Column)  ' ReferenceFlags.COLUMN_RELATIVE
End Function

Private Function RowOf(oReference, nRow) As Long
    RowOf = Along(oReference.Flags And 4, nRow, oReference.RelativeRow, oReference.Row)  ' ReferenceFlags.ROW_RELATIVE
End Function

Private Function Along(nRelative, nHere, nOffset, nAbsolute) As Long
    If nRelative <> 0 Then
        Along = nHere + nOffset
    Else
        Along = nAbsolute
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
Private Sub AddEarlyDates(aLosses(), sSheet, oSheet As Object, oDates As Object, oFormats As Object, nFirstDate, nShown)
    If oDates.getCount() = 0 Then Exit Sub
    ' The office finds the earliest; most sheets need go no further.
    If oDates.computeFunction(EARLIEST) >= nFirstDate Then Exit Sub
    Dim aRanges(), aCells(), nCells As Long, j As Long, aRows(), nRow As Long, nColumn As Long, oCell As Object
    aRanges = oDates.getRangeAddresses()
    aCells = Array()
    nCells = 0
    For j = 0 To UBound(aRanges)
        aRows = RangeAt(oSheet, aRanges(j)).getDataArray()
        For nRow = 0 To UBound(aRows)
            For nColumn = 0 To UBound(aRows(nRow))
                If aRows(nRow)(nColumn) < nFirstDate Then
                    oCell = oSheet.getCellByPosition(aRanges(j).StartColumn + nColumn, aRanges(j).StartRow + nRow)
                    If (oFormats.getByKey(oCell.NumberFormat).Type And com.sun.star.util.NumberFormat.DATE) <> 0 Then
                        nCells = nCells + 1
                        If nCells <= nShown Then Add(aCells, CellEntry(aRanges(j).StartColumn + nColumn, aRanges(j).StartRow + nRow))
                    End If
                End If
            Next nColumn
        Next nRow
    Next j
    If nCells > 0 Then Add(aLosses, Array("date", sSheet, nCells, aCells))
End Sub

' The conditional formats that the workbook leaves out: it keeps up to three
' conditions on a range, and conditions only (no colour scales, data bars,
' icon sets or date conditions). Then the conditional formats and validity
' checks whose formulas refer past its last column or row.
Private Sub AddConditions(aLosses(), sSheet, oSheet As Object, oDocument, nShown, nRows, nColumns)
    Dim bFormats As Boolean
    ' A sheet where no cell has a conditional format, or a validity check, says so at once.
    bFormats = oSheet.getPropertyState("ConditionalFormat") <> NOT_SET
    If Not bFormats And oSheet.getPropertyState("Validation") = NOT_SET Then Exit Sub
    Dim aFormats(), aCells(), aWhat(), sWhat As String, nLeft As Long, j As Long, k As Long, aRanges(), sKind As String
    Dim aFar(), nFar As Long, oEntry As Object, bFar As Boolean
    If bFormats Then
        aFormats = oSheet.ConditionalFormats.getConditionalFormats()
    Else
        aFormats = Array()
    End If
    aCells = Array()
    aWhat = Array()
    aFar = Array()
    sWhat = "|"
    nLeft = 0
    nFar = 0
    For j = 0 To UBound(aFormats)
        aRanges = aFormats(j).Range.getRangeAddresses()
        sKind = ""
        bFar = False
        If aFormats(j).getCount() > 3 Then sKind = "more than three conditions on one range"
        For k = 0 To aFormats(j).getCount() - 1
            oEntry = aFormats(j).getByIndex(k)
            Select Case oEntry.getType()
                Case com.sun.star.sheet.ConditionEntryType.COLORSCALE : sKind = "a colour scale"
                Case com.sun.star.sheet.ConditionEntryType.DATABAR : sKind = "a data bar"
                Case com.sun.star.sheet.ConditionEntryType.ICONSET : sKind = "an icon set"
                Case com.sun.star.sheet.ConditionEntryType.DATE : sKind = "a date condition"
                Case com.sun.star.sheet.ConditionEntryType.CONDITION
                    If UBound(aRanges) >= 0 And Not bFar Then
                        bFar = FormulaReachesPast(oDocument, oEntry.Formula1, aRanges(0), nRows, nColumns)
                        If Not bFar Then bFar = FormulaReachesPast(oDocument, oEntry.Formula2, aRanges(0), nRows, nColumns)
                    End If
            End Select
        Next k
        If sKind <> "" Then
            nLeft = nLeft + 1
            AddOnce(aWhat, sWhat, sKind)
            If nLeft <= nShown And UBound(aRanges) >= 0 Then Add(aCells, RangeEntry(aRanges(0)))
        ElseIf bFar Then
            nFar = nFar + 1
            If nFar <= nShown Then Add(aFar, RangeEntry(aRanges(0)))
        End If
    Next j
    If nLeft > 0 Then Add(aLosses, Array("formatting", sSheet, nLeft, aCells, aWhat))
    AddFarValidations(aFar, nFar, oSheet, oDocument, nShown, nRows, nColumns)
    If nFar > 0 Then Add(aLosses, Array("rules", sSheet, nFar, aFar))
End Sub

' Adds to aFar the ranges whose validity checks refer past the last column or row.
Private Sub AddFarValidations(aFar(), nFar As Long, oSheet As Object, oDocument, nShown, nRows, nColumns)
    Dim aRules As Object, oRules As Object, oValidation As Object, aRanges(), j As Long, bFar As Boolean
    ' A validity check is a cell attribute: the cells of each distinct set of
    ' attributes share one. A sheet where no cell has one says so at once.
    If oSheet.getPropertyState("Validation") = NOT_SET Then Exit Sub
    aRules = oSheet.getUniqueCellFormatRanges().createEnumeration()
    Do While aRules.hasMoreElements()
        oRules = aRules.nextElement()
        oValidation = oRules.Validation
        If oValidation.Type <> 0 Then  ' com.sun.star.sheet.ValidationType.ANY: no check
            aRanges = oRules.getRangeAddresses()
            For j = 0 To UBound(aRanges)
                bFar = FormulaReachesPast(oDocument, oValidation.getFormula1(), aRanges(j), nRows, nColumns)
                If Not bFar Then bFar = FormulaReachesPast(oDocument, oValidation.getFormula2(), aRanges(j), nRows, nColumns)
                If bFar Then
                    nFar = nFar + 1
                    If nFar <= nShown Then Add(aFar, RangeEntry(aRanges(j)))
                End If
            Next j
        End If
    Loop
End Sub

' A range, or one cell, as the answer gives it: first column, first row, last column, last row.
Function RangeEntry(oRange)
    RangeEntry = Array(oRange.StartColumn, oRange.StartRow, oRange.EndColumn, oRange.EndRow)
End Function

Function CellEntry(nColumn, nRow)
    CellEntry = Array(nColumn, nRow, nColumn, nRow)
End Function

' The cells of oSheet at a range's address.
Function RangeAt(oSheet As Object, oAddress) As Object
    RangeAt = oSheet.getCellRangeByPosition(oAddress.StartColumn, oAddress.StartRow, oAddress.EndColumn, oAddress.EndRow)
End Function

' Adds sItem to aList unless sSeen ("|item|...|") has it; whether it was added.
Function AddOnce(aList(), sSeen As String, sItem As String) As Boolean
    AddOnce = InStr(sSeen, "|" & sItem & "|") = 0
    If AddOnce Then
        sSeen = sSeen & sItem & "|"
        Add(aList, sItem)
    End If
End Function

' Whether a formula of a rule on oRange refers past the last column or row; a
' formula the parser does not take counts as not.
Private Function FormulaReachesPast(oDocument, sFormula, oRange, nRows, nColumns) As Boolean
    Dim oAt As New com.sun.star.table.CellAddress, aTokens(), k As Long
    FormulaReachesPast = False
    If sFormula = "" Then Exit Function
    On Error GoTo Unparsed
    If IsNull(oParser) Then
        oParser = oDocument.createInstance("com.sun.star.sheet.FormulaParser")
        oParser.CompileEnglish = True
    End If
    oAt.Sheet = oRange.Sheet
    oAt.Column = oRange.StartColumn
    oAt.Row = oRange.StartRow
    aTokens = oParser.parseFormula(sFormula, oAt)
    For k = 0 To UBound(aTokens)
        If ReachesPast(aTokens(k), oAt.Column, oAt.Row, nRows, nColumns) Then FormulaReachesPast = True
    Next k
Unparsed:
End Function

Sub Add(aList(), vItem)
    ReDim Preserve aList(UBound(aList) + 1)
    aList(UBound(aList)) = vItem
End Sub
)basic";

}  // namespace convert
