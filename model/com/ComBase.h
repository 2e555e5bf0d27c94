// What every COM object of the reference model shares: one identity (IUnknown, IDispatch and its
// own interface are one pointer), IDispatch from the server's type library, rich errors, fault
// injection for tests, and the session of the document it belongs to.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <tuple>

#include "Document.h"
#include "Faults.h"
#include "RUVModel.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ModuleUsage.h"
#include "platform/com/ScopedVariant.h"
#include "platform/com/TypeLibrary.h"

namespace ruvmodel::com {

using platform::ComPtr;

class Session;

// Sets the thread's error information and returns result.
HRESULT Fail(HRESULT result, const std::wstring& description, REFIID iid);

// An object of this server, whatever interface it implements: the navigator recognises entities
// by querying for kModelObjectIid.
class ModelObject {
public:
    virtual ~ModelObject() = default;
    virtual long Kind() const = 0;
    // The object that contains this one (for FindOwner), or null.
    virtual ModelObject* Owner() const = 0;
    // Whether the object is still part of its document (an edit may have removed it).
    virtual bool Attached() const = 0;
    virtual IDispatch* Dispatch() = 0; // no reference added
    virtual ULONG AddRefObject() = 0;
    virtual ULONG ReleaseObject() = 0;

    const std::shared_ptr<Session>& GetSession() const { return m_session; }

protected:
    explicit ModelObject(std::shared_ptr<Session> session) : m_session(std::move(session)) {}

    std::shared_ptr<Session> m_session;
};

// {6B0C9A43-8E2D-4F55-9B7E-1C3D2A4E5F60}: answered only by objects of this server, with a
// ModelObject pointer.
inline constexpr GUID kModelObjectIid = {0x6b0c9a43, 0x8e2d, 0x4f55, {0x9b, 0x7e, 0x1c, 0x3d, 0x2a, 0x4e, 0x5f, 0x60}};

// The model object behind a pointer of this server, with a reference, or null.
ModelObject* ModelObjectOf(IUnknown* unknown);

// The COM object of each model object, while anyone holds one. Keys: the model object's address,
// a second address where one is not enough, and a role (a node can have several collections).
class Session {
public:
    using Key = std::tuple<const void*, const void*, int>;

    explicit Session(std::shared_ptr<Document> document) : m_document(std::move(document)) {}

    Document& Data() { return *m_document; }

    // The object for key, made by create when there is none alive.
    template <typename Object, typename Create>
    ComPtr<Object> Find(const Key& key, Create create)
    {
        auto found = m_objects.find(key);
        if (found != m_objects.end())
            return ComPtr<Object>(static_cast<Object*>(found->second));
        Object* object = create();
        m_objects.emplace(key, object);
        object->SetCacheKey(key);
        return ComPtr<Object>::Attach(object);
    }
    void Forget(const Key& key) { m_objects.erase(key); }

private:
    std::shared_ptr<Document> m_document;
    std::map<Key, ModelObject*> m_objects;
};

// A COM object implementing the dual interface Itf: one identity (IUnknown, IDispatch and Itf are
// one pointer), IDispatch from the module's type library, error information, fault injection for
// tests, and counted twice: as an object of the module (which stays loaded while it lives) and,
// for leak checks in tests, as a model object.
template <typename Itf>
class DispatchObject : public platform::RefCounted<Itf>, public ISupportErrorInfo {
public:
    DispatchObject() { faults::ObjectCreated(); }
    ~DispatchObject() override { faults::ObjectDestroyed(); }
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Itf))
            *object = static_cast<Itf*>(this);
        else if (iid == IID_ISupportErrorInfo)
            *object = static_cast<ISupportErrorInfo*>(this);
        else if (void* extra = QueryExtra(iid))
            *object = extra;
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    // One count for both branches of the object.
    STDMETHODIMP_(ULONG) AddRef() override { return platform::RefCounted<Itf>::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return platform::RefCounted<Itf>::Release(); }

    // IDispatch, from the type library
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = platform::ModuleTypeInfo(__uuidof(Itf)) ? 1 : 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = index == 0 ? platform::ModuleTypeInfo(__uuidof(Itf)).Detach() : nullptr;
        return *info ? S_OK : DISP_E_BADINDEX;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        const ComPtr<ITypeInfo> typeInfo = platform::ModuleTypeInfo(__uuidof(Itf));
        return typeInfo ? DispGetIDsOfNames(typeInfo.Get(), names, count, ids) : E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override
    {
        const ComPtr<ITypeInfo> typeInfo = platform::ModuleTypeInfo(__uuidof(Itf));
        if (!typeInfo)
            return E_NOTIMPL;
        return DispInvoke(static_cast<Itf*>(this), typeInfo.Get(), id, flags, params, result, exception, argError);
    }

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override
    {
        return iid == __uuidof(Itf) ? S_OK : S_FALSE;
    }

protected:
    // Further interfaces a derived class answers (with this object's reference counting).
    virtual void* QueryExtra(REFIID) { return nullptr; }

    // Runs one method: the injected fault if any, then body; exceptions become HRESULTs.
    template <typename Body>
    HRESULT Run(const wchar_t* operation, Body body)
    {
        if (HRESULT injected = faults::Check(operation); FAILED(injected))
            return Error(injected, std::wstring(operation) + L" failed (injected)");
        try {
            return body();
        } catch (const std::bad_alloc&) {
            return Error(E_OUTOFMEMORY, L"out of memory");
        } catch (...) {
            return Error(E_FAIL, std::wstring(operation) + L" failed");
        }
    }
    HRESULT Error(HRESULT result, const std::wstring& description) { return Fail(result, description, __uuidof(Itf)); }

private:
    platform::ModuleObject m_moduleObject;
};

// A model object of one document: also a ModelObject, remembered by the session while alive.
template <typename Itf>
class DualObject : public DispatchObject<Itf>, public ModelObject {
public:
    explicit DualObject(std::shared_ptr<Session> session) : ModelObject(std::move(session)) {}
    ~DualObject() override
    {
        if (m_cached)
            m_session->Forget(m_cacheKey);
    }

    void SetCacheKey(const Session::Key& key)
    {
        m_cacheKey = key;
        m_cached = true;
    }

    IDispatch* Dispatch() override { return static_cast<Itf*>(this); }
    ULONG AddRefObject() override { return this->AddRef(); }
    ULONG ReleaseObject() override { return this->Release(); }

protected:
    void* QueryExtra(REFIID iid) override
    {
        return iid == kModelObjectIid ? static_cast<ModelObject*>(this) : nullptr;
    }

private:
    Session::Key m_cacheKey{};
    bool m_cached = false;
};

// Out-parameter helpers: each checks the pointer and fills it.
HRESULT ReturnText(const Text& text, BSTR* out);
HRESULT ReturnLong(long value, long* out);
HRESULT ReturnBool(bool value, VARIANT_BOOL* out);
HRESULT ReturnDouble(double value, double* out);
HRESULT ReturnValue(const Value& value, VARIANT* out);

template <typename Itf, typename Object>
HRESULT ReturnObject(const ComPtr<Object>& object, Itf** out)
{
    if (!out)
        return E_POINTER;
    *out = object ? static_cast<Itf*>(object.Get()) : nullptr;
    if (*out)
        (*out)->AddRef();
    return S_OK;
}

// The position that a 0-based index (a number, or a text that reads as one) names in a collection
// of count items; none when it names none.
std::optional<size_t> PositionOf(const VARIANT& index, size_t count);

} // namespace ruvmodel::com
