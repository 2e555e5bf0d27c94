#include "control/SelectedItems.h"

#include <memory>

#include "RUVFileTree.h"
#include "platform/automation/TableDispatch.h"
#include "platform/automation/VariantEnumerator.h"

using platform::ComPtr;
using platform::DispatchArgs;
using platform::DispatchMember;
using platform::ObjectGetter;
using platform::ScopedVariant;
using platform::VariantEnumerator;

namespace {

class CSelectedItems : public platform::TableDispatch<IRUVSelectedItems> {
public:
    CSelectedItems(std::vector<ScopedVariant> objects, std::wstring source)
        : TableDispatch(std::move(source)),
          m_objects(std::make_shared<const std::vector<ScopedVariant>>(std::move(objects)))
    {
    }

    STDMETHODIMP get_Count(LONG* count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<LONG>(m_objects->size());
        return S_OK;
    }
    STDMETHODIMP get_Item(LONG index, IDispatch** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (index < 0 || static_cast<size_t>(index) >= m_objects->size())
            return DISP_E_BADINDEX;
        *object = ComPtr<IDispatch>((*m_objects)[static_cast<size_t>(index)].Object()).Detach();
        return S_OK;
    }
    STDMETHODIMP get__NewEnum(IUnknown** enumerator) override
    {
        if (!enumerator)
            return E_POINTER;
        *enumerator = VariantEnumerator::Create(m_objects).Detach();
        return *enumerator ? S_OK : E_OUTOFMEMORY;
    }

protected:
    const std::vector<DispatchMember>& Members() const override { return m_members; }

private:
    // Shared with the enumerators, which may outlive the collection.
    const VariantEnumerator::Values m_objects;
    const std::vector<DispatchMember> m_members{
        {dispidSelectedItemsCount, 0,
         [this](const DispatchArgs&, ScopedVariant& result) {
             result = static_cast<long>(m_objects->size());
             return S_OK;
         },
         nullptr},
        {DISPID_VALUE, 1,
         ObjectGetter<IDispatch>(
             [this](const DispatchArgs& args, IDispatch** object) { return get_Item(args.Long(0), object); }),
         nullptr},
        {DISPID_NEWENUM, 0,
         ObjectGetter<IUnknown>([this](const DispatchArgs&, IUnknown** walk) { return get__NewEnum(walk); }),
         nullptr},
    };
};

} // namespace

ComPtr<IDispatch> MakeSelectedItems(std::vector<ScopedVariant> objects, std::wstring source)
{
    return ComPtr<IDispatch>::Attach(new CSelectedItems(std::move(objects), std::move(source)));
}
