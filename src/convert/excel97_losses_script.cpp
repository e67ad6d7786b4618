#include "convert/excel97_losses_script.h"

namespace convert {

const char* const kExcel97LossesScript = R"basic(Option Explicit

' What an Excel 97 workbook cannot hold of a loaded spreadsheet document.
' Quillmere installs this module in the office it runs and calls Losses for
' each document before the document is saved.

' Made at the first call, kept for the others.
Private oSearch As Object

Function Losses(oDocument, nRows, nColumns, nText, nName, nSearchedWhole)
    Dim aLosses(), oSheets As Object, aNames(), bLinks As Boolean, i As Long
    Dim oSheet As Object, oCursor As Object, oEnd As Object, oCells As Object
    On Error GoTo Failed
    aLosses = Array()
    oSheets = oDocument.getSheets()
    aNames = oSheets.getElementNames()
    bLinks = oDocument.getPropertyValue("SheetLinks").hasElements()
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
        End If
    Next i
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

Private Sub Add(aList(), vItem)
    ReDim Preserve aList(UBound(aList) + 1)
    aList(UBound(aList)) = vItem
End Sub
)basic";

}  // namespace convert
