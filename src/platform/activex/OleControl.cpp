#include "platform/activex/OleControl.h"

#include "platform/window/MessageScope.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

OleControl::OleControl(IUnknown* outer, ControlIdentity identity)
    : m_identity(std::move(identity)),
      m_outer(outer ? outer : &m_inner),
      m_points(&m_inner, {m_identity.eventInterface, IID_IPropertyNotifySink}),
      m_extent(kDefaultControlExtent),
      m_font([this] { FontChanged(); })
{
}

OleControl::~OleControl()
{
    DestroyControlWindow();
    m_points.UnadviseAll();
}

STDMETHODIMP OleControl::InnerUnknown::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = iid == IID_IUnknown ? static_cast<IUnknown*>(this) : m_owner.InterfaceFor(iid);
    if (!*object)
        return E_NOINTERFACE;
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) OleControl::InnerUnknown::Release()
{
    const ULONG left = --m_references;
    if (left == 0) {
        // A container may let go of the control from inside one of its events, while the
        // control's or the tree's window procedure is still running: the object goes after it.
        OleControl* owner = &m_owner;
        DeferUntilMessagesReturn([owner] {
            owner->DestroyControlWindow();
            delete owner;
        });
    }
    return left;
}

void* OleControl::InterfaceFor(REFIID iid)
{
    if (iid == IID_IDispatch || iid == m_identity.dispatchInterface)
        return static_cast<IDispatch*>(this);
    if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        return static_cast<IProvideClassInfo2*>(this);
    if (iid == IID_IConnectionPointContainer)
        return static_cast<IConnectionPointContainer*>(this);
    if (iid == IID_IOleObject)
        return static_cast<IOleObject*>(this);
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        return static_cast<IOleInPlaceObject*>(this);
    if (iid == IID_IOleInPlaceActiveObject)
        return static_cast<IOleInPlaceActiveObject*>(this);
    if (iid == IID_IOleControl)
        return static_cast<IOleControl*>(this);
    if (iid == IID_IViewObject || iid == IID_IViewObject2)
        return static_cast<IViewObject2*>(this);
    if (iid == IID_ISpecifyPropertyPages)
        return static_cast<ISpecifyPropertyPages*>(this);
    // IPersistStream is the first part of IPersistStreamInit.
    if (iid == IID_IPersist || iid == IID_IPersistStream || iid == IID_IPersistStreamInit)
        return static_cast<IPersistStreamInit*>(this);
    if (iid == IID_IPersistPropertyBag)
        return static_cast<IPersistPropertyBag*>(this);
    if (iid == IID_IPersistStorage)
        return static_cast<IPersistStorage*>(this);
    return nullptr;
}

STDMETHODIMP OleControl::GetPages(CAUUID* pages)
{
    if (!pages)
        return E_POINTER;
    const auto count = static_cast<ULONG>(m_identity.propertyPages.size());
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(count * sizeof(GUID)));
    if (!pages->pElems)
        return E_OUTOFMEMORY;
    for (ULONG i = 0; i < count; ++i)
        pages->pElems[i] = m_identity.propertyPages[i];
    pages->cElems = count;
    return S_OK;
}

void OleControl::FireEvent(DISPID id, const std::vector<ScopedVariant>& args)
{
    if (m_freezeCount > 0 || m_destroying)
        return;
    if (const ConnectionPoint* point = m_points.Point(m_identity.eventInterface))
        platform::FireEvent(*point, id, args);
}

void OleControl::BoundPropertyChanged(DISPID id)
{
    if (m_quietNotices)
        return;
    if (const ConnectionPoint* point = m_points.Point(IID_IPropertyNotifySink))
        NotifyPropertyChanged(*point, id);
}

bool OleControl::BoundPropertyRequestEdit(DISPID id)
{
    const ConnectionPoint* point = m_points.Point(IID_IPropertyNotifySink);
    return !point || RequestPropertyEdit(*point, id);
}

STDMETHODIMP OleControl::FreezeEvents(BOOL freeze)
{
    if (freeze)
        ++m_freezeCount;
    else if (m_freezeCount > 0)
        --m_freezeCount;
    return S_OK;
}

void OleControl::SetStockShort(DISPID id, short& member, short value)
{
    if (value != 0 && value != 1)
        RaiseComError(kInvalidPropertyValue);
    if (!BoundPropertyRequestEdit(id))
        RaiseComError(kSetNotPermitted);
    member = value;
    ApplyWindowStyles();
    SetModifiedFlag();
    BoundPropertyChanged(id);
}

void OleControl::SetBorderStyle(short style) { SetStockShort(DISPID_BORDERSTYLE, m_borderStyle, style); }

void OleControl::SetAppearance(short appearance) { SetStockShort(DISPID_APPEARANCE, m_appearance, appearance); }

void OleControl::SetEnabled(BOOL enabled)
{
    if (!BoundPropertyRequestEdit(DISPID_ENABLED))
        RaiseComError(kSetNotPermitted);
    m_enabled = enabled ? TRUE : FALSE;
    if (m_hWnd)
        EnableWindow(m_hWnd, m_enabled);
    SetModifiedFlag();
    BoundPropertyChanged(DISPID_ENABLED);
}

void OleControl::SetFont(IFont* font)
{
    const HRESULT result = m_font.Set(font); // reports the change through FontChanged
    if (FAILED(result))
        RaiseComError(result);
    // Nothing gives the font back to the container: its ambient font applies again.
    m_fontSetByHost = font != nullptr;
    ApplyAmbientFont();
}

void OleControl::FontChanged()
{
    OnFontChanged();
    if (m_quietFontChange)
        return;
    SetModifiedFlag();
    BoundPropertyChanged(DISPID_FONT);
}

ScopedVariant OleControl::AmbientProperty(DISPID id)
{
    ScopedVariant value;
    DISPPARAMS none{};
    if (m_ambient && FAILED(m_ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                              value.Receive(), nullptr, nullptr)))
        value.Receive(); // a failed call leaves nothing
    return value;
}

void OleControl::ApplyAmbientFont()
{
    // The container's font is the control's until the host gives the control one of its own.
    if (m_fontSetByHost)
        return;
    ComPtr<IFont> font = QueryOrNull<IFont>(AmbientProperty(DISPID_AMBIENT_FONT).Object());
    if (!font)
        return;
    SetFontQuietly(font.Get());
}

void OleControl::SetFontQuietly(IFont* font)
{
    m_quietFontChange = true;
    m_font.Set(font);
    m_quietFontChange = false;
}

} // namespace platform
