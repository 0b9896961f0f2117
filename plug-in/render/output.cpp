#include "common/handles.h"
#include "common/record.h"
#include "common/text.h"
#include "plug-in/render/object.h"

namespace corv::render {
namespace {

constexpr HRESULT kNotWritten = S_FALSE;
constexpr size_t kPathLength = sizeof(JobSettings::szOutputFile) / sizeof(WCHAR);

// The first write of the plug-in object replaces any older file; every later one appends to the
// file, and only if it still exists. The creation counts as done even when it failed, so a job
// never replaces the file in mid-stream.
HANDLE OpenOutputFile(const WCHAR* path, LONG* fileStarted) {
    bool first = InterlockedCompareExchange(fileStarted, 1, 0) == 0;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, first ? CREATE_ALWAYS : OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && !first) SetFilePointer(file, 0, nullptr, FILE_END);
    return file;
}

HRESULT WriteToFile(const JobSettings& record, const void* buffer, DWORD size, DWORD* written, LONG* fileStarted) {
    // The path comes from the record, which any caller of the private escapes can replace.
    WCHAR path[kPathLength];
    CopyText(path, record.szOutputFile, kPathLength);
    UniqueFile file(OpenOutputFile(path, fileStarted));
    if (!file) return kNotWritten;
    DWORD done = 0;
    BOOL ok = WriteFile(file.get(), buffer, size, &done, nullptr);
    SetEndOfFile(file.get());
    *written = done;
    return ok ? S_OK : kNotWritten;
}

}  // namespace

HRESULT WriteJobOutput(PDEVOBJ device, const void* buffer, DWORD size, DWORD* written, LONG* fileStarted) {
    // The core driver's question whether the method is offered at all.
    if (!device && !buffer && size == 0) return S_OK;
    if (!device || !buffer || !written || !fileStarted) return kNotWritten;
    auto record = static_cast<const JobSettings*>(device->pOEMDM);
    if (!record || !device->pPublicDM || !device->hPrinter) return kNotWritten;

    *written = 0;
    if (record->bDiscardOutput) return S_OK;
    if (record->dwOutputTo == kOutputFile || record->dwOutputTo == kOutputEps)
        return WriteToFile(*record, buffer, size, written, fileStarted);
    return ::WritePrinter(device->hPrinter, const_cast<void*>(buffer), size, written) ? S_OK : kNotWritten;
}

}  // namespace corv::render
