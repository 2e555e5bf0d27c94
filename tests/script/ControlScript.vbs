' Drives the registered control and model by late binding, as a script host does: creates them by
' ProgID, adds a file, sets keyed and flag properties, selects and walks the selection, and checks
' that failures of both reach the script as Err.Number. Prints a summary; quits with 1 on failure.
Option Explicit

Dim failures : failures = 0
Sub Expect(condition, what)
    If Not condition Then
        WScript.Echo "FAILED: " & what
        failures = failures + 1
    End If
End Sub

' The error a statement ended with; the error is cleared for the next one.
Function ErrorOf()
    ErrorOf = Err.Number
    Err.Clear
End Function

Dim tree, doc, file, selected, pipelines, units, navigator
Set tree = CreateObject("CORBEL.CorbelCtrl.1")
Set doc = CreateObject("RUVModel.Document")
On Error Resume Next
doc.Open "Z:\no\such\plant.json"
Expect Err.Number = &H80070002, "a missing file: ERROR_FILE_NOT_FOUND (got " & Hex(Err.Number) & ")"
Expect InStr(Err.Description, "plant.json") > 0, "the model's error names the file: " & Err.Description
Err.Clear
On Error GoTo 0
doc.Open WScript.Arguments(0)
Set file = doc.GetFile()

tree.AddRUVFile file
Expect tree.SelectedItemCount = 0, "nothing selected after adding a file"

' Keyed properties (with the key as an argument of a put) and flags, as a script writes them.
tree.WorkingUnits("Coordinates") = 3
tree.AttributeWorkingUnits("BORE") = "Coordinates"
tree.ShowSpools = True
tree.UpdateAll
Expect tree.WorkingUnits("Coordinates") = 3, "length units read back"
Expect tree.AttributeWorkingUnits("BORE") = "Coordinates", "attribute units read back"
Expect tree.ShowSpools, "spools on"

' Selection by the script's own objects, read back as objects; the model's navigator by its ProgID.
Set pipelines = file.GetPipelines()
Set navigator = CreateObject("RUVModel.Navigator")
navigator.Attach file
Expect navigator.FindOwner(pipelines.Item(1), 1).GetEntity() Is file, "a pipeline's owning file"
tree.SetSelection pipelines.Item(1)
Expect tree.SelectedItem(0).GetName() = pipelines.Item(1).GetName(), "the selected object is the pipeline"

' The selection as a collection: indexed from 0 (Item is its default member), walked by For Each,
' and kept as it was when it was read.
tree.AddToSelection file
Dim items, item, mismatch, walked : walked = 0
Set items = tree.SelectedItems
Expect tree.SelectedItems(1) Is tree.SelectedItem(1), "SelectedItems(1) is SelectedItem(1)"
tree.ClearSelection
For Each item In items
    Expect item Is items(walked), "For Each gives the objects in Item's order"
    walked = walked + 1
Next
Expect walked = 2 And items.Count = 2, "the collection keeps the two objects it was read with"

' Failures reach the script as Err.Number; the control framework's own errors (facility 0x0A) as their
' short numbers, as script hosts show them.
On Error Resume Next
Set selected = tree.SelectedItem(5)
Expect ErrorOf() = &H8002000B, "an index outside the selection: DISP_E_BADINDEX"
Set selected = tree.SelectedItems(5)
Expect ErrorOf() = &H8002000B, "an index outside the collection: DISP_E_BADINDEX"
Set selected = tree.SelectedItem("first")
mismatch = ErrorOf()
Set selected = items.Item("first")
Expect mismatch <> 0 And ErrorOf() = mismatch, "an index that is no number: as SelectedItem fails"
tree.AddRUVFile Nothing
Expect ErrorOf() = &H80070057, "no file: E_INVALIDARG"
tree.AddRUVFile doc
Expect ErrorOf() = &H80070057, "an object that is no file: E_INVALIDARG"
tree.SelectedItemCount = 3
Expect ErrorOf() = 383, "a read-only property: set not supported"
tree.BorderStyle = 7
Expect ErrorOf() = 380, "an impossible border style: invalid property value"
tree.NoSuchMember
Expect ErrorOf() <> 0, "an unknown member"
On Error GoTo 0

tree.RemoveRUVFile file
WScript.Echo "checked, failures=" & failures
If failures > 0 Then WScript.Quit 1
WScript.Quit 0
