#include "common/handles.h"
#include "common/record.h"
#include "common/text.h"
#include "plug-in/render/object.h"

namespace corv::render {
namespace {

constexpr HRESULT kNotWritten = S_FALSE;
constexpr size_t kPathLength = sizeof(JobSettings::szOutputFile) / sizeof(WCHAR);
static_assert(kPathLength == sizeof(OutputFile::path) / sizeof(WCHAR));

bool SamePath(const WCHAR* a, const WCHAR* b) { return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL; }

// The first write to a path replaces any older file; every later one appends to the file, and
// only if it still exists. The creation counts as done even when it failed, so a job never
// replaces its file in mid-stream. A job to another path starts that file anew: it could
// otherwise never be created, and the whole job would be lost.
HANDLE OpenOutputFile(const WCHAR* path, OutputFile* state) {
    bool first = !state->fileStarted || !SamePath(state->path, path);
    if (first) {
        state->fileStarted = 1;
        CopyText(state->path, path);
    }
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, first ? CREATE_ALWAYS : OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && !first) SetFilePointer(file, 0, nullptr, FILE_END);
    return file;
}

HRESULT WriteToFile(const JobSettings& record, const void* buffer, DWORD size, DWORD* written, OutputFile* state) {
    // The path comes from the record, which any caller of the private escapes can replace.
    WCHAR path[kPathLength];
    CopyText(path, record.szOutputFile, kPathLength);
    UniqueFile file(OpenOutputFile(path, state));
    if (!file) return kNotWritten;
    DWORD done = 0;
    BOOL ok = WriteFile(file.get(), buffer, size, &done, nullptr);
    SetEndOfFile(file.get());
    *written = done;
    return ok ? S_OK : kNotWritten;
}

}  // namespace

HRESULT WriteJobOutput(PDEVOBJ device, const void* buffer, DWORD size, DWORD* written, OutputFile* file) {
    // The core driver's question whether the method is offered at all.
    if (!device && !buffer && size == 0) return S_OK;
    if (!device || !buffer || !written || !file) return kNotWritten;
    auto record = static_cast<const JobSettings*>(device->pOEMDM);
    if (!record || !device->pPublicDM || !device->hPrinter) return kNotWritten;

    *written = 0;
    if (record->bDiscardOutput) return S_OK;
    if (record->dwOutputTo == kOutputFile || record->dwOutputTo == kOutputEps)
        return WriteToFile(*record, buffer, size, written, file);
    return ::WritePrinter(device->hPrinter, const_cast<void*>(buffer), size, written) ? S_OK : kNotWritten;
}

}  // namespace corv::render
