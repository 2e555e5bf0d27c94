// The base of an ActiveX control: one COM identity (aggregatable) with automation over a member
// table, class information, connection points for events and property notices, embedding and
// in-place activation in a container, view and property-page interfaces, the stock properties
// BorderStyle, Appearance, Enabled and Font, and the modified flag.
//
// The control's window is its own: created on demand under the thread's parking window, so that
// every method works before a container shows the control, moved into the container on in-place
// activation and back to the parking window on deactivation. Derived controls fill the hooks.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <shellapi.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/AutomationError.h"
#include "platform/com/ComError.h"
#include "platform/com/ComPtr.h"
#include "platform/automation/ConnectionPoints.h"
#include "platform/automation/DispatchTable.h"
#include "platform/com/ModuleUsage.h"
#include "platform/window/ParkingWindow.h"
#include "platform/activex/PropertyExchange.h"
#include "platform/activex/StockFont.h"
#include "platform/com/ScopedVariant.h"
#include "platform/window/WindowObject.h"

namespace platform {

// What a control class is: its identities, its type library and how containers should treat it.
struct ControlIdentity {
    CLSID clsid;
    IID dispatchInterface;
    IID eventInterface;
    GUID typeLibrary;
    WORD typeLibraryMajor;
    WORD typeLibraryMinor;
    DWORD miscStatus;
    UINT userTypeNameId; // string resource of the module
    std::vector<CLSID> propertyPages;
    std::wstring windowClass;
    std::wstring errorSource; // names the control in automation errors
};

// A new control's size: 200 x 150 pixels at 96 dots per inch, in HIMETRIC.
inline constexpr SIZEL kDefaultControlExtent{5292, 3969};

// The control framework's errors for stock properties.
inline constexpr HRESULT kInvalidPropertyValue = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380);
inline constexpr HRESULT kSetNotPermitted = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 387);

class OleControl : public IDispatch,
                   public IProvideClassInfo2,
                   public IConnectionPointContainer,
                   public IOleObject,
                   public IOleInPlaceObject,
                   public IOleInPlaceActiveObject,
                   public IOleControl,
                   public IViewObject2,
                   public ISpecifyPropertyPages,
                   public IPersistStreamInit,
                   public IPersistPropertyBag,
                   public IPersistStorage,
                   public WindowObject {
public:
    // Creates a Control (constructed from outer) and answers iid; the object goes with its last
    // reference.
    template <typename Control>
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object)
    {
        auto* control = new Control(outer);
        const HRESULT result = control->m_inner.QueryInterface(iid, object);
        control->m_inner.Release();
        return result;
    }

    // IUnknown: the outer object's when aggregated.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return m_outer->QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return m_outer->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_outer->Release(); }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override { return m_points.Enum(points); }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        return m_points.Find(iid, point);
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT rect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* name) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, for both in-place interfaces
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceObject
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }
    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG message) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDC, HDC drawDC,
                      LPCRECTL bounds, LPCRECTL metafileBounds, BOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR),
                      ULONG_PTR keepGoingArgument) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return OLE_E_NOCONNECTION; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // Persistence, all through DoPropExchange. IPersist, and what the three interfaces share:
    // IsDirty, and InitNew without a storage (a new control's reset).
    STDMETHODIMP GetClassID(CLSID* clsid) override { return GetUserClassID(clsid); }
    STDMETHODIMP IsDirty() override { return m_modified ? S_OK : S_FALSE; }
    STDMETHODIMP InitNew() override;
    // IPersistStreamInit, also answering for IPersistStream: the binary layout of StreamExchange.
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    // IPersistPropertyBag: each property under its name.
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    // IPersistStorage: the stream layout in the storage's "Contents" stream.
    STDMETHODIMP InitNew(IStorage* storage) override;
    STDMETHODIMP Load(IStorage* storage) override;
    STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
    STDMETHODIMP HandsOffStorage() override { return S_OK; }

    // The control window, created under the parking window when it does not exist yet; null
    // only if it cannot be created.
    HWND EnsureWindow();

    // Stock properties. The setters ask the property-notice sinks first (BorderStyle, Appearance
    // and Enabled are request-edit), then change, mark modified and report the change; a refused
    // edit raises kSetNotPermitted and a value out of range kInvalidPropertyValue.
    short GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(short style);
    short GetAppearance() const { return m_appearance; }
    void SetAppearance(short appearance);
    BOOL GetEnabled() const { return m_enabled; }
    void SetEnabled(BOOL enabled);
    ComPtr<IFontDisp> GetFont() const { return m_font.Get(); }
    // A copy of font becomes the control's font; null restores the default.
    void SetFont(IFont* font);
    HFONT FontHandle() const { return m_font.Handle(); }

