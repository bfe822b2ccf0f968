#pragma once
// One owner per handle: a move-only wrapper that closes what it holds, with a traits type per
// handle kind. Kinds that use NULL for "no handle" and those that use INVALID_HANDLE_VALUE are
// kept apart by their traits, so a failed CreateFileW is never mistaken for a valid handle.
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer value) noexcept : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    void reset(pointer value = Traits::invalid()) noexcept {
        if (value_ != Traits::invalid()) Traits::close(value_);
        value_ = value;
    }
    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }

    // For APIs that return the handle through an out-parameter.
    pointer* put() noexcept {
        reset();
        return &value_;
    }

private:
    pointer value_ = Traits::invalid();
};

struct KernelHandleTraits {  // processes, threads, events: NULL means none
    using pointer = HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};

struct FileHandleTraits {  // CreateFileW reports failure as INVALID_HANDLE_VALUE
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};

struct RegKeyTraits {
    using pointer = HKEY;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::RegCloseKey(h); }
};

template <typename GdiObject>
struct GdiObjectTraits {  // HFONT, HBRUSH
    using pointer = GdiObject;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::DeleteObject(h); }
};

struct MemoryDcTraits {  // CreateCompatibleDC: deleted, where a window's DC is released
    using pointer = HDC;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::DeleteDC(h); }
};

struct WindowTraits {  // windows this code created and nobody else destroys
    using pointer = HWND;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::DestroyWindow(h); }
};

struct MenuTraits {
    using pointer = HMENU;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::DestroyMenu(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueHKey = UniqueHandle<RegKeyTraits>;
using UniqueHFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueHBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueHWnd = UniqueHandle<WindowTraits>;
using UniqueHMenu = UniqueHandle<MenuTraits>;

template <class Interface>
struct ComTraits {  // a COM object: released, not closed
    using pointer = Interface*;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer p) noexcept { p->Release(); }
};
template <class Interface>
using ComPtr = UniqueHandle<ComTraits<Interface>>;
