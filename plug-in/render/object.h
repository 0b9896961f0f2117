// The rendering plug-in's COM shell: the class factory, the plug-in object with IPrintOemPS2,
// and the output path it offers the core driver.
#pragma once

#include "common/handles.h"
#include "common/platform/oemintf.h"

namespace corv::render {

struct JobState;

// The output file of the "File" and "EPS" destinations, per plug-in object: once started, later
// jobs to the same path append to it.
struct OutputFile {
    LONG fileStarted = 0;
    WCHAR path[512] = {};  // the file fileStarted refers to
};

class RenderPlugin final : public IPrintOemPS2 {
public:
    RenderPlugin() = default;
    RenderPlugin(const RenderPlugin&) = delete;
    RenderPlugin& operator=(const RenderPlugin&) = delete;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IPrintOemCommon
    STDMETHOD(GetInfo)(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override;
    STDMETHOD(DevMode)(DWORD mode, POEMDMPARAM param) override;
    // IPrintOemEngine
    STDMETHOD(EnableDriver)(DWORD driverVersion, DWORD size, PDRVENABLEDATA enableData) override;
    STDMETHOD(DisableDriver)() override;
    STDMETHOD(EnablePDEV)(PDEVOBJ device, PWSTR printerName, ULONG patternCount, HSURF* patterns, ULONG gdiInfoSize,
                          GDIINFO* gdiInfo, ULONG devInfoSize, DEVINFO* devInfo, DRVENABLEDATA* coreFunctions,
                          PDEVOEM* jobState) override;
    STDMETHOD(DisablePDEV)(PDEVOBJ device) override;
    STDMETHOD(ResetPDEV)(PDEVOBJ oldDevice, PDEVOBJ newDevice) override;
    // IPrintOemPS
    STDMETHOD(PublishDriverInterface)(IUnknown* driverInterface) override;
    STDMETHOD(Command)(PDEVOBJ device, DWORD point, PVOID data, DWORD size, DWORD* result) override;
    // IPrintOemPS2
    STDMETHOD(WritePrinter)(PDEVOBJ device, PVOID buffer, DWORD size, PDWORD written) override;
    STDMETHOD(GetPDEVAdjustment)(PDEVOBJ device, DWORD adjustType, PVOID buffer, DWORD size,
                                 BOOL* adjustmentDone) override;

private:
    ~RenderPlugin();  // only Release destroys

    static void ReleaseHelper(IPrintCorePS2* helper) { helper->Release(); }

    LONG refs_ = 1;
    Unique<IPrintCorePS2*, ReleaseHelper> coreHelper_;  // one reference, from PublishDriverInterface
    OutputFile outputFile_;
    HeapArray<DRVFN> hookTable_{0};  // handed to the driver by EnableDriver, owned here
};

// A new job state for a device: the core driver's functions and helper, the user and the time.
void InitJobState(JobState* state, const DRVENABLEDATA* coreFunctions, IPrintCorePS2* helper);

// What a job keeps when the driver replaces its device; the cover page flag is not carried.
void CarryJobState(const JobState& from, JobState* to);

// The WritePrinter output path: the spooler, a file, or nowhere. The first write of the plug-in
// object to a file creates it anew, later ones to the same path append.
HRESULT WriteJobOutput(PDEVOBJ device, const void* buffer, DWORD size, DWORD* written, OutputFile* file);

// The module's exports.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
HRESULT CanUnloadNow();

}  // namespace corv::render
