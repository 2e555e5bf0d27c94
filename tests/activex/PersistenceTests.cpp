// Saving and loading the control's properties through a stream, a property bag and a storage: a new
// control's values, round trips, the binary layout, and damaged data that must fail and change nothing.
#include <algorithm>
#include <cstring>
#include <map>

#include "HostedControl.h"

namespace {

// A property bag as a container keeps one: values by name. It can fail reading one name, as a
// damaged document would.
class MemoryBag : public teststub::ComStub<IPropertyBag> {
public:
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override
    {
        const auto found = values.find(name);
        if (failing == name || found == values.end())
            return failing == name ? E_FAIL : E_INVALIDARG;
        return VariantCopy(value, const_cast<VARIANT*>(&found->second.Value()));
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override { return VariantCopy(values[name].Receive(), value); }

    std::map<std::wstring, ScopedVariant> values;
    std::wstring failing;
};

template <typename T>
T At(const std::vector<BYTE>& bytes, size_t offset)
{
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

template <typename T>
std::vector<BYTE> Patched(std::vector<BYTE> bytes, size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
    return bytes;
}

class Persistence : public HostedControl {
protected:
    void SetUp() override
    {
        HostedControl::SetUp();
        ASSERT_TRUE(stream = As<IPersistStreamInit>());
    }
    void ReleaseAll() override { stream.Reset(); }

    // Every persistent property as a host reads it, in one line.
    std::wstring Read() const
    {
        std::wstring line;
        for (const wchar_t* name : {L"ShowComponentKeypoints", L"ComponentSequenceNos", L"ShowSpools", L"Enabled",
                                    L"ComponentText", L"BorderStyle", L"Appearance"})
            line += std::wstring(name) + L"=" + std::to_wstring(Long(name)) + L" ";
        CY size{};
        QueryOrNull<IFont>(automation.Get(L"Font").value.Object())->get_Size(&size);
        SIZEL extent{};
        object->GetExtent(DVASPECT_CONTENT, &extent);
        return line + L"Font=" + std::to_wstring(size.int64) + L" Extent=" + std::to_wstring(extent.cx) + L"x" +
               std::to_wstring(extent.cy);
    }
    // Every property away from a new control's value.
    void ChangeAll()
    {
        ASSERT_EQ(stream->InitNew(), S_OK);
        for (const wchar_t* name : {L"ShowComponentKeypoints", L"ComponentSequenceNos", L"ShowSpools"})
            automation.Put(name, {true});
        for (const wchar_t* name : {L"ComponentText", L"BorderStyle", L"Appearance"})
            automation.Put(name, {1});
        automation.Put(L"Enabled", {false});
        QueryOrNull<IFont>(automation.Get(L"Font").value.Object())->put_Size(CY{{20 * 10000, 0}});
        SIZEL extent{1000, 2000};
        object->SetExtent(DVASPECT_CONTENT, &extent);
    }
    std::vector<BYTE> Saved()
    {
        ComPtr<IStream> memory;
        CreateStreamOnHGlobal(nullptr, TRUE, memory.Receive());
        EXPECT_EQ(stream->Save(memory.Get(), TRUE), S_OK);
        ULARGE_INTEGER size{};
        memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size);
        std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
        memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
        memory->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
        return bytes;
    }
    HRESULT Load(const std::vector<BYTE>& bytes, size_t count = ~size_t{0})
    {
        ComPtr<IStream> memory;
        CreateStreamOnHGlobal(nullptr, TRUE, memory.Receive());
        memory->Write(bytes.data(), static_cast<ULONG>(std::min(count, bytes.size())), nullptr);
        memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
        return stream->Load(memory.Get());
    }

    ComPtr<IPersistStreamInit> stream;
};

TEST_F(Persistence, StreamKeepsEveryPropertyInTheDocumentedLayout)
{
    // A script host creates the control and calls it: nobody resets it, and it starts as every new
    // control does, without notices and unmodified.
    const std::wstring fresh = Read();
    EXPECT_EQ(fresh.substr(0, fresh.find(L"Font")), L"ShowComponentKeypoints=0 ComponentSequenceNos=0 ShowSpools=0 "
                                                     L"Enabled=-1 ComponentText=0 BorderStyle=0 Appearance=0 ");
    EXPECT_TRUE(notices.changed.empty());
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    EXPECT_EQ(static_cast<void*>(As<IPersistStream>().Get()), static_cast<void*>(stream.Get()));
    CLSID clsid{};
    EXPECT_TRUE(stream->GetClassID(&clsid) == S_OK && clsid == CLSID_Corbel);

    ChangeAll();
    EXPECT_EQ(stream->IsDirty(), S_OK);
    const std::wstring changed = Read();
    ULARGE_INTEGER sizeMax{};
    ASSERT_EQ(stream->GetSizeMax(&sizeMax), S_OK);
    const std::vector<BYTE> bytes = Saved();
    EXPECT_EQ(sizeMax.QuadPart, bytes.size());
    EXPECT_EQ(stream->IsDirty(), S_FALSE) << "saving with clearDirty";
    // Version, extent, border, appearance, enabled, font (its size and its own stream), then the
    // four custom properties.
    ASSERT_GT(bytes.size(), 24u);
    const size_t custom = 24 + At<DWORD>(bytes, 20);
    ASSERT_EQ(bytes.size(), custom + 14u);
    EXPECT_EQ(At<DWORD>(bytes, 0), 0x00010000u);
    EXPECT_TRUE(At<LONG>(bytes, 4) == 1000 && At<LONG>(bytes, 8) == 2000);
    EXPECT_TRUE(At<short>(bytes, 12) == 1 && At<short>(bytes, 14) == 1 && At<LONG>(bytes, 16) == 0);
    EXPECT_TRUE(At<LONG>(bytes, custom) == 1 && At<short>(bytes, custom + 4) == 1 && At<LONG>(bytes, custom + 6) == 1 &&
                At<LONG>(bytes, custom + 10) == 1);

    ASSERT_EQ(stream->InitNew(), S_OK);
    EXPECT_EQ(Read(), fresh);
    notices.changed.clear();
    ASSERT_EQ(Load(bytes), S_OK);
    EXPECT_EQ(Read(), changed);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    EXPECT_EQ(notices.changed, (std::vector<DISPID>{dispidShowComponentKeypoints, dispidComponentText,
                                                     dispidComponentSequenceNos, dispidShowSpools}))
        << "the custom properties went through their setters";
    // A stored component text other than the two choices keeps the current one.
    ASSERT_EQ(stream->InitNew(), S_OK);
    ASSERT_EQ(Load(Patched<short>(bytes, custom + 4, 7)), S_OK);
    EXPECT_EQ(Long(L"ComponentText"), 0);
}

TEST_F(Persistence, TruncatedDamagedOrNewerDataIsRefusedWithoutAChangeAndOlderIsRead)
{
    ChangeAll();
    const std::vector<BYTE> good = Saved();
    ASSERT_EQ(stream->InitNew(), S_OK);
    const std::wstring before = Read();
    for (size_t length = 0; length < good.size(); ++length) {
        const HRESULT hr = Load(good, length);
        EXPECT_TRUE(hr == platform::kDataTruncated || hr == platform::kDataCorrupt) << length << " " << std::hex << hr;
        ASSERT_EQ(Read(), before) << "a failed load changed the control at length " << length;
    }
    const std::string foreign = "<html>not a control</html>";
    const std::pair<std::vector<BYTE>, HRESULT> damages[] = {
        {Patched<DWORD>(good, 0, 0x00020000), platform::kNewerFormat},  // a newer major version
        {Patched<DWORD>(good, 0, 0x00010001), platform::kNewerFormat},  // a newer minor version
        {Patched<LONG>(good, 4, -5), platform::kDataCorrupt},           // a negative extent
        {Patched<short>(good, 12, 2), platform::kDataCorrupt},          // a border style that does not exist
        {Patched<short>(good, 14, -1), platform::kDataCorrupt},         // an appearance that does not exist
        {Patched<DWORD>(good, 20, 0x7FFFFFFF), platform::kDataCorrupt}, // a font larger than any font
        {Patched<DWORD>(good, 24, 0x12345678), platform::kDataCorrupt}, // a font stream that is no font
        {std::vector<BYTE>(foreign.begin(), foreign.end()), E_FAIL},    // not ours: any failure
    };
    for (const auto& [bytes, expected] : damages) {
        const HRESULT hr = Load(bytes);
        EXPECT_TRUE(hr == expected || (expected == E_FAIL && FAILED(hr))) << &bytes - &damages[0].first;
        EXPECT_EQ(Read(), before) << &bytes - &damages[0].first;
    }
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    // An older version of the format is read, and saved as the current one next time.
    ASSERT_EQ(Load(Patched<DWORD>(good, 0, 0x00000001)), S_OK);
    EXPECT_EQ(Long(L"ShowComponentKeypoints"), -1);
    EXPECT_EQ(At<DWORD>(Saved(), 0), 0x00010000u);
}

TEST_F(Persistence, PropertyBagAndStorageKeepEveryProperty)
{
    ChangeAll();
    const std::wstring changed = Read();
    MemoryBag bag;
    auto persist = As<IPersistPropertyBag>();
    ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
    std::wstring names;
    for (const auto& [name, value] : bag.values)
        names += name + L" ";
    EXPECT_EQ(names, L"Appearance BorderStyle ComponentSequenceNos ComponentText Enabled Font ShowComponentKeypoints "
                     L"ShowSpools _ExtentX _ExtentY _Version ");
    EXPECT_EQ(bag.values[L"ComponentText"].ToLong(), 1);
    ASSERT_EQ(persist->InitNew(), S_OK);
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(Read(), changed);
    // Names a bag lacks take a new control's values; text that is no number, a bag that fails and
    // a newer version are refused and change nothing.
    bag.values.erase(L"ShowSpools");
    bag.values.erase(L"ComponentText");
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
    const std::wstring before = Read();
    EXPECT_NE(before.find(L"ShowSpools=0 Enabled=0 ComponentText=0"), std::wstring::npos) << before;
    bag.values[L"ComponentSequenceNos"] = ScopedVariant(L"perhaps");
    EXPECT_EQ(persist->Load(&bag, nullptr), DISP_E_TYPEMISMATCH);
    bag.values[L"ComponentSequenceNos"] = ScopedVariant(false);
    bag.failing = L"ShowComponentKeypoints";
    EXPECT_EQ(persist->Load(&bag, nullptr), E_FAIL);
    bag.failing.clear();
    bag.values[L"_Version"] = ScopedVariant(0x00020000);
    EXPECT_EQ(persist->Load(&bag, nullptr), platform::kNewerFormat);
    EXPECT_EQ(Read(), before);

    // A storage keeps the stream's layout in its "Contents" stream; one without it is refused.
    ComPtr<IStorage> storage, empty;
    ComPtr<IStream> contents;
    for (IStorage** made : {storage.Receive(), empty.Receive()})
        ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE,
                                   0, made),
                  S_OK);
    auto stored = As<IPersistStorage>();
    ASSERT_EQ(stored->Save(storage.Get(), FALSE), S_OK);
    EXPECT_EQ(stored->SaveCompleted(nullptr), S_OK);
    EXPECT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, contents.Receive()), S_OK);
    contents.Reset();
    ASSERT_EQ(stored->InitNew(storage.Get()), S_OK);
    ASSERT_EQ(stored->Load(storage.Get()), S_OK);
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(stored->Load(empty.Get()), STG_E_FILENOTFOUND);
}

} // namespace
