// A COM reference owned for as long as the owner lives; corvhost holds the plug-ins' objects so.
#pragma once

#include <windows.h>

namespace corv::host {

template <typename T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    void** put() {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    // Releases and returns what Release answered (0 when nothing was held).
    ULONG reset() {
        ULONG left = 0;
        if (p_) left = p_->Release();
        p_ = nullptr;
        return left;
    }

private:
    T* p_ = nullptr;
};

}  // namespace corv::host