protected:
    OleControl(IUnknown* outer, ControlIdentity identity);
    virtual ~OleControl();

    // The control's own members of its automation interface; the stock members are added.
    virtual std::vector<DispatchMember> ControlMembers() = 0;
    // The window hooks. OnCreate builds the children of the new control window; false fails the
    // creation.
    virtual bool OnCreate(HWND window) = 0;
    virtual void OnSize(int, int) {}
    virtual void OnSetFocus() {}
    virtual bool OnNotify(const NMHDR&, LRESULT&) { return false; }
    virtual void OnDropFiles(HDROP drop) { DragFinish(drop); }
    // A context-menu request that reached the control window: from the keyboard (no position) or
    // from the mouse at a screen point. True when the control answered it; otherwise the container
    // is asked.
    virtual bool OnContextMenu(std::optional<POINT>) { return false; }
    virtual void OnDestroy() {}
    // Keyboard messages before the container sees them; true when the control took the message.
    virtual bool PreTranslateMessage(const MSG&) { return false; }
    virtual void OnFontChanged() {}
    virtual void OnAboutBox() {}

    // Exchanges the persistent properties: the standard state (extent and the stock properties,
    // the font through its own persistence). A control exchanges its format version first, then
    // calls this, then its own properties.
    virtual void DoPropExchange(PropertyExchange& exchange);

    // Fires an event of the event interface with args in declaration order, unless the container
    // froze events or the control is being destroyed.
    void FireEvent(DISPID id, const std::vector<ScopedVariant>& args);
    virtual void SetModifiedFlag(bool modified = true) { m_modified = modified; }
    // Property notices to IPropertyNotifySink sinks.
    virtual void BoundPropertyChanged(DISPID id);
    bool BoundPropertyRequestEdit(DISPID id);

    // Activates the control in its container's window, with its user interface when ui.
    HRESULT InPlaceActivate(bool ui);
    // Destroys the control window; a derived control calls it first in its destructor, while its
    // own members that the window's handlers use still exist.
    void DestroyControlWindow();
    const ControlIdentity& Identity() const { return m_identity; }

private:
    // The object's own IUnknown: its identity, and what an aggregating object holds.
    class InnerUnknown : public IUnknown {
    public:
        explicit InnerUnknown(OleControl& owner) : m_owner(owner) {}
        virtual ~InnerUnknown() = default;
        InnerUnknown(const InnerUnknown&) = delete;
        InnerUnknown& operator=(const InnerUnknown&) = delete;
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
        STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
        STDMETHODIMP_(ULONG) Release() override;

    private:
        OleControl& m_owner;
        std::atomic<ULONG> m_references{1};
    };

    void* InterfaceFor(REFIID iid);
    ComPtr<ITypeLib> TypeLibrary();
    HRESULT TypeInfoOf(const GUID& guid, ITypeInfo** info);
    const std::vector<DispatchMember>& Members();
    std::vector<DispatchMember> StockMembers();
    void SetStockShort(DISPID id, short& member, short value);
    void ApplyWindowStyles();
    // Draws the stock border inside rect and leaves rect as the area within it.
    void DrawBorder(HDC dc, RECT& rect) const;
    // The control's look at its window's size (or its extent's, without a window) into dc:
    // background, border and the child windows as they print themselves.
    void PaintLook(HDC dc, SIZE size);
    // Whether the focus is in the control window or one of its children.
    bool HasFocus() const;
    // Tells the control site when the focus enters or leaves the control's windows.
    void ReportFocus();
    void ApplyAmbientFont();
    void FontChanged();
    ScopedVariant AmbientProperty(DISPID id); // Empty when the container has none
    HRESULT ShowProperties(HWND parent);
    // Runs DoPropExchange; a load or reset sets the values only when all were read, and leaves
    // the control unmodified.
    HRESULT Exchange(PropertyExchange& exchange) noexcept;
    // A control used without InitNew or Load (a script's CreateObject) is reset quietly first, so
    // that it starts as every new control does.
    void EnsureInitialized();
    void SetFontQuietly(IFont* font);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    ModuleObject m_moduleObject;
    ControlIdentity m_identity;
    InnerUnknown m_inner{*this};
    IUnknown* m_outer;
    ConnectionPoints m_points;
    ComPtr<ITypeLib> m_typeLibrary;
    std::vector<DispatchMember> m_members;

    std::optional<ParkingLease> m_parking;
    bool m_destroying = false;
    SIZEL m_extent; // HIMETRIC

    ComPtr<IOleClientSite> m_clientSite;
    ComPtr<IOleControlSite> m_controlSite;
    ComPtr<IDispatch> m_ambient;
    ComPtr<IOleInPlaceSite> m_inPlaceSite;
    ComPtr<IOleInPlaceFrame> m_frame;
    ComPtr<IOleInPlaceUIWindow> m_uiWindow;
    ComPtr<IOleAdviseHolder> m_adviseHolder;
    ComPtr<IAdviseSink> m_viewSink;
    DWORD m_viewAspects = 0;
    DWORD m_viewFlags = 0;
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    bool m_focusReported = false; // the control site last heard OnFocus(TRUE)

    short m_borderStyle = 0;
    short m_appearance = 0;
    BOOL m_enabled = TRUE;
    StockFont m_font;
    bool m_fontSetByHost = false;
    bool m_quietFontChange = false; // an ambient font is no change of the control's own
    bool m_modified = false;
    bool m_initialized = false; // reset or loaded
    bool m_quietNotices = false;
    unsigned m_freezeCount = 0;
};

} // namespace platform
