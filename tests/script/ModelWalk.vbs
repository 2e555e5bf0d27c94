' Opens an RUV file through the registered reference model and walks all of it by late binding,
' as a script host does. Prints a summary; quits with 1 on anything unexpected. (Some script hosts
' end with success on an unhandled error, so every error is caught and reported here.)
Option Explicit

Dim failures : failures = 0
Sub Expect(condition, what)
    If Not condition Then
        WScript.Echo "FAILED: " & what
        failures = failures + 1
    End If
End Sub

Dim doc, file, pipelines, pipeline, groups, group, member, component, material, attributes, attribute
Dim keypoints, items, item, spools, navigator
Dim i, j, k, n, components, broken, attributeCount, keypointCount, spoolCount, itemCount, kind

On Error Resume Next
Walk
If Err.Number <> 0 Then
    WScript.Echo "FAILED: error " & Hex(Err.Number) & ": " & Err.Description
    WScript.Quit 1
End If
If failures > 0 Then WScript.Quit 1
WScript.Quit 0

Sub Walk
Set doc = CreateObject("RUVModel.Document")

' A missing file reaches the script as an error with the file's name.
On Error Resume Next
doc.Open "Z:\no\such\plant.json"
Expect Err.Number = &H80070002, "opening a missing file fails with ERROR_FILE_NOT_FOUND (got " & Hex(Err.Number) & ")"
Expect InStr(Err.Description, "plant.json") > 0, "the error names the file: " & Err.Description
Err.Clear
On Error GoTo 0

doc.Open WScript.Arguments(0)
Set file = doc.GetFile()
Set navigator = CreateObject("RUVModel.Navigator")
navigator.Attach file
Expect navigator.GetEntityKind(file) = 1, "the file is kind 1"

Set pipelines = file.GetPipelines()
n = pipelines.GetCount()
Expect n > 0, "the file has pipelines"
For i = 0 To n - 1
    Set pipeline = pipelines.Item(i)
    Expect navigator.GetEntityKind(pipeline) = 3, "a pipeline is kind 3"
    Set groups = pipeline.GetComponentGroups(3, 1)
    For j = 0 To groups.GetCount() - 1
        Set group = groups.Item(j)
        For k = 0 To group.GetCount() - 1
            Set member = group.Item(k)
            Set component = member.GetComponent()
            Expect navigator.GetEntityKind(component) = 8, "a component is kind 8"
            Expect navigator.FindOwner(component, 3).GetEntity() Is pipeline, "a component's owner is its pipeline"
            components = components + 1
            Set attributes = component.GetAttributes()
            If Not attributes Is Nothing Then
                attributeCount = attributeCount + attributes.GetCount()
                If attributes.Exists("IMPORT-STATUS") Then
                    If attributes.Item("IMPORT-STATUS").GetValue() = "BROKEN" Then broken = broken + 1
                End If
            End If
            Set keypoints = component.GetKeypoints()
            If Not keypoints Is Nothing Then keypointCount = keypointCount + keypoints.GetCount()
            Set material = component.GetMaterial()
            If Not material Is Nothing Then Expect Len(material.GetGroup()) > 0, "a material has a group"
        Next
    Next
    Set spools = pipeline.GetComponentGroups(3, 8)
    spoolCount = spoolCount + spools.GetCount()
    Set items = pipeline.GetInformationItems()
    If Not items Is Nothing Then
        For j = 0 To items.GetCount() - 1
            Set item = items.Item(j)
            itemCount = itemCount + 1
            Expect navigator.GetEntityKind(item) = 15, "a pipeline's information item is kind 15"
        Next
    End If
Next

Expect components > 0, "the file has components"

' Edits by script: a new pipeline, and a component marked broken.
Dim added
Set added = doc.AddPipeline("P-SCRIPT")
Expect pipelines.GetCount() = n + 1, "the new pipeline is counted"
Expect pipelines.Item(n).GetName() = "P-SCRIPT", "the new pipeline comes last"
doc.SetBroken component, True
Expect component.GetAttributes().Item("IMPORT-STATUS").GetValue() = "BROKEN", "a component marked broken"
doc.RemovePipeline added
Expect pipelines.GetCount() = n, "the new pipeline is gone again"
WScript.Echo "pipelines=" & n & " components=" & components & " broken=" & broken & " spools=" & spoolCount & _
             " items=" & itemCount & " attributes=" & attributeCount & " keypoints=" & keypointCount
End Sub
