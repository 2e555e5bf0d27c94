// Helpers for tests of the reference model's COM objects, in-process: COM initialised per test,
// a document built from JSON text, and small typed getters that fail the test on an error.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "DocumentObject.h"
#include "Faults.h"
#include "ClassFactory.h"
#include "Navigator.h"
#include "Reader.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"

using platform::ComPtr;
using platform::ScopedBstr;
using platform::ScopedVariant;

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        m_liveAtStart = ruvmodel::faults::LiveObjects();
    }
    void TearDown() override
    {
        ruvmodel::faults::ClearAll();
        m_document.Reset();
        EXPECT_EQ(ruvmodel::faults::LiveObjects(), m_liveAtStart) << "model objects leaked";
        CoUninitialize();
    }

    // A document over the given JSON text (read by the real reader).
    ComPtr<IRUVDocument> Load(const char* json)
    {
        auto data = std::make_shared<ruvmodel::Document>(ruvmodel::ReadDocumentText(json, L"test.json"));
        m_document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
        return m_document;
    }

    ComPtr<IRUVFile> File()
    {
        ComPtr<IRUVFile> file;
        EXPECT_EQ(m_document->GetFile(file.Receive()), S_OK);
        return file;
    }

    static VARIANT Index(long i)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = i;
        return v;
    }

    ComPtr<IRUVPipeline> Pipeline(long i)
    {
        ComPtr<IRUVPipelines> pipelines;
        EXPECT_EQ(File()->GetPipelines(pipelines.Receive()), S_OK);
        ComPtr<IRUVPipeline> pipeline;
        EXPECT_EQ(pipelines->Item(Index(i), pipeline.Receive()), S_OK);
        return pipeline;
    }

    // The k-th component of the pipeline's first all-components group.
    ComPtr<IRUVComponent> Component(long pipeline, long k, long what = 3, long how = 1, long group = 0)
    {
        ComPtr<IRUVComponentGroups> groups;
        EXPECT_EQ(Pipeline(pipeline)->GetComponentGroups(what, how, groups.Receive()), S_OK);
        ComPtr<IRUVComponentGroup> g;
        EXPECT_EQ(groups->Item(group, g.Receive()), S_OK);
        ComPtr<IRUVGroupMember> member;
        EXPECT_EQ(g->Item(k, member.Receive()), S_OK);
        ScopedVariant value;
        EXPECT_EQ(member->GetComponent(value.Get()), S_OK);
        EXPECT_EQ(V_VT(value.Get()), VT_DISPATCH);
        ComPtr<IDispatch> dispatch(V_DISPATCH(value.Get()));
        return dispatch.Query<IRUVComponent>();
    }

    // The description of the thread's error information, or empty.
    static std::wstring ErrorDescription()
    {
        IErrorInfo* info = nullptr;
        if (GetErrorInfo(0, &info) != S_OK || !info)
            return std::wstring();
        ScopedBstr description;
        info->GetDescription(description.Receive());
        info->Release();
        return description.Text();
    }

    ComPtr<IRUVDocument> m_document;

private:
    long m_liveAtStart = 0;
};

// Compares two pointers as identities (their IUnknown).
inline IUnknown* Identity(IUnknown* unknown)
{
    IUnknown* identity = nullptr;
    unknown->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    if (identity)
        identity->Release();
    return identity;
}
