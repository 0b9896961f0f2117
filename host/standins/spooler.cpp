#include "host/standins/spooler.h"

#include <algorithm>
#include <cstdio>

namespace corv::host {

Spooler* Spooler::current_ = nullptr;

Spooler::Spooler() { current_ = this; }

Spooler::~Spooler() {
    patch_.Restore();
    if (current_ == this) current_ = nullptr;
}

bool Spooler::Open(const std::wstring& path, std::string* error) {
    // The folder first: "out" does not exist on a fresh checkout.
    size_t cut = path.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 0) {
        std::wstring folder = path.substr(0, cut);
        for (size_t i = 1; i <= folder.size(); ++i)
            if (i == folder.size() || folder[i] == L'\\' || folder[i] == L'/')
                CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
    }
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = "cannot create the output file (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    file_ = std::make_unique<UniqueFile>(h);
    bytes_ = 0;
    return true;
}

void Spooler::Close() { file_.reset(); }

bool Spooler::Redirect(HMODULE module) {
    patch_ = ImportPatch(module, "winspool.drv", "WritePrinter", reinterpret_cast<void*>(&WritePrinterStandIn));
    return patch_.active();
}

BOOL Spooler::Write(HANDLE printer, const void* data, DWORD size, DWORD* written) {
    if (printer != this->printer()) {
        ++foreignCalls_;
        auto real = patch_.original_as<BOOL WINAPI(HANDLE, LPVOID, DWORD, LPDWORD)>();
        return real ? real(printer, const_cast<void*>(data), size, written) : FALSE;
    }
    ++calls_;
    if (!written || (!data && size)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *written = 0;
    if (!file_) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD done = 0;
    if (size && !WriteFile(file_->get(), data, size, &done, nullptr)) return FALSE;
    *written = done;
    bytes_ += done;
    return TRUE;
}

BOOL WINAPI Spooler::WritePrinterStandIn(HANDLE printer, LPVOID data, DWORD size, LPDWORD written) {
    if (!current_) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return current_->Write(printer, data, size, written);
}

void OutputStage::Put(const void* data, DWORD size) {
    pending_.append(static_cast<const char*>(data), size);
    if (head_.size() < kHead) head_.append(static_cast<const char*>(data), std::min<size_t>(size, kHead - head_.size()));
    total_ += size;
}

bool OutputStage::Flush() {
    bool ok = true;
    for (size_t at = 0; at < pending_.size(); at += kBlock) {
        DWORD size = static_cast<DWORD>(std::min(kBlock, pending_.size() - at));
        DWORD written = 0;
        ++blocks_;
        if (plugin_) {
            HRESULT hr = plugin_->WritePrinter(device_, pending_.data() + at, size, &written);
            if (hr != S_OK) {
                char text[96];
                std::snprintf(text, sizeof text, "the plug-in's WritePrinter refused a block of %lu bytes (0x%08lX)",
                              static_cast<unsigned long>(size), static_cast<unsigned long>(hr));
                lastError_ = text;
                ok = false;
            }
        } else if (!spooler_->Write(spooler_->printer(), pending_.data() + at, size, &written)) {
            lastError_ = "the spooler refused a block";
            ok = false;
        }
    }
    pending_.clear();
    return ok;
}

}  // namespace corv::host
