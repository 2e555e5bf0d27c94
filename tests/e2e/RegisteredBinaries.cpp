#include "RegisteredBinaries.h"

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include "support/Regsvr32.h"

#if !defined(RUV_CONTROL_PATH) || !defined(RUV_MODEL_PATH) || !defined(RUV_SAMPLES_DIR)
#error "RUV_CONTROL_PATH, RUV_MODEL_PATH and RUV_SAMPLES_DIR must name the built modules and the samples"
#endif

namespace {

bool g_registered = false;

class Registration : public ::testing::Environment {
public:
    void SetUp() override
    {
        OleInitialize(nullptr);
        g_registered = RunRegsvr32(WindowsPath(RUV_MODEL_PATH), false) == 0 &&
                       RunRegsvr32(WindowsPath(RUV_CONTROL_PATH), false) == 0;
    }
    void TearDown() override
    {
        RunRegsvr32(WindowsPath(RUV_CONTROL_PATH), true);
        RunRegsvr32(WindowsPath(RUV_MODEL_PATH), true);
        OleUninitialize();
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new Registration);

} // namespace

bool BinariesRegistered() { return g_registered; }

std::wstring SamplePath(const wchar_t* name) { return WindowsPath(std::wstring(RUV_SAMPLES_DIR) + L"/" + name); }
