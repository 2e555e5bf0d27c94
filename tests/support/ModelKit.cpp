#include "support/ModelKit.h"

#include <gtest/gtest.h>

#include <memory>

#include "ClassFactory.h"
#include "DocumentObject.h"
#include "Faults.h"
#include "Reader.h"
#include "platform/automation/DispatchDriver.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"

namespace modelkit {

InProcessModel::InProcessModel()
{
    EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    m_liveAtStart = ruvmodel::faults::LiveObjects();
    EXPECT_EQ(CoRegisterClassObject(CLSID_RUVNavigator, ruvmodel::com::ClassFactoryFor(CLSID_RUVNavigator),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie),
              S_OK);
}

InProcessModel::~InProcessModel()
{
    if (!m_finished)
        Finish();
}

void InProcessModel::RevokeNavigator()
{
    if (m_cookie)
        CoRevokeClassObject(m_cookie);
    m_cookie = 0;
}

void InProcessModel::Finish()
{
    m_finished = true;
    ruvmodel::faults::ClearAll();
    RevokeNavigator();
    EXPECT_EQ(ruvmodel::faults::LiveObjects(), m_liveAtStart) << "model objects leaked";
    CoUninitialize();
}

ComPtr<IRUVDocument> Document(const char* json, const wchar_t* path)
{
    auto data = std::make_shared<ruvmodel::Document>(ruvmodel::ReadDocumentText(json, path));
    return ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
}

ComPtr<IRUVFile> FileOf(IRUVDocument* document)
{
    ComPtr<IRUVFile> file;
    EXPECT_EQ(document->GetFile(file.Receive()), S_OK);
    return file;
}

ComPtr<IRUVPipeline> PipelineOf(IRUVFile* file, long index)
{
    ComPtr<IRUVPipelines> pipelines;
    EXPECT_EQ(file->GetPipelines(pipelines.Receive()), S_OK);
    ComPtr<IRUVPipeline> pipeline;
    EXPECT_EQ(pipelines->Item(platform::ScopedVariant(index).Value(), pipeline.Receive()), S_OK);
    return pipeline;
}

ComPtr<IRUVComponent> ComponentOf(IRUVPipeline* pipeline, long k, long what, long how, long group)
{
    ComPtr<IRUVComponentGroups> groups;
    EXPECT_EQ(pipeline->GetComponentGroups(what, how, groups.Receive()), S_OK);
    ComPtr<IRUVComponentGroup> chosen;
    EXPECT_EQ(groups->Item(group, chosen.Receive()), S_OK);
    ComPtr<IRUVGroupMember> member;
    EXPECT_EQ(chosen->Item(k, member.Receive()), S_OK);
    platform::ScopedVariant value;
    EXPECT_EQ(member->GetComponent(value.Receive()), S_OK);
    return ComPtr<IDispatch>(value.Object()).Query<IRUVComponent>();
}

platform::ScopedVariant Call(IUnknown* object, const wchar_t* name, std::vector<platform::ScopedVariant> args)
{
    const ComPtr<IDispatch> dispatch = ComPtr<IUnknown>(object).Query<IDispatch>();
    platform::DispatchResult result = platform::DispatchDriver(dispatch.Get()).Call(name, std::move(args));
    EXPECT_EQ(result.hr, S_OK) << std::string(name, name + wcslen(name)) << " failed";
    return std::move(result.value);
}

ComPtr<IDispatch> Get(IUnknown* object, const wchar_t* name, std::vector<platform::ScopedVariant> args)
{
    return ComPtr<IDispatch>(Call(object, name, std::move(args)).Object());
}

std::wstring ErrorDescription()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Receive()) != S_OK || !info)
        return std::wstring();
    platform::ScopedBstr description;
    info->GetDescription(description.Receive());
    return description.Text();
}

IUnknown* Identity(IUnknown* unknown)
{
    return unknown ? ComPtr<IUnknown>(unknown).Query<IUnknown>().Get() : nullptr;
}

} // namespace modelkit
