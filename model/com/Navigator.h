// The navigator class (RUVNavigator): the display creates one per file and attaches it.
#pragma once

#include "Objects.h"

namespace ruvmodel::com {

class NavigatorObject final : public DispatchObject<IRUVNavigator> {
public:
    STDMETHODIMP Attach(IRUVFile* file) override;
    STDMETHODIMP GetEntityKind(IUnknown* entity, long* kind) override;
    STDMETHODIMP PrepareEntity(IUnknown* entity) override;
    STDMETHODIMP FindOwner(IUnknown* entity, long kind, IRUVEntityRef** owner) override;

private:
    long KindOf(IUnknown* entity) const;

    ComPtr<FileObject> m_file;
};

} // namespace ruvmodel::com
