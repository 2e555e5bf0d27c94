// Saving and loading the control's properties through a stream, a property bag and a storage: a new
// control's values, round trips, the binary layout, and damaged data that must fail and change nothing.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>

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

// An object whose default value is itself, as a careless or hostile container's object may be.
class SelfValued : public teststub::ComStub<IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (result)
            *result = ScopedVariant(static_cast<IDispatch*>(this)).Release();
        return S_OK;
    }
};

// A bag that answers each name with what it was saved with or, as the seed decides, with something
// else: a failure, nothing, a value of any type, an object, an array or a reference.
class HostileBag : public MemoryBag {
public:
    HostileBag(const MemoryBag& saved, std::mt19937_64& random) : m_random(random)
    {
        for (const auto& [name, value] : saved.values)
            values[name] = value;
    }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override
    {
        if (m_random() % 2)
            return MemoryBag::Read(name, value, log);
        const size_t pick = m_random() % 20;
        if (pick < 3) {
            constexpr HRESULT kFailures[] = {E_INVALIDARG, E_FAIL, E_OUTOFMEMORY}; // missing, then failures
            if (pick > 0)
                failure = kFailures[pick];
            return kFailures[pick];
        }
        VariantClear(value);
        *value = Hostile(pick).Release();
        return S_OK;
    }

    SelfValued self;
    long referenced = 7;
    ScopedVariant referencedVariant{static_cast<IDispatch*>(&self)};
    HRESULT failure = S_OK; // the bag's own failure to read, the load's answer

private:
    ScopedVariant Hostile(size_t pick)
    {
        constexpr long kNumbers[] = {LONG_MIN, -1, 0, 1, 2, 0x10000, LONG_MAX};
        const long number = kNumbers[m_random() % std::size(kNumbers)];
        ScopedVariant made;
        VARIANT& raw = *made.Get();
        switch (pick) {
        case 3: V_VT(&raw) = VT_NULL; break;
        case 4: return ScopedVariant(number);
        case 5: return ScopedVariant(static_cast<short>(number));
        case 6: V_VT(&raw) = VT_I8, V_I8(&raw) = static_cast<LONGLONG>(number) << 33; break;
        case 7: return ScopedVariant(std::array{1e300, -0.5, std::nan(""), -0.0}[m_random() % 4]);
        case 8: V_VT(&raw) = VT_UI4, V_UI4(&raw) = static_cast<ULONG>(number); break;
        case 9: return ScopedVariant(std::array{L"1", L"-1", L"", L"perhaps", L"1e400", L"0x10"}[m_random() % 6]);
        case 10: return ScopedVariant(std::wstring(100000, L'9').c_str());
        case 11: V_VT(&raw) = VT_ERROR, V_ERROR(&raw) = DISP_E_PARAMNOTFOUND; break;
        case 12: return ScopedVariant(static_cast<IDispatch*>(&self));
        case 13: return ScopedVariant(static_cast<IDispatch*>(nullptr));
        case 14: return ScopedVariant(static_cast<IUnknown*>(m_random() % 2 ? self.Unknown() : nullptr));
        case 15: V_VT(&raw) = VT_ARRAY | VT_I4, V_ARRAY(&raw) = SafeArrayCreateVector(VT_I4, 0, 3); break;
        case 16: V_VT(&raw) = VT_BYREF | VT_I4, V_I4REF(&raw) = &referenced; break;
        case 17: V_VT(&raw) = VT_BYREF | VT_VARIANT, V_VARIANTREF(&raw) = referencedVariant.Get(); break;
        case 18: return ScopedVariant(static_cast<bool>(number));
        default: V_VT(&raw) = VT_CY, V_CY(&raw).int64 = static_cast<LONGLONG>(number) * 10000; break;
        }
        return made;
    }

    std::mt19937_64& m_random;
};

unsigned long long FromEnvironment(const char* name, unsigned long long fallback)
{
    const char* text = std::getenv(name);
    return text ? std::strtoull(text, nullptr, 0) : fallback;
}

