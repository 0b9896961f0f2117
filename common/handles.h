// One owner per Windows handle or heap block: a generic template over the release function,
// and one alias per kind.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <utility>

namespace corv {

template <typename T, auto Close, T Invalid = T{}>
class Unique {
public:
    Unique() = default;
    explicit Unique(T value) : value_(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Invalid)) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, Invalid));
        return *this;
    }
    ~Unique() { reset(); }

    T get() const { return value_; }
    T* put() {
        reset();
        return &value_;
    }
    T release() { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }
    explicit operator bool() const { return value_ != Invalid; }

private:
    T value_ = Invalid;
};

namespace detail {
inline void CloseFile(HANDLE h) { CloseHandle(h); }
inline void CloseKey(HKEY h) { RegCloseKey(h); }
inline void ClosePrinterHandle(HANDLE h) { ClosePrinter(h); }
inline void FreeHeapBlock(void* p) { HeapFree(GetProcessHeap(), 0, p); }
inline void FreeLibraryHandle(HMODULE h) { FreeLibrary(h); }
inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DeleteDeviceContext(HDC h) { DeleteDC(h); }
inline void DestroyWindowHandle(HWND h) { DestroyWindow(h); }
}  // namespace detail


class UniqueFile {
public:
    UniqueFile() = default;
    explicit UniqueFile(HANDLE h) : h_(h) {}
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    ~UniqueFile() {
        if (h_ != INVALID_HANDLE_VALUE && h_ != nullptr) CloseHandle(h_);
    }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

using UniqueKey = Unique<HKEY, detail::CloseKey>;
using UniquePrinter = Unique<HANDLE, detail::ClosePrinterHandle>;
using UniqueHeapBlock = Unique<void*, detail::FreeHeapBlock>;
using UniqueLibrary = Unique<HMODULE, detail::FreeLibraryHandle>;
using UniqueGdiObject = Unique<HGDIOBJ, detail::DeleteGdiObject>;
using UniqueDC = Unique<HDC, detail::DeleteDeviceContext>;
using UniqueWindow = Unique<HWND, detail::DestroyWindowHandle>;

// A typed block from the process heap; null when the allocation failed.
template <typename T>
class HeapArray {
public:
    explicit HeapArray(size_t count)
        : block_(count ? HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * sizeof(T)) : nullptr) {}
    T* get() const { return static_cast<T*>(block_.get()); }
    explicit operator bool() const { return static_cast<bool>(block_); }

private:
    UniqueHeapBlock block_;
};

// A window's device context, given back to the window on destruction.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selecting a GDI object is owned too: the previous object comes back on destruction.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace corv
