// The sample plant's whole branch, in both views of a pipeline's components, against golden text
// dumps checked in beside this file. A change to a dump is a reviewed change: on a mismatch the
// test writes what it saw to the temporary folder, to be compared and, if right, copied.
#include <fstream>
#include <sstream>

#include "Reader.h"
#include "platform/window/TreeDump.h"
#include "support/ModelTreeTest.h"

#ifndef RUV_SAMPLES_DIR
#error "RUV_SAMPLES_DIR must name the samples folder"
#endif
#ifndef RUV_GOLDEN_DIR
#error "RUV_GOLDEN_DIR must name the folder of the golden dumps"
#endif

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
    void ReleaseAll() override { m_display.reset(); }

    void ExpectGolden(const char* name)
    {
        // The file's label is its name without the checkout's folder.
        const std::string path = RUV_SAMPLES_DIR "/plant.json";
        platform::ComPtr<IRUVDocument> document =
            modelkit::Document(ReadFile(path).c_str(), ruvmodel::Widen(path).c_str());
        m_display = std::make_unique<CRUV3TreeDisplay>(&Tree(), &m_settings, modelkit::FileOf(document.Get()));
        m_display->Refresh(nullptr);
        const std::string actual = ruvmodel::Narrow(
            platform::DumpTree(platform::TreeView(Tree().GetSafeHwnd()), nullptr, {.images = true, .data = true}));
        if (actual != ReadFile(std::string(RUV_GOLDEN_DIR) + "/" + name)) {
            char folder[MAX_PATH] = {};
            GetTempPathA(MAX_PATH, folder);
            const std::string seen = std::string(folder) + name + ".actual";
            std::ofstream(seen, std::ios::binary) << actual;
            ADD_FAILURE() << "the branch differs from " << name << "; what was seen is in " << seen;
        }
    }

    CTreeContentSettings m_settings;
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