// Saved bytes with one to three random edits: a bit flipped, a 2- or 4-byte field overwritten with
// a number at an edge, a cut, bytes inserted or taken out, garbage after the end.
std::vector<BYTE> Mutated(std::vector<BYTE> bytes, std::mt19937_64& random)
{
    const auto below = [&](size_t count) { return count ? static_cast<size_t>(random() % count) : 0; };
    constexpr DWORD kEdges[] = {0, 1, 2, 0xFFFF, 0x8000, 0x10000, 0x10001, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    for (size_t edits = 1 + below(3); edits > 0; --edits) {
        switch (below(6)) {
        case 0:
            if (!bytes.empty())
                bytes[below(bytes.size())] ^= static_cast<BYTE>(1u << below(8));
            break;
        case 1: {
            const DWORD edge = kEdges[below(std::size(kEdges))];
            const size_t width = below(2) ? 4 : 2;
            if (bytes.size() >= width)
                std::memcpy(bytes.data() + below(bytes.size() - width + 1), &edge, width);
            break;
        }
        case 2: bytes.resize(below(bytes.size() + 1)); break;
        case 3: bytes.insert(bytes.begin() + below(bytes.size() + 1), 1 + below(16), static_cast<BYTE>(random())); break;
        case 4: {
            const size_t from = below(bytes.size() + 1);
            bytes.erase(bytes.begin() + from, bytes.begin() + from + below(bytes.size() - from + 1));
            break;
        }
        default: bytes.insert(bytes.end(), 1 + below(64), static_cast<BYTE>(random())); break;
        }
    }
    return bytes;
}

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

    // Whatever loaded is the control's state: it survives saving and loading again, as a stream and
    // as a property bag.
    ::testing::AssertionResult SurvivesARoundTrip()
    {
        const std::vector<BYTE> loaded = Saved();
        if (Load(loaded) != S_OK || Saved() != loaded)
            return ::testing::AssertionFailure() << "a stream of the loaded state does not load back";
        MemoryBag bag;
        auto persist = As<IPersistPropertyBag>();
        if (persist->Save(&bag, TRUE, TRUE) != S_OK || persist->Load(&bag, nullptr) != S_OK || Saved() != loaded)
            return ::testing::AssertionFailure() << "a property bag of the loaded state does not load back";
        return ::testing::AssertionSuccess();
    }
    // A load answered S_OK, or one of expected and left the control as it was.
    ::testing::AssertionResult LoadedOrRefused(HRESULT hr, std::initializer_list<HRESULT> expected,
                                               const std::vector<BYTE>& before)
    {
        if (hr == S_OK)
            return SurvivesARoundTrip();
        if (std::find(expected.begin(), expected.end(), hr) == expected.end())
            return ::testing::AssertionFailure() << "an undocumented answer 0x" << std::hex << hr;
        if (Saved() != before)
            return ::testing::AssertionFailure() << "a refused load (0x" << std::hex << hr << ") changed the control";
        return ::testing::AssertionSuccess();
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

// Seeded mutations of saved data, from a changed control's stream and bag: every load answers S_OK
// or a documented error, a refused one changes nothing, and whatever loads can be saved and loaded
// again. RUV_MUTATIONS and RUV_MUTATION_SEED run more cases, or others.
TEST_F(Persistence, MutatedStreamsAndHostileBagsLoadOrAreRefusedWithoutAChange)
{
    const unsigned long long seed = FromEnvironment("RUV_MUTATION_SEED", 20261207);
    const unsigned long long rounds = FromEnvironment("RUV_MUTATIONS", 1500);
    std::mt19937_64 random(seed);
    ChangeAll();
    const std::vector<BYTE> good = Saved();
    MemoryBag saved;
    auto persist = As<IPersistPropertyBag>();
    ASSERT_EQ(persist->Save(&saved, FALSE, TRUE), S_OK);
    for (unsigned long long round = 0; round < rounds; ++round) {
        const std::vector<BYTE> before = Saved();
        const std::vector<BYTE> mutated = Mutated(random() % 2 ? good : before, random);
        ASSERT_TRUE(LoadedOrRefused(Load(mutated), {platform::kDataTruncated, platform::kDataCorrupt,
                                                    platform::kNewerFormat}, before))
            << "seed " << seed << ", stream round " << round;

        const std::vector<BYTE> beforeBag = Saved();
        HostileBag bag(saved, random);
        const ULONG references = bag.self.references;
        const HRESULT hr = persist->Load(&bag, nullptr);
        ASSERT_TRUE(LoadedOrRefused(hr, {platform::kDataCorrupt, platform::kNewerFormat, DISP_E_TYPEMISMATCH, bag.failure},
                                    beforeBag))
            << "seed " << seed << ", bag round " << round;
        ASSERT_EQ(bag.self.references, references) << "the control kept a bag's object";
    }
}

} // namespace
