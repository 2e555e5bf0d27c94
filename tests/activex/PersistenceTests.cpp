// Saving and loading the control's properties through a stream, a property bag and a storage:
// round trips, the binary layout, a new control's reset, and damaged data that must fail the load
// and change nothing.
#include <cstring>

#include "HostedControl.h"
#include "MemoryBag.h"
#include "platform/activex/PropertyExchange.h"

namespace {

using hosttest::Value;

// Every persistent property as a host reads it.
struct Properties {
    bool keypoints, sequenceNos, spools, enabled;
    long componentText, borderStyle, appearance;
    long long fontSize;
    SIZEL extent;

    bool operator==(const Properties& other) const
    {
        return keypoints == other.keypoints && sequenceNos == other.sequenceNos && spools == other.spools &&
               enabled == other.enabled && componentText == other.componentText &&
               borderStyle == other.borderStyle && appearance == other.appearance && fontSize == other.fontSize &&
               extent.cx == other.extent.cx && extent.cy == other.extent.cy;
    }
};

class Persistence : public HostedControl {
protected:
    void SetUp() override
    {
        HostedControl::SetUp();
        stream = QueryOrNull<IPersistStreamInit>(control.Get());
        ASSERT_TRUE(stream);
        ASSERT_EQ(stream->InitNew(), S_OK);
    }
    void ReleaseAll() override
    {
        stream.Reset();
        bag.values.clear();
    }

