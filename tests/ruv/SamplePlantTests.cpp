// The sample plant's whole branch, in both views of a pipeline's components, against golden text
// dumps checked in beside this file. A change to a dump is a reviewed change: on a mismatch the
// test writes what it saw next to the build's test programs, to be compared and, if right, copied.
#include <fstream>
#include <sstream>

#include "support/ModelTreeTest.h"
#include "DocumentObject.h"
#include "Faults.h"
#include "Reader.h"
#include "platform/window/TreeDump.h"
#include "ruv/RUV3TreeDisplay.h"

#ifndef RUV_SAMPLES_DIR
#error "RUV_SAMPLES_DIR must name the samples folder"
#endif
#ifndef RUV_GOLDEN_DIR
#error "RUV_GOLDEN_DIR must name the folder of the golden dumps"
#endif

using platform::ComPtr;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class SamplePlant : public ModelTreeTest {
protected:
    void SetUp() override
    {
        ModelTreeTest::SetUp();
        auto data = std::make_shared<ruvmodel::Document>(
            ruvmodel::ReadDocumentFile(std::string(RUV_SAMPLES_DIR) + "/plant.json"));
        data->path = L"plant.json"; // the label, whatever the checkout's folder
        m_document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
        m_file = modelkit::FileOf(m_document.Get());
    }
    void ReleaseAll() override
    {
        m_display.reset();
        m_file.Reset();
        m_document.Reset();
    }

    void ExpectGolden(const char* name)
    {
        m_display = std::make_unique<CRUV3TreeDisplay>(&Tree(), &m_settings, m_file);
        m_display->Refresh(nullptr);
        const std::string actual = ruvmodel::Narrow(
            platform::DumpTree(platform::TreeView(Tree().GetSafeHwnd()), nullptr, {.images = true, .data = true}));
        const std::string golden = ReadFile(std::string(RUV_GOLDEN_DIR) + "/" + name);
        if (actual != golden) {
            // What was seen goes to the temporary folder, never into the checkout.
            char folder[MAX_PATH] = {};
            GetTempPathA(MAX_PATH, folder);
            const std::string seen = std::string(folder) + name + ".actual";
            std::ofstream(seen, std::ios::binary) << actual;
            ADD_FAILURE() << "the branch differs from " << name << "; what was seen is in " << seen;
        }
    }

    CTreeContentSettings m_settings;
    ComPtr<IRUVDocument> m_document;
    ComPtr<IRUVFile> m_file;
    std::unique_ptr<CRUV3TreeDisplay> m_display;
};

TEST_F(SamplePlant, ComponentListView)
{
    ExpectGolden("plant-components.txt");
}

TEST_F(SamplePlant, SpoolView)
{
    m_settings.SetShowSpools(1);
    ExpectGolden("plant-spools.txt");
}

} // namespace
