#include "platform/com/TypeLibrary.h"

#include <oleauto.h>

#include <cstring>
#include <map>
#include <mutex>

#include "platform/com/Module.h"

namespace platform {

namespace {

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }
};

} // namespace

ComPtr<ITypeLib> ModuleTypeLibrary()
{
    static const ComPtr<ITypeLib> library = [] {
        ComPtr<ITypeLib> loaded;
        if (FAILED(LoadTypeLibEx(ThisModulePath().c_str(), REGKIND_NONE, loaded.Receive())))
            loaded.Reset();
        return loaded;
    }();
    return library;
}

ComPtr<ITypeInfo> ModuleTypeInfo(REFGUID guid)
{
    static std::mutex mutex;
    static std::map<GUID, ComPtr<ITypeInfo>, GuidLess> infos;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = infos.find(guid);
    if (found != infos.end())
        return found->second;
    ComPtr<ITypeInfo> info;
    if (ComPtr<ITypeLib> library = ModuleTypeLibrary(); library && FAILED(library->GetTypeInfoOfGuid(guid, info.Receive())))
        info.Reset();
    infos.emplace(guid, info);
    return info;
}

ComPtr<ITypeInfo> LibraryTypeInfo(const wchar_t* file, REFGUID guid)
{
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> info;
    if (FAILED(LoadTypeLibEx(file, REGKIND_NONE, library.Receive())) ||
        FAILED(library->GetTypeInfoOfGuid(guid, info.Receive())))
        return ComPtr<ITypeInfo>();
    HREFTYPE dual = 0;
    ComPtr<ITypeInfo> vtable;
    if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &dual)) && SUCCEEDED(info->GetRefTypeInfo(dual, vtable.Receive())))
        return vtable;
    return info;
}

} // namespace platform
