// The navigator: classifies the objects of the one file it is attached to.
#include "Navigator.h"

namespace ruvmodel::com {
namespace {

// A navigator's answer to FindOwner: a holder of one object, or of none.
class EntityRefObject final : public DispatchObject<IRUVEntityRef> {
public:
    explicit EntityRefObject(ComPtr<IDispatch> entity) : m_entity(std::move(entity)) {}

    STDMETHODIMP GetEntity(IDispatch** entity) override
    {
        return Run(L"IRUVEntityRef.GetEntity", [&] {
            if (!entity)
                return E_POINTER;
            *entity = m_entity.Get();
            if (*entity)
                (*entity)->AddRef();
            return S_OK;
        });
    }

private:
    ComPtr<IDispatch> m_entity;
};

} // namespace

STDMETHODIMP NavigatorObject::Attach(IRUVFile* file)
{
    return Run(L"IRUVNavigator.Attach", [&] {
        ComPtr<FileObject> object = ObjectAs<FileObject>(file);
        if (!object)
            return Error(E_INVALIDARG, L"the navigator attaches to a file of this object model only");
        m_file = object;
        return S_OK;
    });
}

long NavigatorObject::KindOf(IUnknown* entity) const
{
    ModelObject* object = ModelObjectOf(entity);
    if (!object)
        return RUVKindNotOfFile;
    long kind = RUVKindNotOfFile;
    if (m_file && object->GetSession() == m_file->GetSession() && object->Attached())
        kind = object->Kind();
    object->ReleaseObject();
    return kind;
}

STDMETHODIMP NavigatorObject::GetEntityKind(IUnknown* entity, long* kind)
{
    return Run(L"IRUVNavigator.GetEntityKind", [&] {
        if (!m_file)
            return Error(E_UNEXPECTED, L"the navigator is not attached to a file");
        return ReturnLong(KindOf(entity), kind);
    });
}

STDMETHODIMP NavigatorObject::PrepareEntity(IUnknown*)
{
    return Run(L"IRUVNavigator.PrepareEntity", [] { return S_OK; });
}

STDMETHODIMP NavigatorObject::FindOwner(IUnknown* entity, long kind, IRUVEntityRef** owner)
{
    return Run(L"IRUVNavigator.FindOwner", [&] {
        if (!owner)
            return E_POINTER;
        *owner = nullptr;
        if (!m_file)
            return Error(E_UNEXPECTED, L"the navigator is not attached to a file");
        ComPtr<IDispatch> found;
        if (KindOf(entity) != RUVKindNotOfFile) {
            ModelObject* object = ModelObjectOf(entity);
            for (ModelObject* up = object->Owner(); up; up = up->Owner()) {
                if (up->Kind() == kind) {
                    found = ComPtr<IDispatch>(up->Dispatch());
                    break;
                }
            }
            object->ReleaseObject();
        }
        *owner = new EntityRefObject(found);
        return S_OK;
    });
}

} // namespace ruvmodel::com
