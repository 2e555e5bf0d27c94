// Test support: a model operation made to fail with a chosen HRESULT on its n-th call, and the
// number of model COM objects alive. Linked into tests directly; no COM interface exposes it.
#pragma once

#include <windows.h>

#include <string>

namespace ruvmodel::faults {

// Makes operation (named "Interface.Method", e.g. "IRUVPipeline.GetName") return result on its
// call number nth (1 = the next call) counted from now. One plan per operation.
void Inject(const std::wstring& operation, int nth, HRESULT result);
void ClearAll();
// The result the operation must give now: S_OK, or the injected failure.
HRESULT Check(const wchar_t* operation);

// Makes IRUVInformationItem::HasPoint answer this value where it would answer VARIANT_TRUE
// (0: no override), for hosts' object models that answer 1.
void OverrideHasPointTrue(short value);
short HasPointTrue();

long LiveObjects();
void ObjectCreated();
void ObjectDestroyed();

} // namespace ruvmodel::faults
