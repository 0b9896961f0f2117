#include "plug-in/render/object.h"

#include "common/record.h"
#include "plug-in/render/hooks.h"
#include "plug-in/render/inject.h"
#include "plug-in/render/jobstate.h"

#include <cstring>
#include <iterator>

namespace corv::render {
namespace {

HRESULT Fail(DWORD error) {
    SetLastError(error);
    return E_FAIL;
}

}  // namespace

void InitJobState(JobState* state, const DRVENABLEDATA* coreFunctions, IPrintCorePS2* helper) {
    std::memset(state, 0, sizeof *state);
    state->structSize = kJobStateSize;
    if (coreFunctions) state->coreHooks = *coreFunctions;
    state->coreHelper = helper;
    GetLocalTime(&state->startTime);
    DWORD length = static_cast<DWORD>(std::size(state->userName));
    if (!GetUserNameW(state->userName, &length)) state->userName[0] = 0;
    state->userName[std::size(state->userName) - 1] = 0;
}

void CarryJobState(const JobState& from, JobState* to) {
    std::memmove(to->docName, from.docName, sizeof to->docName);
    std::memmove(to->userName, from.userName, sizeof to->userName);
    to->docName[std::size(to->docName) - 1] = 0;
    to->userName[std::size(to->userName) - 1] = 0;
    to->jobId = from.jobId;
    to->startTime = from.startTime;
    to->duplexModeRequest = from.duplexModeRequest;
    to->pageSkipFlag = from.pageSkipFlag;
    to->eraseArmed = from.eraseArmed;
    to->eraseAtTrailer = from.eraseAtTrailer;
    to->pendingPageValue = from.pendingPageValue;
    to->escapePageCount = from.escapePageCount;
    to->pageCount = from.pageCount;
}

RenderPlugin::~RenderPlugin() = default;

HRESULT RenderPlugin::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemPS2)) {
        *out = static_cast<IPrintOemPS2*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG RenderPlugin::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG RenderPlugin::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT RenderPlugin::GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
    if (!needed || (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION && mode != OEMGI_GETPUBLISHERINFO))
        return Fail(ERROR_INVALID_PARAMETER);
    *needed = sizeof(DWORD);
    if (mode == OEMGI_GETPUBLISHERINFO) {
        *needed = sizeof(PUBLISHERINFO);
        return E_NOTIMPL;
    }
    if (!buffer || size < sizeof(DWORD)) return Fail(ERROR_INSUFFICIENT_BUFFER);
    DWORD value = mode == OEMGI_GETSIGNATURE ? kRecordSignature : kRecordVersion;
    std::memcpy(buffer, &value, sizeof value);
    return S_OK;
}

HRESULT RenderPlugin::DevMode(DWORD mode, POEMDMPARAM param) { return RecordDevMode(mode, param); }

HRESULT RenderPlugin::EnableDriver(DWORD, DWORD size, PDRVENABLEDATA enableData) {
    // The driver says how large its structure is; nothing is written into a smaller one.
    if (!enableData || size < sizeof(DRVENABLEDATA)) return S_OK;
    enableData->iDriverVersion = kEngineVersion;
    enableData->c = 0;
    // The hooks always go into a table of our own: a table already in the enable data is the
    // caller's, of unknown length, and is neither written nor freed.
    if (!hookTable_) hookTable_ = HeapArray<DRVFN>(kHookCount);
    if (!hookTable_) return S_OK;
    FillHookTable(hookTable_.get());
    enableData->pdrvfn = hookTable_.get();
    enableData->c = kHookCount;
    return S_OK;
}

HRESULT RenderPlugin::DisableDriver() {
    coreHelper_.reset();
    hookTable_ = HeapArray<DRVFN>(0);
    return S_OK;
}

HRESULT RenderPlugin::EnablePDEV(PDEVOBJ device, PWSTR, ULONG, HSURF*, ULONG, GDIINFO*, ULONG, DEVINFO*,
                                 DRVENABLEDATA* coreFunctions, PDEVOEM* jobState) {
    if (!device || !device->pOEMDM || !jobState) return Fail(ERROR_INVALID_PARAMETER);
    UniqueHeapBlock block(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(JobState)));
    if (!block) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    InitJobState(static_cast<JobState*>(block.get()), coreFunctions, coreHelper_.get());
    *jobState = block.release();
    return S_OK;
}

HRESULT RenderPlugin::DisablePDEV(PDEVOBJ device) {
    if (!device) return Fail(ERROR_INVALID_PARAMETER);
    UniqueHeapBlock state(device->pdevOEM);
    device->pdevOEM = nullptr;  // a late hook call finds no state instead of freed memory
    return S_OK;
}

HRESULT RenderPlugin::ResetPDEV(PDEVOBJ oldDevice, PDEVOBJ newDevice) {
    if (!oldDevice || !newDevice || !oldDevice->pdevOEM || !newDevice->pdevOEM) return Fail(ERROR_INVALID_PARAMETER);
    CarryJobState(*static_cast<const JobState*>(oldDevice->pdevOEM), static_cast<JobState*>(newDevice->pdevOEM));
    return S_OK;
}

HRESULT RenderPlugin::PublishDriverInterface(IUnknown* driverInterface) {
    if (coreHelper_) return S_OK;
    if (!driverInterface) return E_FAIL;
    void* helper = nullptr;
    if (FAILED(driverInterface->QueryInterface(IID_IPrintCorePS2, &helper)) || !helper) return E_FAIL;
    coreHelper_.reset(static_cast<IPrintCorePS2*>(helper));
    return S_OK;
}

HRESULT RenderPlugin::Command(PDEVOBJ device, DWORD point, PVOID, DWORD, DWORD* result) {
    if (!result) return Fail(ERROR_INVALID_PARAMETER);
    HRESULT hr = HandleInjection(device, coreHelper_.get(), point);
    if (hr == S_OK) {
        *result = ERROR_SUCCESS;
        return S_OK;
    }
    if (hr == E_NOTIMPL) {
        *result = ERROR_NOT_SUPPORTED;  // the driver writes its own default here
        return S_OK;
    }
    *result = GetLastError();
    return E_FAIL;
}

HRESULT RenderPlugin::WritePrinter(PDEVOBJ device, PVOID buffer, DWORD size, PDWORD written) {
    return WriteJobOutput(device, buffer, size, written, &outputFile_);
}

HRESULT RenderPlugin::GetPDEVAdjustment(PDEVOBJ, DWORD, PVOID, DWORD, BOOL*) { return E_NOTIMPL; }

}  // namespace corv::render
