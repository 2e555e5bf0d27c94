// The reference object model in-process, for tests: COM on the thread with the navigator's class
// registered (the displays create navigators by class ID) and a check that no model object
// leaks; documents from JSON text through the real reader; typed getters for their parts.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "RUVModel.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ScopedVariant.h"

namespace modelkit {

using platform::ComPtr;

class InProcessModel {
public:
    InProcessModel();
    ~InProcessModel();
    InProcessModel(const InProcessModel&) = delete;
    InProcessModel& operator=(const InProcessModel&) = delete;

    // Takes the navigator's class away (for a test of what happens without it).
    void RevokeNavigator();
    // Call after the test released what it held on the model: clears injected faults, checks that
    // every model object made since the start is gone, and leaves COM.
    void Finish();

private:
    DWORD m_cookie = 0;
    long m_liveAtStart = 0;
    bool m_finished = false;
};

// A document over JSON text, as the file at path.
ComPtr<IRUVDocument> Document(const char* json, const wchar_t* path = L"test.json");
ComPtr<IRUVFile> FileOf(IRUVDocument* document);
ComPtr<IRUVPipeline> PipelineOf(IRUVFile* file, long index);
// The k-th component of a pipeline's component groups (what, how) at group.
ComPtr<IRUVComponent> ComponentOf(IRUVPipeline* pipeline, long k, long what = 3, long how = 1, long group = 0);
// A member of a model object called by name, as a script host calls it (a failure fails the test),
// and the object such a call returns: one line per step for tests that walk the model.
platform::ScopedVariant Call(IUnknown* object, const wchar_t* name, std::vector<platform::ScopedVariant> args = {});
ComPtr<IDispatch> Get(IUnknown* object, const wchar_t* name, std::vector<platform::ScopedVariant> args = {});
// The description of the thread's error information, or empty.
std::wstring ErrorDescription();
// The COM identity of an object (its IUnknown), to compare two pointers as one object.
IUnknown* Identity(IUnknown* unknown);

} // namespace modelkit
