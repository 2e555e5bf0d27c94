// Saving and loading the control's properties through a stream, a property bag and a storage:
// a new control's values, round trips, the binary layout, and damaged data (truncated at every
// length, newer, impossible, not ours, a bag that fails) that must fail the load and change
// nothing.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>

#include "HostedControl.h"
#include "platform/activex/PropertyExchange.h"

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

std::vector<BYTE> ReadAll(IStream* stream)
{
    ULARGE_INTEGER size{};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size);
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    return bytes;
}

template <typename T>
T At(const std::vector<BYTE>& bytes, size_t offset)
{
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

class Persistence : public HostedControl {
protected:
    void SetUp() override
    {
        HostedControl::SetUp();
        stream = As<IPersistStreamInit>();
        ASSERT_TRUE(stream);
    }
    void ReleaseAll() override { stream.Reset(); }

    // Every persistent property as a host reads it, in one line.
    std::wstring Read() const
    {
        std::wstring line;
        for (const wchar_t* name : {L"ShowComponentKeypoints", L"ComponentSequenceNos", L"ShowSpools", L"Enabled",
                                    L"ComponentText", L"BorderStyle", L"Appearance"})
            line += std::wstring(name) + L"=" + std::to_wstring(automation.Get(name).value.ToLong().value_or(-9)) + L" ";
        CY size{};
        if (ComPtr<IFont> font = QueryOrNull<IFont>(automation.Get(L"Font").value.Object()))
            font->get_Size(&size);
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
        return ReadAll(memory.Get());
    }
    HRESULT Load(const std::vector<BYTE>& bytes, size_t count = SIZE_MAX)
    {
        ComPtr<IStream> memory;
        CreateStreamOnHGlobal(nullptr, TRUE, memory.Receive());
        memory->Write(bytes.data(), static_cast<ULONG>(std::min(count, bytes.size())), nullptr);
        memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
        return stream->Load(memory.Get());
    }

    ComPtr<IPersistStreamInit> stream;
};

TEST_F(Persistence, ANewControlHasEverySwitchOffAndIsClean)
{
    // A script host creates the control and calls it: nobody resets it, and it starts as every
    // new control does, without notices and unmodified.
    const std::wstring fresh = Read();
    EXPECT_EQ(fresh.substr(0, fresh.find(L"Font")), L"ShowComponentKeypoints=0 ComponentSequenceNos=0 ShowSpools=0 "
                                                     L"Enabled=-1 ComponentText=0 BorderStyle=0 Appearance=0 ");
    EXPECT_TRUE(notices.changed.empty());
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    ASSERT_EQ(stream->InitNew(), S_OK);
    EXPECT_EQ(Read(), fresh);
    automation.Put(L"ShowSpools", {true});
    EXPECT_EQ(stream->IsDirty(), S_OK);
    EXPECT_EQ(static_cast<void*>(As<IPersistStream>().Get()), static_cast<void*>(stream.Get()))
        << "IPersistStream is IPersistStreamInit";
    CLSID clsid{};
    EXPECT_EQ(stream->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Corbel);
}

TEST_F(Persistence, StreamKeepsEveryPropertyInTheDocumentedLayout)
{
    ChangeAll();
    const std::wstring changed = Read();
    ULARGE_INTEGER sizeMax{};
    ASSERT_EQ(stream->GetSizeMax(&sizeMax), S_OK);
    std::vector<BYTE> bytes = Saved();
    EXPECT_EQ(sizeMax.QuadPart, bytes.size());
    EXPECT_EQ(stream->IsDirty(), S_FALSE) << "saving with clearDirty";
    // Version, extent, border, appearance, enabled, font (size and its own stream), then the four
    // custom properties.
    ASSERT_GT(bytes.size(), 24u);
    const size_t custom = 24 + At<DWORD>(bytes, 20);
    ASSERT_EQ(bytes.size(), custom + 14u);
    EXPECT_EQ(At<DWORD>(bytes, 0), 0x00010000u);
    EXPECT_TRUE(At<LONG>(bytes, 4) == 1000 && At<LONG>(bytes, 8) == 2000);
    EXPECT_TRUE(At<short>(bytes, 12) == 1 && At<short>(bytes, 14) == 1 && At<LONG>(bytes, 16) == 0);
    EXPECT_TRUE(At<LONG>(bytes, custom) == 1 && At<short>(bytes, custom + 4) == 1 && At<LONG>(bytes, custom + 6) == 1 &&
                At<LONG>(bytes, custom + 10) == 1);

    ASSERT_EQ(stream->InitNew(), S_OK);
    EXPECT_NE(Read(), changed);
    notices.changed.clear();
    ASSERT_EQ(Load(bytes), S_OK);
    EXPECT_EQ(Read(), changed);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    EXPECT_EQ(notices.changed, (std::vector<DISPID>{dispidShowComponentKeypoints, dispidComponentText,
                                                     dispidComponentSequenceNos, dispidShowSpools}))
        << "the custom properties went through their setters";
    // A stored component text other than the two choices keeps the current one.
    const short impossible = 7;
    std::memcpy(bytes.data() + custom + 4, &impossible, sizeof(impossible));
    ASSERT_EQ(stream->InitNew(), S_OK);
    ASSERT_EQ(Load(bytes), S_OK);
    EXPECT_EQ(automation.Get(L"ComponentText").value.ToLong(), 0);
}

TEST_F(Persistence, TruncatedStreamFailsAtEveryLengthAndChangesNothing)
{
    ChangeAll();
    const std::vector<BYTE> bytes = Saved();
    ASSERT_EQ(stream->InitNew(), S_OK);
    const std::wstring before = Read();
    for (size_t length = 0; length < bytes.size(); ++length) {
        const HRESULT hr = Load(bytes, length);
        EXPECT_TRUE(hr == platform::kDataTruncated || hr == platform::kDataCorrupt) << length << " " << std::hex << hr;
        ASSERT_EQ(Read(), before) << "a failed load changed the control at length " << length;
    }
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
}

TEST_F(Persistence, DamagedForeignOrNewerDataIsRefusedAndOlderIsRead)
{
    ChangeAll();
    const std::vector<BYTE> good = Saved();
    ASSERT_EQ(stream->InitNew(), S_OK);
    const std::wstring before = Read();
    const std::string foreign = "<html>not a control</html>";
    struct Damage {
        size_t offset;
        long value;
        size_t size;
        HRESULT expected;
    };
    const Damage damages[] = {
        {0, 0x00020000, 4, platform::kNewerFormat},  // a newer major version
        {0, 0x00010001, 4, platform::kNewerFormat},  // a newer minor version
        {4, -5, 4, platform::kDataCorrupt},          // a negative extent
        {12, 2, 2, platform::kDataCorrupt},          // a border style that does not exist
        {14, -1, 2, platform::kDataCorrupt},         // an appearance that does not exist
        {20, 0x7FFFFFFF, 4, platform::kDataCorrupt}, // a font larger than any font
        {24, 0x12345678, 4, platform::kDataCorrupt}, // a font stream that is no font
    };
    for (const Damage& damage : damages) {
        std::vector<BYTE> bytes = good;
        std::memcpy(bytes.data() + damage.offset, &damage.value, damage.size);
        EXPECT_EQ(Load(bytes), damage.expected) << damage.offset;
        EXPECT_EQ(Read(), before) << damage.offset;
    }
    EXPECT_TRUE(FAILED(Load(std::vector<BYTE>(foreign.begin(), foreign.end()))));
    EXPECT_EQ(Read(), before);

    // An older version of the format is read, and saved as the current one next time.
    std::vector<BYTE> older = good;
    const DWORD version = 0x00000001;
    std::memcpy(older.data(), &version, sizeof(version));
    ASSERT_EQ(Load(older), S_OK);
    EXPECT_TRUE(automation.Get(L"ShowComponentKeypoints").value.IsTrue());
    EXPECT_EQ(At<DWORD>(Saved(), 0), 0x00010000u);
}

TEST_F(Persistence, PropertyBagKeepsEachPropertyUnderItsName)
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

    // Names a bag lacks take a new control's values; text that is no number is refused, and so is
    // a bag that fails or a newer version, changing nothing.
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
    EXPECT_EQ(persist->Load(nullptr, nullptr), E_POINTER);
}

TEST_F(Persistence, StorageKeepsThePropertiesInItsContentsStream)
{
    ChangeAll();
    const std::wstring changed = Read();
    ComPtr<IStorage> storage, empty;
    for (IStorage** made : {storage.Receive(), empty.Receive()})
        ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                                   made),
                  S_OK);
    auto persist = As<IPersistStorage>();
    ASSERT_EQ(persist->Save(storage.Get(), FALSE), S_OK);
    EXPECT_EQ(persist->SaveCompleted(nullptr), S_OK);
    ComPtr<IStream> contents;
    EXPECT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, contents.Receive()), S_OK);
    contents.Reset();
    ASSERT_EQ(persist->InitNew(storage.Get()), S_OK);
    EXPECT_NE(Read(), changed);
    ASSERT_EQ(persist->Load(storage.Get()), S_OK);
    EXPECT_EQ(Read(), changed);
    EXPECT_EQ(persist->Load(empty.Get()), STG_E_FILENOTFOUND);
    EXPECT_EQ(Read(), changed);
}

} // namespace
