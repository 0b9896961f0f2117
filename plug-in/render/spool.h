// Where the rendering plug-in's PostScript and PJL pieces go: one DrvWriteSpoolBuf call per piece,
// in call order, never with length 0.
#pragma once

#include "common/platform/oemintf.h"

#include <cstring>

namespace corv::render {

class Sink {
public:
    virtual void Write(const void* data, DWORD size) = 0;
    void Write(const char* text) { Write(text, static_cast<DWORD>(std::strlen(text))); }

protected:
    ~Sink() = default;
};

class SpoolSink final : public Sink {
public:
    SpoolSink(IPrintCorePS2* helper, PDEVOBJ device) : helper_(helper), device_(device) {}
    using Sink::Write;
    void Write(const void* data, DWORD size) override {
        if (!size || !data) return;
        DWORD written = 0;
        // The core driver's answer is not examined: a failed write cannot be repaired here.
        helper_->DrvWriteSpoolBuf(device_, const_cast<void*>(data), size, &written);
    }

private:
    IPrintCorePS2* helper_;
    PDEVOBJ device_;
};

}  // namespace corv::render
