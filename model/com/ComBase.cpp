#include "ComBase.h"

#include <mutex>

namespace ruvmodel::com {
namespace {

// The type library is a resource of the module this code is linked into (the server DLL, or a
// test program that embeds the same resource).
ITypeLib* TypeLibrary()
{
    static ITypeLib* library = [] {
        HMODULE module = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&TypeLibrary), &module);
        wchar_t path[MAX_PATH * 4];
        DWORD length = GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
        ITypeLib* loaded = nullptr;
        if (length > 0 && length < std::size(path))
            LoadTypeLibEx(path, REGKIND_NONE, &loaded);
        return loaded; // kept for the life of the module
    }();
    return library;
}

} // namespace

ITypeInfo* TypeInfoOf(REFIID iid)
{
    static std::mutex mutex;
    static std::map<GUID, ITypeInfo*, bool (*)(const GUID&, const GUID&)> infos(
        [](const GUID& a, const GUID& b) { return memcmp(&a, &b, sizeof(GUID)) < 0; });
    std::lock_guard<std::mutex> lock(mutex);
    auto found = infos.find(iid);
    if (found != infos.end())
        return found->second;
    ITypeInfo* info = nullptr;
    if (ITypeLib* library = TypeLibrary())
        library->GetTypeInfoOfGuid(iid, &info);
    infos.emplace(iid, info);
    return info;
}

HRESULT Fail(HRESULT result, const std::wstring& description, REFIID iid)
{
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(L"RUVModel"));
        create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return result;
}

ModelObject* ModelObjectOf(IUnknown* unknown)
{
    void* object = nullptr;
    if (!unknown || FAILED(unknown->QueryInterface(kModelObjectIid, &object)))
        return nullptr;
    return static_cast<ModelObject*>(object);
}

HRESULT ReturnText(const Text& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnLong(long value, long* out)
{
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

HRESULT ReturnBool(bool value, VARIANT_BOOL* out)
{
    if (!out)
        return E_POINTER;
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT ReturnDouble(double value, double* out)
{
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

HRESULT ReturnValue(const Value& value, VARIANT* out)
{
    if (!out)
        return E_POINTER;
    VariantInit(out);
    if (const Text* text = std::get_if<Text>(&value)) {
        V_VT(out) = VT_BSTR;
        V_BSTR(out) = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
        return V_BSTR(out) ? S_OK : E_OUTOFMEMORY;
    }
    if (const double* number = std::get_if<double>(&value)) {
        V_VT(out) = VT_R8;
        V_R8(out) = *number;
    } else if (const bool* flag = std::get_if<bool>(&value)) {
        V_VT(out) = VT_BOOL;
        V_BOOL(out) = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        V_VT(out) = VT_EMPTY;
    }
    return S_OK;
}

bool IndexFromVariant(const VARIANT& index, long& value)
{
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&index), 0, VT_I4)))
        return false;
    value = V_I4(&converted);
    return true;
}

} // namespace ruvmodel::com
