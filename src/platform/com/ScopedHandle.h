// One owner for every kind of handle. Traits names the handle type and closes a handle; it may
// carry what closing needs (the window a DC was got from), and costs nothing when it carries none.
//
//   struct FileTraits { using Handle = HANDLE; void Close(HANDLE h) const { CloseHandle(h); } };
//   ScopedHandle<FileTraits> file(CreateFileW(...));
#pragma once

#include <utility>

namespace platform {

template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle, Traits traits = Traits()) : m_handle(handle), m_traits(std::move(traits)) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, Handle{})), m_traits(std::move(other.m_traits))
    {
    }
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) {
            Reset(std::exchange(other.m_handle, Handle{}));
            m_traits = std::move(other.m_traits);
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Handle{}; }
    // Closes what it holds and takes handle instead.
    void Reset(Handle handle = Handle{})
    {
        if (m_handle != Handle{})
            m_traits.Close(m_handle);
        m_handle = handle;
    }
    // For out parameters: closes what it holds and hands out the slot.
    Handle* Receive()
    {
        Reset();
        return &m_handle;
    }
    Handle Release() { return std::exchange(m_handle, Handle{}); }

private:
    Handle m_handle{};
    [[no_unique_address]] Traits m_traits;
};

} // namespace platform
