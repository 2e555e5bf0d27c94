// A real tree with the reference object model in-process: the tree harness and the model kit
// together, for the tests of the file displays and the control's logic.
#pragma once

#include <optional>

#include "platform/com/ComPtr.h"
#include "ruv/RUV3TreeDisplay.h"
#include "support/ModelKit.h"
#include "support/TreeHarness.h"

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
    modelkit::InProcessModel& Model() { return *m_model; }

private:
    std::optional<modelkit::InProcessModel> m_model;
};
