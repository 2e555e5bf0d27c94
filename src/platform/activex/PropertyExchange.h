// One routine for saving, loading and resetting a control's properties. The routine names each
// property, its current value and how to set it; the exchange writes the values out (saving), or
// reads them all first and sets them only when everything was read and checked (loading), or sets
// every property to its fallback (resetting). So a truncated, corrupt or foreign source fails the
// load and changes nothing.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <optional>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

// A source that is shorter than its format: "Reached the end of the file."
inline constexpr HRESULT kDataTruncated = HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);
// Data of a newer format version than this module reads.
inline constexpr HRESULT kNewerFormat = STG_E_OLDDLL;
// Data that cannot be what the format says.
inline constexpr HRESULT kDataCorrupt = STG_E_DOCFILECORRUPT;

class PropertyExchange {
public:
    enum class Mode { Save, Load, Reset };

    explicit PropertyExchange(Mode mode) : m_mode(mode) {}
    virtual ~PropertyExchange() = default;
    PropertyExchange(const PropertyExchange&) = delete;
    PropertyExchange& operator=(const PropertyExchange&) = delete;

    Mode GetMode() const { return m_mode; }
    bool IsLoading() const { return m_mode != Mode::Save; }

    // The format version, first: saved as current; a newer stored version refuses the load
    // (kNewerFormat), an older one is read and saved as current the next time.
    void Version(DWORD current);

    // Each saves current, or reads the stored value (fallback when the source lacks it) and
    // queues set with it. Values a format cannot hold fail the load with kDataCorrupt when valid
    // says so.
    void Long(const wchar_t* name, long current, std::function<void(long)> set, long fallback = 0,
              std::function<bool(long)> valid = nullptr);
    void Short(const wchar_t* name, short current, std::function<void(short)> set, short fallback = 0,
               std::function<bool(short)> valid = nullptr);
    void Bool(const wchar_t* name, BOOL current, std::function<void(BOOL)> set, BOOL fallback = FALSE);
    // A font object through its own persistence; reset and a missing font set null.
    void Font(const wchar_t* name, IFont* current, std::function<void(IFont*)> set);

    // Sets the values read, in the order of the routine; call once the routine has finished.
    void Apply();

protected:
    // The backend: writes a value (VT_I4, VT_I2, VT_BOOL or VT_UNKNOWN for a font), or reads one
    // of that type (none when the source has none). Failures raise a ComError.
    virtual void Write(const wchar_t* name, const ScopedVariant& value) = 0;
    virtual std::optional<ScopedVariant> Read(const wchar_t* name, VARTYPE type) = 0;

private:
    template <typename Value>
    void Exchange(const wchar_t* name, VARTYPE type, Value current, std::function<void(Value)> set, Value fallback,
                  std::function<bool(Value)> valid);

    Mode m_mode;
    std::vector<std::function<void()>> m_pending;
};

// Resetting: no source, every property to its fallback.
class ResetExchange : public PropertyExchange {
public:
    ResetExchange() : PropertyExchange(Mode::Reset) {}

protected:
    void Write(const wchar_t*, const ScopedVariant&) override {}
    std::optional<ScopedVariant> Read(const wchar_t*, VARTYPE) override { return std::nullopt; }
};

// A binary stream: the values one after the other, little-endian, names not stored. A long is 4
// bytes, a short 2, a BOOL 4; a font is its saved size (4 bytes) and then the font object's own
// stream.
class StreamExchange : public PropertyExchange {
public:
    StreamExchange(Mode mode, IStream* stream) : PropertyExchange(mode), m_stream(stream) {}

protected:
    void Write(const wchar_t* name, const ScopedVariant& value) override;
    std::optional<ScopedVariant> Read(const wchar_t* name, VARTYPE type) override;

private:
    void WriteBytes(const void* data, ULONG size);
    void ReadBytes(void* data, ULONG size);

    IStream* m_stream;
};

// A property bag: each value under its name; a missing name reads as absent.
class PropertyBagExchange : public PropertyExchange {
public:
    PropertyBagExchange(Mode mode, IPropertyBag* bag, IErrorLog* log = nullptr)
        : PropertyExchange(mode), m_bag(bag), m_log(log)
    {
    }

protected:
    void Write(const wchar_t* name, const ScopedVariant& value) override;
    std::optional<ScopedVariant> Read(const wchar_t* name, VARTYPE type) override;

private:
    IPropertyBag* m_bag;
    IErrorLog* m_log;
};

} // namespace platform
