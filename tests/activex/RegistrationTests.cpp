// regsvr32 and regsvr32 /u on the built module: every key that containers and class browsers look
// for (the table of expected keys, filled with the identities of the control and its pages), the
// type library's and the interfaces' keys; then none of them left, and removing again succeeds.
#include "HostedControl.h"
#include "support/RegistryKeys.h"
#include "platform/com/RegistryKey.h"

namespace {

using platform::GuidText;
using platform::RegistryKey;

TEST(Registration, Regsvr32WritesEveryKeyAndUnregisteringLeavesNone)
{
    const std::wstring module = ControlModulePath(), library = L"TypeLib\\" + GuidText(LIBID_QuillRUVFileTree);
    auto expected = registrykeys::ControlClass({CLSID_Corbel, L"CORBEL.CorbelCtrl.1", L"Corbel Control", 1, 0x20191,
                                                LIBID_QuillRUVFileTree, L"1.0"},
                                               module);
    for (const auto& [page, name] : {std::pair{CLSID_CorbelPropPage, L"Corbel Property Page"},
                                     std::pair{CLSID_SettingsPropPage, L"Settings Property Page"}}) {
        for (registrykeys::Expected& key : registrykeys::PropertyPageClass(page, name, module))
            expected.push_back(std::move(key));
    }
    expected.push_back({library + L"\\1.0", nullptr, L"Quill RUVFile Tree Control"});
    expected.push_back({L"Interface\\" + GuidText(DIID__DCorbel), nullptr, L"_DCorbel"});
    expected.push_back({L"Interface\\" + GuidText(DIID__DCorbelEvents), nullptr, L"_DCorbelEvents"});
    expected.push_back({L"Interface\\" + GuidText(IID_IRUVSelectedItems), nullptr, L"IRUVSelectedItems"});

    ASSERT_EQ(RunRegsvr32(module, false), 0u);
    for (const registrykeys::Expected& key : expected) {
        const auto value = RegistryKey::Open(HKEY_CLASSES_ROOT, key.path).Text(key.name).value_or(L"(missing)");
        EXPECT_EQ(_wcsicmp(value.c_str(), key.value.c_str()), 0) << key.path << ": " << value; // paths in any case
    }
    ASSERT_EQ(RunRegsvr32(module, true), 0u);
    for (const registrykeys::Expected& key : expected)
        EXPECT_FALSE(RegistryKey::Exists(HKEY_CLASSES_ROOT, key.path)) << key.path;
    EXPECT_FALSE(RegistryKey::Exists(HKEY_CLASSES_ROOT, library));
    EXPECT_EQ(RunRegsvr32(module, true), 0u) << "removing again finds nothing to remove and succeeds";
}

} // namespace