    Properties Read() const
    {
        Properties read{};
        read.keypoints = automation->Get(L"ShowComponentKeypoints").value.IsTrue();
        read.sequenceNos = automation->Get(L"ComponentSequenceNos").value.IsTrue();
        read.spools = automation->Get(L"ShowSpools").value.IsTrue();
        read.enabled = automation->Get(L"Enabled").value.IsTrue();
        read.componentText = automation->Get(L"ComponentText").value.ToLong().value_or(-1);
        read.borderStyle = automation->Get(L"BorderStyle").value.ToLong().value_or(-1);
        read.appearance = automation->Get(L"Appearance").value.ToLong().value_or(-1);
        ComPtr<IFont> font = QueryOrNull<IFont>(automation->Get(L"Font").value.Object());
        CY size{};
        if (font)
            font->get_Size(&size);
        read.fontSize = size.int64;
        object->GetExtent(DVASPECT_CONTENT, &read.extent);
        return read;
    }
    // Every property away from a new control's value.
    void ChangeAll()
    {
        automation->Put(L"ShowComponentKeypoints", {true});
        automation->Put(L"ComponentSequenceNos", {true});
        automation->Put(L"ShowSpools", {true});
        automation->Put(L"ComponentText", {1});
        automation->Put(L"BorderStyle", {1});
        automation->Put(L"Appearance", {1});
        automation->Put(L"Enabled", {false});
        ComPtr<IFont> font = QueryOrNull<IFont>(automation->Get(L"Font").value.Object());
        font->put_Size(CY{{20 * 10000, 0}});
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
    HRESULT LoadBytes(const std::vector<BYTE>& bytes, size_t count)
    {
        ComPtr<IStream> memory;
        CreateStreamOnHGlobal(nullptr, TRUE, memory.Receive());
        memory->Write(bytes.data(), static_cast<ULONG>(count), nullptr);
        memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
        return stream->Load(memory.Get());
    }
    HRESULT LoadBytes(const std::vector<BYTE>& bytes) { return LoadBytes(bytes, bytes.size()); }

    ComPtr<IPersistStreamInit> stream;
    hosttest::MemoryBag bag;
};

template <typename T>
void Patch(std::vector<BYTE>& bytes, size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
}

template <typename T>
T At(const std::vector<BYTE>& bytes, size_t offset)
{
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

TEST_F(Persistence, NewControlHasEverySwitchOffAndIsClean)
{
    const Properties fresh = Read();
    EXPECT_FALSE(fresh.keypoints);
    EXPECT_FALSE(fresh.sequenceNos);
    EXPECT_FALSE(fresh.spools);
    EXPECT_EQ(fresh.componentText, 0);
    EXPECT_EQ(fresh.borderStyle, 0);
    EXPECT_EQ(fresh.appearance, 0);
    EXPECT_TRUE(fresh.enabled);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    automation->Put(L"ShowSpools", {true});
    EXPECT_EQ(stream->IsDirty(), S_OK);
    ComPtr<IPersistStream> plain = QueryOrNull<IPersistStream>(control.Get());
    EXPECT_EQ(static_cast<void*>(plain.Get()), static_cast<void*>(stream.Get())) << "IPersistStream is the same";
    CLSID clsid{};
    EXPECT_EQ(stream->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Corbel);
}

TEST_F(Persistence, StreamKeepsEveryPropertyInTheDocumentedLayout)
{
    ChangeAll();
    const Properties changed = Read();
    ULARGE_INTEGER sizeMax{};
    ASSERT_EQ(stream->GetSizeMax(&sizeMax), S_OK);
    const std::vector<BYTE> bytes = Saved();
    EXPECT_EQ(sizeMax.QuadPart, bytes.size());
    EXPECT_EQ(stream->IsDirty(), S_FALSE) << "saving with clearDirty";

    // Version, extent, border, appearance, enabled, font (size and its own stream), then the
    // four custom properties.
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(At<DWORD>(bytes, 0), 0x00010000u);
    EXPECT_EQ(At<LONG>(bytes, 4), 1000);
    EXPECT_EQ(At<LONG>(bytes, 8), 2000);
    EXPECT_EQ(At<short>(bytes, 12), 1);
    EXPECT_EQ(At<short>(bytes, 14), 1);
    EXPECT_EQ(At<LONG>(bytes, 16), 0);
    const DWORD fontSize = At<DWORD>(bytes, 20);
    ASSERT_EQ(bytes.size(), 24u + fontSize + 14u);
    const size_t custom = 24 + fontSize;
    EXPECT_EQ(At<LONG>(bytes, custom), 1);
    EXPECT_EQ(At<short>(bytes, custom + 4), 1);
    EXPECT_EQ(At<LONG>(bytes, custom + 6), 1);
    EXPECT_EQ(At<LONG>(bytes, custom + 10), 1);

    ASSERT_EQ(stream->InitNew(), S_OK);
    EXPECT_FALSE(Read() == changed);
    notices.changed.clear();
    ASSERT_EQ(LoadBytes(bytes), S_OK);
    EXPECT_EQ(Read(), changed);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    // The custom properties went through their setters, with their notices.
    EXPECT_EQ(notices.changed, (std::vector<DISPID>{2, 4, 3, 22}));
}

TEST_F(Persistence, StoredComponentTextOtherThanTheChoicesKeepsTheCurrentOne)
{
    automation->Put(L"ComponentText", {1});
    std::vector<BYTE> bytes = Saved();
    ASSERT_EQ(LoadBytes(bytes), S_OK);
    EXPECT_EQ(automation->Get(L"ComponentText").value.ToLong(), 1);
    Patch<short>(bytes, bytes.size() - 10, 7);
    ASSERT_EQ(LoadBytes(bytes), S_OK);
    EXPECT_EQ(automation->Get(L"ComponentText").value.ToLong(), 1);
    Patch<short>(bytes, bytes.size() - 10, 0);
    ASSERT_EQ(LoadBytes(bytes), S_OK);
    EXPECT_EQ(automation->Get(L"ComponentText").value.ToLong(), 0);
}

TEST_F(Persistence, TruncatedStreamFailsAtEveryLengthAndChangesNothing)
{
    ChangeAll();
    const std::vector<BYTE> bytes = Saved();
    ASSERT_EQ(stream->InitNew(), S_OK);
    const Properties before = Read();
    for (size_t length = 0; length < bytes.size(); ++length) {
        const HRESULT hr = LoadBytes(bytes, length);
        EXPECT_TRUE(hr == platform::kDataTruncated || hr == platform::kDataCorrupt) << length << " " << std::hex << hr;
        ASSERT_EQ(Read(), before) << "a failed load changed the control at length " << length;
    }
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
}

TEST_F(Persistence, DamagedOrNewerDataIsRefusedAndOlderIsRead)
{
    ChangeAll();
    const std::vector<BYTE> good = Saved();
    ASSERT_EQ(stream->InitNew(), S_OK);
    const Properties before = Read();
    const DWORD fontSize = At<DWORD>(good, 20);
    struct Damage {
        size_t offset;
        long value;
        size_t size;
        HRESULT expected;
    };
    const Damage damages[] = {
        {0, 0x00020000, 4, platform::kNewerFormat},   // a newer major version
        {0, 0x00010001, 4, platform::kNewerFormat},   // a newer minor version
        {4, -5, 4, platform::kDataCorrupt},           // a negative extent
        {12, 2, 2, platform::kDataCorrupt},           // a border style that does not exist
        {14, -1, 2, platform::kDataCorrupt},          // an appearance that does not exist
        {20, 0x7FFFFFFF, 4, platform::kDataCorrupt},  // a font larger than any font
        {24, 0x12345678, 4, platform::kDataCorrupt},  // a font stream that is no font
    };
    for (const Damage& damage : damages) {
        std::vector<BYTE> bytes = good;
        std::memcpy(bytes.data() + damage.offset, &damage.value, damage.size);
        EXPECT_EQ(LoadBytes(bytes), damage.expected) << damage.offset;
        EXPECT_EQ(Read(), before) << damage.offset;
    }
    EXPECT_GT(fontSize, 0u);
    // A foreign stream: text.
    const std::string foreign = "<html>not a control</html>";
    EXPECT_TRUE(FAILED(LoadBytes(std::vector<BYTE>(foreign.begin(), foreign.end()))));
    EXPECT_EQ(Read(), before);

    // An older version of the format is read, and saved as the current one next time.
    std::vector<BYTE> older = good;
    Patch<DWORD>(older, 0, 0x00000001);
    ASSERT_EQ(LoadBytes(older), S_OK);
    EXPECT_TRUE(Read().keypoints);
    EXPECT_EQ(At<DWORD>(Saved(), 0), 0x00010000u);
}

TEST_F(Persistence, PropertyBagKeepsEachPropertyUnderItsName)
{
    ChangeAll();
    const Properties changed = Read();
    ComPtr<IPersistPropertyBag> persist = QueryOrNull<IPersistPropertyBag>(control.Get());
    ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
    for (const wchar_t* name : {L"_Version", L"_ExtentX", L"_ExtentY", L"BorderStyle", L"Appearance", L"Enabled",
                                L"Font", L"ShowComponentKeypoints", L"ComponentText", L"ComponentSequenceNos",
                                L"ShowSpools"})
        EXPECT_EQ(bag.values.count(name), 1u) << std::wstring(name);
    EXPECT_EQ(bag.values[L"ComponentText"].ToLong(), 1);

    ASSERT_EQ(persist->InitNew(), S_OK);
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(Read(), changed);

    // Names a bag lacks take a new control's values; text that is no number is refused.
    bag.values.erase(L"ShowSpools");
    bag.values.erase(L"ComponentText");
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
    EXPECT_FALSE(Read().spools);
    EXPECT_EQ(Read().componentText, 0);
    const Properties before = Read();
    bag.values[L"ComponentSequenceNos"] = Value(L"perhaps");
    EXPECT_EQ(persist->Load(&bag, nullptr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Read(), before);
    bag.values[L"ComponentSequenceNos"] = Value(true);
    bag.failing = L"ShowComponentKeypoints";
    EXPECT_EQ(persist->Load(&bag, nullptr), E_FAIL);
    EXPECT_EQ(Read(), before);
    bag.failing.clear();
    bag.values[L"_Version"] = Value(0x00020000);
    EXPECT_EQ(persist->Load(&bag, nullptr), platform::kNewerFormat);
    EXPECT_EQ(persist->Load(nullptr, nullptr), E_POINTER);
}

TEST_F(Persistence, StorageKeepsThePropertiesInItsContentsStream)
{
    ChangeAll();
    const Properties changed = Read();
    ComPtr<IStorage> storage;
    ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                               storage.Receive()),
              S_OK);
    ComPtr<IPersistStorage> persist = QueryOrNull<IPersistStorage>(control.Get());
    ASSERT_EQ(persist->Save(storage.Get(), FALSE), S_OK);
    EXPECT_EQ(persist->SaveCompleted(nullptr), S_OK);
    ComPtr<IStream> contents;
    EXPECT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, contents.Receive()), S_OK);
    contents.Reset();
    ASSERT_EQ(persist->InitNew(storage.Get()), S_OK);
    EXPECT_FALSE(Read() == changed);
    ASSERT_EQ(persist->Load(storage.Get()), S_OK);
    EXPECT_EQ(Read(), changed);

    ComPtr<IStorage> empty;
    ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                               empty.Receive()),
              S_OK);
    EXPECT_EQ(persist->Load(empty.Get()), STG_E_FILENOTFOUND);
    EXPECT_EQ(Read(), changed);
}

} // namespace
