// The file, its pipelines collection and its type dictionary.
#include "Objects.h"

namespace ruvmodel::com {

ComPtr<FileObject> FileOf(const std::shared_ptr<Session>& session)
{
    return session->Find<FileObject>(Session::Key{&session->Data(), nullptr, kRoleFile},
                                     [&] { return new FileObject(session); });
}

ComPtr<PipelinesObject> PipelinesOf(const std::shared_ptr<Session>& session)
{
    ComPtr<FileObject> file = FileOf(session);
    return session->Find<PipelinesObject>(Session::Key{&session->Data().pipelines, nullptr, kRolePipelines},
                                          [&] { return new PipelinesObject(session, file.Get()); });
}

STDMETHODIMP FileObject::GetPipelines(IRUVPipelines** pipelines)
{
    return Run(L"IRUVFile.GetPipelines", [&] { return ReturnObject(PipelinesOf(m_session), pipelines); });
}

STDMETHODIMP FileObject::GetFileName(BSTR* path)
{
    return Run(L"IRUVFile.GetFileName", [&] { return ReturnText(m_session->Data().path, path); });
}

STDMETHODIMP FileObject::GetTypeDictionary(IDispatch** dictionary)
{
    return Run(L"IRUVFile.GetTypeDictionary", [&] {
        auto object = m_session->Find<TypeDictionaryObject>(
            Session::Key{&m_session->Data().types, nullptr, kRoleTypeDictionary},
            [&] { return new TypeDictionaryObject(m_session, this); });
        return ReturnObject(object, dictionary);
    });
}

STDMETHODIMP FileObject::GetAttributes(IRUVAttributes** attributes)
{
    return Run(L"IRUVFile.GetAttributes", [&] {
        // The document lives as long as the session; no node to keep alive.
        return ReturnObject(AttributesOf(m_session, this, nullptr, &m_session->Data().attributes), attributes);
    });
}

STDMETHODIMP PipelinesObject::Item(VARIANT index, IRUVPipeline** pipeline)
{
    return Run(L"IRUVPipelines.Item", [&] {
        const auto& pipelines = m_session->Data().pipelines;
        const std::optional<size_t> position = PositionOf(index, pipelines.size());
        if (!position)
            return Error(E_INVALIDARG, L"no pipeline at that index");
        return ReturnObject(PipelineObjectFor(m_session, pipelines[*position]), pipeline);
    });
}

STDMETHODIMP PipelinesObject::GetCount(long* count)
{
    return Run(L"IRUVPipelines.GetCount",
               [&] { return ReturnLong(static_cast<long>(m_session->Data().pipelines.size()), count); });
}

namespace {

Text Property(const std::map<Text, std::map<Text, Text>>& table, BSTR name, BSTR property)
{
    auto entry = table.find(name ? name : L"");
    if (entry == table.end())
        return Text();
    auto value = entry->second.find(property ? property : L"");
    return value == entry->second.end() ? Text() : value->second;
}

} // namespace

STDMETHODIMP TypeDictionaryObject::GetComponentTypeProperty(BSTR type, BSTR property, BSTR* value)
{
    return Run(L"IRUVTypeDictionary.GetComponentTypeProperty", [&] {
        return ReturnText(Property(m_session->Data().types.componentTypes, type, property), value);
    });
}

STDMETHODIMP TypeDictionaryObject::GetGroupProperty(BSTR group, BSTR property, BSTR* value)
{
    return Run(L"IRUVTypeDictionary.GetGroupProperty", [&] {
        return ReturnText(Property(m_session->Data().types.groups, group, property), value);
    });
}

STDMETHODIMP TypeDictionaryObject::GetEndTypeDescription(BSTR code, BSTR* description)
{
    return Run(L"IRUVTypeDictionary.GetEndTypeDescription", [&] {
        const auto& endTypes = m_session->Data().types.endTypes;
        auto found = endTypes.find(code ? code : L"");
        return ReturnText(found == endTypes.end() ? Text() : found->second, description);
    });
}

} // namespace ruvmodel::com
