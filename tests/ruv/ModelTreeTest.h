// A real tree with the reference object model in-process: COM initialised, the navigator's class
// registered, documents built from JSON text, and a check that no model object leaks.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "../model/InProcessModel.h"
#include "../tree/TreeHarness.h"
#include "DocumentObject.h"
#include "Reader.h"
#include "platform/com/ComPtr.h"
#include "ruv/RUV3TreeDisplay.h"

class ModelTreeTest : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        m_model.emplace();
        Build({});
    }
    void TearDown() override
    {
        ReleaseAll();
        m_model->Finish();
        TreeTest::TearDown();
    }
    // Tests release what they hold on the model here.
    virtual void ReleaseAll() {}
    InProcessModel& Model() { return *m_model; }

    // A document over JSON text, named path, and its file object.
    static platform::ComPtr<IRUVDocument> Document(const char* json, const wchar_t* path)
    {
        auto data = std::make_shared<ruvmodel::Document>(ruvmodel::ReadDocumentText(json, path));
        return platform::ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
    }
    static platform::ComPtr<IRUVFile> FileOf(const platform::ComPtr<IRUVDocument>& document)
    {
        platform::ComPtr<IRUVFile> file;
        EXPECT_EQ(document->GetFile(file.Receive()), S_OK);
        return file;
    }

    // The pipeline of a file at an index, and the k-th component of its first all-components group.
    static platform::ComPtr<IRUVPipeline> PipelineOf(const platform::ComPtr<IRUVFile>& file, long index)
    {
        platform::ComPtr<IRUVPipelines> pipelines;
        EXPECT_EQ(file->GetPipelines(pipelines.Receive()), S_OK);
        VARIANT position;
        VariantInit(&position);
        V_VT(&position) = VT_I4;
        V_I4(&position) = index;
        platform::ComPtr<IRUVPipeline> pipeline;
        EXPECT_EQ(pipelines->Item(position, pipeline.Receive()), S_OK);
        return pipeline;
    }
    static platform::ComPtr<IRUVComponent> ComponentOf(const platform::ComPtr<IRUVFile>& file, long k)
    {
        platform::ComPtr<IRUVComponentGroups> groups;
        PipelineOf(file, 0)->GetComponentGroups(3, 1, groups.Receive());
        platform::ComPtr<IRUVComponentGroup> group;
        groups->Item(0, group.Receive());
        platform::ComPtr<IRUVGroupMember> member;
        group->Item(k, member.Receive());
        return CRUV3TreeDisplay::ComponentOfMember(member);
    }

private:
    std::optional<InProcessModel> m_model;
};
