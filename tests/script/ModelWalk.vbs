' Opens an RUV file through the registered reference model and walks it by late binding, as a
' script host does: errors as Err.Number with their text, every pipeline and component, the
' navigator by its ProgID, and an edit. Prints a summary; quits with 1 on anything unexpected.
Option Explicit

Dim failures : failures = 0
Sub Expect(condition, what)
    If Not condition Then
        WScript.Echo "FAILED: " & what
        failures = failures + 1
    End If
End Sub

Dim doc, file, pipelines, pipeline, groups, group, component, navigator, added, i, j, k, n, components

Set doc = CreateObject("RUVModel.Document")
On Error Resume Next
doc.Open "Z:\no\such\plant.json"
Expect Err.Number = &H80070002, "a missing file fails with ERROR_FILE_NOT_FOUND (got " & Hex(Err.Number) & ")"
Expect InStr(Err.Description, "plant.json") > 0, "the error names the file: " & Err.Description
Err.Clear
On Error GoTo 0

doc.Open WScript.Arguments(0)
Set file = doc.GetFile()
Set navigator = CreateObject("RUVModel.Navigator")
navigator.Attach file
Set pipelines = file.GetPipelines()
n = pipelines.GetCount()
For i = 0 To n - 1
    Set pipeline = pipelines.Item(i)
    Set groups = pipeline.GetComponentGroups(3, 1)
    For j = 0 To groups.GetCount() - 1
        Set group = groups.Item(j)
        For k = 0 To group.GetCount() - 1
            Set component = group.Item(k).GetComponent()
            Expect navigator.FindOwner(component, 3).GetEntity() Is pipeline, "a component's owner is its pipeline"
            components = components + 1
        Next
    Next
Next
Expect n > 0 And components > 0, "the file has pipelines and components"

Set added = doc.AddPipeline("P-SCRIPT")
Expect pipelines.Item(n).GetName() = "P-SCRIPT", "the new pipeline comes last"
doc.SetBroken component, True
Expect component.GetAttributes().Item("IMPORT-STATUS").GetValue() = "BROKEN", "a component marked broken"
doc.RemovePipeline added
Expect pipelines.GetCount() = n, "the new pipeline is gone again"
If failures = 0 Then WScript.Echo "pipelines=" & n & " components=" & components
If failures > 0 Then WScript.Quit 1
