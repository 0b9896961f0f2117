#include "host/print/driver.h"

#include "common/handles.h"
#include "common/record.h"
#include "host/kit/comref.h"
#include "host/print/corehelper.h"
#include "host/print/emfps.h"
#include "host/kit/devmodes.h"
#include "host/prefs/userprefs.h"
#include "host/kit/driverpackage.h"
#include "host/kit/fields.h"
#include "host/kit/hostio.h"
#include "host/kit/memstats.h"
#include "host/kit/plugin.h"
#include "host/kit/ppd.h"
#include "host/print/psjob.h"
#include "host/standins/spooler.h"
#include "host/kit/uihost.h"
#include "host/standins/uiprint.h"
#include "host/standins/uispooler.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace corv::host {
namespace {

using StartDocFn = BOOL APIENTRY(SURFOBJ*, LPWSTR, DWORD);
using EscapeFn = ULONG APIENTRY(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID);

template <typename F>
F* AsFunction(PFN pfn) {
    return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(pfn));
}
template <typename F>
PFN AsEntry(F* function) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(function));
}

void Say(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fputs("corvhost: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}

const char* PointName(DWORD point) {
    switch (point) {
        case PSINJECT_BEGINSTREAM: return "PSINJECT_BEGINSTREAM";
        case PSINJECT_PSADOBE: return "PSINJECT_PSADOBE";
        case PSINJECT_PAGES: return "PSINJECT_PAGES";
        case PSINJECT_PAGEORDER: return "PSINJECT_PAGEORDER";
        case PSINJECT_ORIENTATION: return "PSINJECT_ORIENTATION";
        case PSINJECT_BOUNDINGBOX: return "PSINJECT_BOUNDINGBOX";
        case PSINJECT_COMMENTS: return "PSINJECT_COMMENTS";
        case PSINJECT_BEGINPROLOG: return "PSINJECT_BEGINPROLOG";
        case PSINJECT_ENDPROLOG: return "PSINJECT_ENDPROLOG";
        case PSINJECT_BEGINSETUP: return "PSINJECT_BEGINSETUP";
        case PSINJECT_ENDSETUP: return "PSINJECT_ENDSETUP";
        case PSINJECT_TRAILER: return "PSINJECT_TRAILER";
        case PSINJECT_EOF: return "PSINJECT_EOF";
        case PSINJECT_ENDSTREAM: return "PSINJECT_ENDSTREAM";
        case PSINJECT_PAGENUMBER: return "PSINJECT_PAGENUMBER";
        case PSINJECT_BEGINPAGESETUP: return "PSINJECT_BEGINPAGESETUP";
        case PSINJECT_ENDPAGESETUP: return "PSINJECT_ENDPAGESETUP";
        case PSINJECT_PAGETRAILER: return "PSINJECT_PAGETRAILER";
        case PSINJECT_SHOWPAGE: return "PSINJECT_SHOWPAGE";
        default: return "PSINJECT_?";
    }
}

std::string CreationDate() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "(D:%04u%02u%02u%02u%02u%02u)", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

short PaperCode(const std::string& name) {
    if (name == "Letter") return DMPAPER_LETTER;
    if (name == "Legal") return DMPAPER_LEGAL;
    if (name == "A4") return DMPAPER_A4;
    if (name == "A5") return DMPAPER_A5;
    return DMPAPER_USER;
}

class Driver;

// One PDEV of the core driver: the device object the plug-in sees, the surface its hooks get,
// and the DEVMODE buffer (public part, the core's private part, the plug-in's part).
struct HostDevice {
    DEVOBJ devobj{};
    SURFOBJ surface{};
    DevModeBuffer devmode;
    Driver* driver = nullptr;

    PDEVMODEW Public() { return devmode.Public(); }
    BYTE* Private() { return devmode.Private(); }
};

// The hooks get the device object as dhpdev; hEngine, the graphics engine's own handle that the
// plug-in never interprets, leads the core's functions back to their device.
HostDevice* DeviceOf(SURFOBJ* surface) {
    if (!surface || !surface->dhpdev) return nullptr;
    return reinterpret_cast<HostDevice*>(reinterpret_cast<PDEVOBJ>(surface->dhpdev)->hEngine);
}

BOOL APIENTRY CoreStartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId);
ULONG APIENTRY CoreEscape(SURFOBJ* surface, ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out);

const DRVFN kCoreFunctions[] = {
    {INDEX_DrvStartDoc, AsEntry(&CoreStartDoc)},
    {INDEX_DrvEscape, AsEntry(&CoreEscape)},
};

class Driver final : public PrintTarget {
public:
    Driver(const HostOptions& options, const Ppd& ppd, const InstalledDriver& installed, const JobLayout& job,
           Spooler* spooler, OutputStage* stage, HostCore* core)
        : o_(options), ppd_(ppd), installed_(installed), job_(job), spooler_(spooler), stage_(stage), core_(core) {}

    int Run();

    BOOL OnCoreStartDoc(LPWSTR docName, DWORD jobId);
    ULONG OnCoreEscape(ULONG code, ULONG inSize, PVOID in);

    // The printer device context's side, for the UI plug-in's document events.
    ULONG Escape(ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out) override;
    bool StartExtraPage() override;
    bool EndExtraPage() override;
    void Emit(std::string_view text) override { stage_->Put(text.data(), static_cast<DWORD>(text.size())); }
    void PageRecorded(const PagePreview& page) override;

private:
    bool Fail(const std::string& why) {
        Say("%s", why.c_str());
        return false;
    }
    void Violation(const std::string& what) { violations_.push_back(what); }
    void Trace(const std::string& line) const {
        if (o_.trace) Say("%s", line.c_str());
    }

    bool LoadUi();
    // The UI side's DevMode results: its defaults, the user's choices on them, their merge.
    struct UiDevModeResult {
        DevModeBuffer defaults, asked, merged;
    };
    bool UiDevModes(const DEVMODEW& base, UiDevModeResult* result);
    bool Load();
    bool Create();
    bool Publish();
    DEVMODEW PublicDevMode() const;
    bool ApplySettings(DevModeBuffer* dm);
    bool DevModes();
    bool EnableDriver();
    std::unique_ptr<HostDevice> NewDevice();
    bool EnableDevice(HostDevice* device);
    void DisableDevice(HostDevice* device);
    bool StartDoc(HostDevice* device);
    bool ResetDevice();
    void SendEscapes(int page);
    bool Stream();
    void EndUi();
    void TeardownUi();
    void Teardown();
    void Report();

    // True when the plug-in injected its own text.
    bool Inject(DWORD point, std::string_view fallback = {}, bool replaces = false);
    std::string OutputPageCommentLabel(int page, int ordinal) const;
    void OpenPage(const std::string& label, int index);
    void ClosePage();

    const HostOptions& o_;
    const Ppd& ppd_;
    const InstalledDriver& installed_;  // the printer's driver files, the plug-ins among them
    JobLayout job_;
    Spooler* spooler_;
    OutputStage* stage_;
    HostCore* core_;

    PluginModule module_;
    ComRef<IPrintOemPS2> plugin_;
    bool published_ = false;
    bool driverEnabled_ = false;
    DWORD signature_ = 0, version_ = 0;
    DWORD privateSize_ = 0;
    DevModeBuffer devmode_;  // the merged DEVMODE every PDEV of the job starts from
    DRVENABLEDATA hooks_{};
    StartDocFn* startDocHook_ = nullptr;
    EscapeFn* escapeHook_ = nullptr;
    DRVENABLEDATA coreTable_{DDI_DRIVER_VERSION_NT5_01, static_cast<ULONG>(std::size(kCoreFunctions)),
                             const_cast<DRVFN*>(kCoreFunctions)};
    std::unique_ptr<HostDevice> device_;
    bool pluginTakesOutput_ = false;
    MemoryWatch memory_;
    int coreStartDocs_ = 0;
    std::vector<std::string> violations_;
    bool jobFailed_ = false;

    // The UI side of the job: the UI plug-in in the application's process, with the spooler and
    // the core driver's UI helper it talks to there.
    std::unique_ptr<UiPluginHost> ui_;  // null without a UI plug-in
    std::unique_ptr<UiPrinting> printing_;
    int pagesOut_ = 0;  // pages of the PostScript job so far, the UI plug-in's included
};

BOOL APIENTRY CoreStartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId) {
    HostDevice* device = DeviceOf(surface);
    return device ? device->driver->OnCoreStartDoc(docName, jobId) : FALSE;
}

ULONG APIENTRY CoreEscape(SURFOBJ* surface, ULONG code, ULONG inSize, PVOID in, ULONG, PVOID) {
    HostDevice* device = DeviceOf(surface);
    return device ? device->driver->OnCoreEscape(code, inSize, in) : 0;
}

BOOL Driver::OnCoreStartDoc(LPWSTR docName, DWORD jobId) {
    ++coreStartDocs_;
    Trace("core DrvStartDoc(\"" + Narrow(docName ? docName : L"") + "\", " + std::to_string(jobId) + ")");
    return TRUE;
}

// The core driver's own escapes: passthrough data goes into the job where it stands; the
// queries of PostScript support are answered; every other code is not the core's.
ULONG Driver::OnCoreEscape(ULONG code, ULONG inSize, PVOID in) {
    Trace("core DrvEscape(" + Hex(code) + ", " + std::to_string(inSize) + " bytes in)");
    switch (code) {
        case QUERYESCSUPPORT: {
            if (inSize < 4 || !in) return 0;
            DWORD asked;
            std::memcpy(&asked, in, 4);
            return asked == QUERYESCSUPPORT || asked == PASSTHROUGH || asked == POSTSCRIPT_PASSTHROUGH ||
                   asked == POSTSCRIPT_DATA || asked == POSTSCRIPT_IDENTIFY || asked == POSTSCRIPT_INJECTION;
        }
        case PASSTHROUGH:
        case POSTSCRIPT_PASSTHROUGH:
        case POSTSCRIPT_DATA: {
            if (inSize < 2 || !in) return 0;
            WORD count;
            std::memcpy(&count, in, 2);
            DWORD usable = std::min<DWORD>(count, inSize - 2);
            // From the UI plug-in's drawing it belongs among the drawing, where it was sent.
            if (printing_ && printing_->PassThrough(static_cast<const BYTE*>(in) + 2, usable)) return usable;
            stage_->Put(static_cast<const BYTE*>(in) + 2, usable);
            return usable;
        }
        default:
            return 0;
    }
}

// The UI plug-in as the application's process has it while it prints: the spooler's calls of
// that process go to corvhost's printer, and the core driver's UI helper answers from the
// printer description.
bool Driver::LoadUi() {
    if (o_.ui == L"none") return true;
    if (o_.ui.empty() && installed_.uiPlugin.empty())
        return Fail("the printer's plug-in configuration names no UI plug-in (--ui none prints without one)");
    const std::wstring path = FullPath(o_.ui.empty() ? installed_.uiPlugin : o_.ui);
    ui_ = std::make_unique<UiPluginHost>(ppd_, DescribePrinter(ppd_, installed_),
                                         [this](const std::string& line) { Trace("UI " + line); });
    std::string error;
    if (!ui_->Open(path, &error)) return Fail("UI plug-in: " + error + " (--ui none prints without the UI plug-in)");
    // The driver's first installation in this prefix sets up the plug-in's defaults; a plug-in
    // given on the command line is not the installed driver's.
    HRESULT installed = S_OK;
    if (o_.ui.empty() && ui_->InstallDriverOnce(&installed))
        Say("driver installed: DriverEvent(DRIVER_EVENT_INITIALIZE) -> %s", Hex(installed).c_str());
    return true;
}

// What the application's DocumentProperties call does on the UI side: the driver's defaults,
// the user's choices (--set) merged into them. The result is the DEVMODE the application then
// creates its printer device context with.
bool Driver::UiDevModes(const DEVMODEW& base, UiDevModeResult* result) {
    const DevModeCaller caller{ui_->plugin(), ui_->spooler().printer(), ui_->module(), nullptr};
    std::string error;
    DWORD size = 0;
    if (!AskPrivateSize(caller, &size, &error)) return Fail("UI plug-in: " + error);
    Trace("UI DevMode(OEMDM_SIZE) -> " + std::to_string(size) + " bytes");
    result->defaults = DevModeBuffer(base, size);
    if (!DefaultDevMode(caller, &result->defaults, &error)) return Fail("UI plug-in: " + error);
    result->asked = result->defaults;
    // What the application's DEVMODE brings: this user's preferences, then the command line's.
    DevModeBuffer stored;
    if (o_.userPrefs && ReadUserPreferences(ui_->spooler().facts().printerName, size, &stored)) {
        if (!MergeDevMode(caller, stored, &result->asked, &error)) return Fail("UI plug-in: " + error);
        Trace("UI DevMode(OEMDM_MERGE) of this user's preferences -> S_OK");
    }
    if (!ApplySettings(&result->asked)) return false;
    result->merged = result->defaults;
    if (!MergeDevMode(caller, result->asked, &result->merged, &error)) return Fail("UI plug-in: " + error);
    Trace("UI DevMode(OEMDM_DEFAULT, OEMDM_MERGE) -> S_OK");
    return true;
}

bool Driver::Load() {
    std::string error;
    if (o_.plugin.empty() && installed_.renderPlugin.empty())
        return Fail("the printer's plug-in configuration names no rendering plug-in (" +
                    Narrow(installed_.pluginConfig.empty() ? L"none among its files" : installed_.pluginConfig) + ")");
    Trace("printer driver: \"" + installed_.model + "\" from " + Narrow(installed_.folder) + ", plug-in configuration " +
          Narrow(installed_.pluginConfig));
    const std::wstring path = FullPath(o_.plugin.empty() ? installed_.renderPlugin : o_.plugin);
    if (!module_.Load(path, &error)) return Fail(error);
    if (!spooler_->Redirect(module_.handle()))
        Say("note: the plug-in imports no WritePrinter from winspool.drv; nothing of it can reach the printer");
    Trace("loaded " + Narrow(path));
    return true;
}

bool Driver::Create() {
    std::string error;
    if (FAILED(module_.Create(CLSID_OEMRENDER, IID_IPrintOemPS2, plugin_.put(), &error))) return Fail(error);
    if (!ReadPluginInfo(plugin_.get(), &signature_, &version_, &error)) return Fail(error);
    Trace("GetInfo: signature " + Hex(signature_) + ", version " + std::to_string(version_));
    return true;
}

bool Driver::Publish() {
    HRESULT hr = plugin_->PublishDriverInterface(static_cast<IUnknown*>(static_cast<IPrintCorePS2*>(core_)));
    Trace("PublishDriverInterface(IPrintCorePS2) -> " + Hex(hr));
    // The core driver would offer IPrintOemDriverPS next; this one has only IPrintCorePS2, and a
    // plug-in that refuses every helper gets no further calls.
    if (hr != S_OK) return Fail("the plug-in refused the IPrintCorePS2 helper: " + Hex(hr));
    published_ = true;
    return true;
}

// The public part is the core driver's: what the command line chose.
DEVMODEW Driver::PublicDevMode() const {
    const PaperSize& paper = job_.paper;
    const PpdFeature* r = ppd_.Feature("Resolution");
    const int dpi = r && ResolutionDpi(r->defaultOption) ? ResolutionDpi(r->defaultOption) : 600;
    DEVMODEW dm = DriverPublicDevMode(Widen(ppd_.Global("NickName") ? *ppd_.Global("NickName") : "Corvane printer"));
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION | DM_COLOR |
                  DM_DUPLEX | DM_COLLATE | DM_FORMNAME | DM_NUP;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmScale = 100;  // the watermark is scaled by it, like the page
    dm.dmPaperSize = PaperCode(paper.name);
    dm.dmPaperLength = static_cast<short>(paper.height * 254 / 72);
    dm.dmPaperWidth = static_cast<short>(paper.width * 254 / 72);
    dm.dmCopies = static_cast<short>(o_.copies);
    dm.dmPrintQuality = static_cast<short>(dpi);
    dm.dmYResolution = static_cast<short>(dpi);
    dm.dmColor = o_.color ? o_.color : (ppd_.IsTrue("ColorDevice") ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME);
    dm.dmDuplex = o_.duplex;
    dm.dmCollate = DMCOLLATE_FALSE;
    std::wstring form = Widen(paper.name);
    std::wcsncpy(dm.dmFormName, form.c_str(), CCHFORMNAME - 1);
    dm.dmNup = DMNUP_SYSTEM;
    return dm;
}

// What the user chose in the settings, as the UI plug-in would have stored it.
bool Driver::ApplySettings(DevModeBuffer* dm) {
    if (o_.settings.empty()) return true;
    if (dm->privateSize() != kRecordSize)
        return Fail("the plug-in's private DEVMODE is " + std::to_string(dm->privateSize()) +
                    " bytes, not a job settings record: --set cannot be applied");
    for (const auto& assignment : o_.settings) {
        std::string error;
        if (!ApplySetting(reinterpret_cast<JobSettings*>(dm->Private()), assignment, &error))
            return Fail("--set " + error);
    }
    return true;
}

// Both plug-ins carry the record's code, so the rendering side must answer as the UI side did:
// the same size, the same defaults, and a merge that keeps what the UI side merged.
bool Driver::DevModes() {
    const DEVMODEW base = PublicDevMode();
    UiDevModeResult ui;
    if (ui_ && !UiDevModes(base, &ui)) return false;

    DEVOBJ query{};
    query.dwSize = sizeof query;
    query.hPrinter = spooler_->printer();
    query.hOEM = module_.handle();
    const DevModeCaller caller{plugin_.get(), spooler_->printer(), module_.handle(), &query};
    std::string error;
    if (!AskPrivateSize(caller, &privateSize_, &error)) return Fail(error);
    Trace("DevMode(OEMDM_SIZE) -> " + std::to_string(privateSize_) + " bytes");
    if (ui_ && privateSize_ != ui.merged.privateSize())
        return Fail("the rendering plug-in asks for a private DEVMODE of " + std::to_string(privateSize_) +
                    " bytes, the UI plug-in for " + std::to_string(ui.merged.privateSize()));

    devmode_ = DevModeBuffer(base, privateSize_);
    if (!DefaultDevMode(caller, &devmode_, &error)) return Fail(error);
    Trace("DevMode(OEMDM_DEFAULT) -> S_OK");
    OEM_DMEXTRAHEADER header;
    std::memcpy(&header, devmode_.Private(), sizeof header);
    if (header.dwSize != privateSize_ || header.dwSignature != signature_)
        Violation("the default private DEVMODE has size " + std::to_string(header.dwSize) + " and signature " +
                  Hex(header.dwSignature) + "; GetInfo and OEMDM_SIZE said " + std::to_string(privateSize_) +
                  " and " + Hex(signature_));
    if (ui_) {
        if (ui_->signature() != signature_)
            Violation("the UI plug-in's signature " + Hex(ui_->signature()) + " is not the rendering plug-in's " +
                      Hex(signature_));
        const long at = DevModeBuffer::FirstDifference(ui.defaults, devmode_);
        if (at >= 0)
            Violation("the two plug-ins' default records differ from byte " + std::to_string(at) + " on");
    }

    // Without the UI side the command line's choices stand for the application's DEVMODE.
    if (!ui_) {
        ui.asked = devmode_;
        if (!ApplySettings(&ui.asked)) return false;
    }
    const DevModeBuffer& input = ui_ ? ui.merged : ui.asked;
    if (!MergeDevMode(caller, input, &devmode_, &error)) return Fail(error);
    Trace("DevMode(OEMDM_MERGE) -> S_OK");
    if (ui_) {
        const long at = DevModeBuffer::FirstDifference(ui.merged, devmode_);
        if (at >= 0)
            Violation("the rendering plug-in's merge changed the UI plug-in's record from byte " + std::to_string(at) +
                      " on");
    }
    if (privateSize_ != kRecordSize || ui.asked.privateSize() != kRecordSize) return true;
    const auto* asked = reinterpret_cast<const JobSettings*>(ui.asked.Private());
    const auto* merged = reinterpret_cast<const JobSettings*>(devmode_.Private());
    for (const auto& assignment : o_.settings) {
        std::string name = Narrow(assignment.substr(0, assignment.find(L'=')));
        FieldRef ref;
        if (!FindField(name, &ref)) continue;
        std::wstring want = FormatField(*asked, ref);
        std::wstring got = FormatField(*merged, ref);
        if (want != got)
            Say("note: the plug-ins' merge turned %s=%s into %s", name.c_str(), Narrow(want).c_str(), Narrow(got).c_str());
    }
    return true;
}

bool Driver::EnableDriver() {
    HRESULT hr = plugin_->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof hooks_, &hooks_);
    Trace("EnableDriver -> " + Hex(hr) + ", " + std::to_string(hooks_.c) + " hooks");
    if (FAILED(hr)) return Fail("EnableDriver failed: " + Hex(hr));
    driverEnabled_ = true;
    if (hooks_.c && !hooks_.pdrvfn) {
        Violation("EnableDriver reports " + std::to_string(hooks_.c) + " hooks but no table");
        hooks_.c = 0;
    }
    for (ULONG i = 0; i < hooks_.c; ++i) {
        const DRVFN& entry = hooks_.pdrvfn[i];
        // Only the first hook of a function counts, as with several plug-ins.
        if (entry.iFunc == INDEX_DrvStartDoc && !startDocHook_) startDocHook_ = AsFunction<StartDocFn>(entry.pfn);
        else if (entry.iFunc == INDEX_DrvEscape && !escapeHook_) escapeHook_ = AsFunction<EscapeFn>(entry.pfn);
        Trace("  hook of DDI function " + std::to_string(entry.iFunc));
    }
    return true;
}

std::unique_ptr<HostDevice> Driver::NewDevice() {
    auto device = std::make_unique<HostDevice>();
    device->driver = this;
    device->devmode = devmode_;
    DEVOBJ& d = device->devobj;
    d.dwSize = sizeof d;
    d.hEngine = reinterpret_cast<HANDLE>(device.get());
    d.hPrinter = spooler_->printer();
    d.hOEM = module_.handle();
    d.pPublicDM = device->Public();
    d.pOEMDM = device->Private();
    device->surface.dhpdev = reinterpret_cast<DHPDEV>(&device->devobj);
    device->surface.iType = STYPE_DEVICE;
    device->surface.sizlBitmap = {static_cast<LONG>(job_.paper.width), static_cast<LONG>(job_.paper.height)};
    return device;
}

bool Driver::EnableDevice(HostDevice* device) {
    const PDEVMODEW dm = device->Public();
    const int dpi = dm->dmPrintQuality > 0 ? dm->dmPrintQuality : 600;
    GDIINFO gdi{};
    gdi.ulVersion = GDI_DRIVER_VERSION;
    gdi.ulTechnology = DT_RASPRINTER;
    gdi.ulHorzSize = static_cast<ULONG>(job_.paper.width * 25.4 / 72);
    gdi.ulVertSize = static_cast<ULONG>(job_.paper.height * 25.4 / 72);
    gdi.ulHorzRes = static_cast<ULONG>(job_.paper.width * dpi / 72);
    gdi.ulVertRes = static_cast<ULONG>(job_.paper.height * dpi / 72);
    gdi.cBitsPixel = dm->dmColor == DMCOLOR_COLOR ? 24 : 1;
    gdi.cPlanes = 1;
    gdi.ulLogPixelsX = gdi.ulLogPixelsY = dpi;
    gdi.ulAspectX = gdi.ulAspectY = gdi.ulAspectXY = 100;
    gdi.ptlPhysOffset = {static_cast<LONG>(job_.paper.left * dpi / 72),
                         static_cast<LONG>((job_.paper.height - job_.paper.top) * dpi / 72)};
    gdi.szlPhysSize = {static_cast<LONG>(gdi.ulHorzRes), static_cast<LONG>(gdi.ulVertRes)};
    DEVINFO info{};
    info.flGraphicsCaps = GCAPS_BEZIERS | GCAPS_GEOMETRICWIDE | GCAPS_ALTERNATEFILL | GCAPS_WINDINGFILL;
    info.iDitherFormat = dm->dmColor == DMCOLOR_COLOR ? BMF_24BPP : BMF_1BPP;

    // The core driver's own PDEV work is done before the plug-in's EnablePDEV: from here on the
    // helper's GetOptions answers.
    core_->AddDevice(&device->devobj);
    core_->SetPdevReady(true);
    std::wstring name = Widen(ppd_.Global("NickName") ? *ppd_.Global("NickName") : "Corvane printer");
    PDEVOEM pdevOEM = nullptr;
    HRESULT hr = plugin_->EnablePDEV(&device->devobj, name.data(), 0, nullptr, sizeof gdi, &gdi, sizeof info, &info,
                                     &coreTable_, &pdevOEM);
    Trace("EnablePDEV -> " + Hex(hr));
    if (hr != S_OK) {
        core_->RemoveDevice(&device->devobj);
        return Fail("EnablePDEV failed: " + Hex(hr));
    }
    device->devobj.pdevOEM = pdevOEM;

    DWORD written = 0;
    hr = plugin_->WritePrinter(nullptr, nullptr, 0, &written);
    Trace("WritePrinter(null probe) -> " + Hex(hr));
    if (hr != S_OK && hr != E_NOTIMPL) Violation("the WritePrinter probe answered " + Hex(hr) + ", not S_OK or E_NOTIMPL");
    pluginTakesOutput_ = hr == S_OK;
    stage_->Route(pluginTakesOutput_ ? plugin_.get() : nullptr, &device->devobj);
    return true;
}

void Driver::DisableDevice(HostDevice* device) {
    HRESULT hr = plugin_->DisablePDEV(&device->devobj);
    Trace("DisablePDEV -> " + Hex(hr));
    if (FAILED(hr)) Violation("DisablePDEV failed: " + Hex(hr));
    core_->RemoveDevice(&device->devobj);
}

bool Driver::StartDoc(HostDevice* device) {
    std::wstring name = o_.doc;
    BOOL ok = startDocHook_ ? startDocHook_(&device->surface, name.data(), o_.jobId)
                            : CoreStartDoc(&device->surface, name.data(), o_.jobId);
    Trace(std::string(startDocHook_ ? "StartDoc hook" : "core StartDoc") + " -> " + (ok ? "TRUE" : "FALSE"));
    if (!ok) return Fail("StartDoc failed");
    if (startDocHook_ && coreStartDocs_ == 0)
        Violation("the StartDoc hook did not pass the call on to the core driver's DrvStartDoc");
    return true;
}

bool Driver::ResetDevice() {
    if (!stage_->Flush()) jobFailed_ = true;
    std::unique_ptr<HostDevice> next = NewDevice();
    // A reset brings the DEVMODE of the old device: what the job was printing with.
    next->devmode = device_->devmode;
    next->devobj.pPublicDM = next->Public();
    next->devobj.pOEMDM = next->Private();
    if (!EnableDevice(next.get())) return false;
    HRESULT hr = plugin_->ResetPDEV(&device_->devobj, &next->devobj);
    Trace("ResetPDEV -> " + Hex(hr));
    if (hr != S_OK) Violation("ResetPDEV failed: " + Hex(hr));
    DisableDevice(device_.get());
    device_ = std::move(next);
    int before = coreStartDocs_;
    if (!StartDoc(device_.get())) return false;
    if (startDocHook_ && coreStartDocs_ == before)
        Violation("the StartDoc hook did not pass the call on after the reset");
    return true;
}

void Driver::SendEscapes(int page) {
    for (const EscapeRequest& e : o_.escapes) {
        if (e.page != page) continue;
        DWORD value = e.value;
        std::vector<BYTE> out(16384);
        ULONG result = Escape(e.code, e.hasValue ? 4 : 0, e.hasValue ? &value : nullptr, static_cast<ULONG>(out.size()),
                              out.data());
        std::printf("escape %s at page %d -> %lu\n", Hex(e.code).c_str(), page, static_cast<unsigned long>(result));
    }
}

// As the graphics engine passes an escape on: to the plug-in's hook, else to the core driver.
ULONG Driver::Escape(ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out) {
    SURFOBJ* surface = &device_->surface;
    return escapeHook_ ? escapeHook_(surface, code, inSize, in, outSize, out)
                       : CoreEscape(surface, code, inSize, in, outSize, out);
}

bool Driver::StartExtraPage() {
    const std::string n = std::to_string(pagesOut_ + 1);
    OpenPage("%%Page: " + n + " " + n + "\n", pagesOut_);
    return true;
}

bool Driver::EndExtraPage() {
    ClosePage();
    return true;
}

void Driver::OpenPage(const std::string& label, int index) {
    Inject(PSINJECT_PAGENUMBER, label, true);
    Emit("%%BeginPageSetup\n");
    Inject(PSINJECT_BEGINPAGESETUP);
    Emit(PageSetup(job_, index));
    Inject(PSINJECT_ENDPAGESETUP);
    Emit("%%EndPageSetup\n");
}

void Driver::ClosePage() {
    Inject(PSINJECT_SHOWPAGE);
    Emit("LH\n");
    Emit("%%PageTrailer\n");
    Inject(PSINJECT_PAGETRAILER);
    ++pagesOut_;
    if (!stage_->FlushIfFull()) jobFailed_ = true;
}

bool Driver::Inject(DWORD point, std::string_view fallback, bool replaces) {
    DWORD result = ERROR_NOT_SUPPORTED;
    unsigned long long before = stage_->total();
    HRESULT hr = plugin_->Command(&device_->devobj, point, nullptr, 0, &result);
    unsigned long long added = stage_->total() - before;
    Trace("Command " + std::string(PointName(point)) + " (" + std::to_string(point) + ") -> " + Hex(hr) + ", result " +
          std::to_string(result) + ", " + std::to_string(added) + " bytes");
    bool injected = SUCCEEDED(hr) && result == ERROR_SUCCESS;
    if (SUCCEEDED(hr) && result == ERROR_NOT_SUPPORTED && added)
        Violation(std::string("Command ") + PointName(point) + " wrote " + std::to_string(added) +
                  " bytes and answered ERROR_NOT_SUPPORTED");
    if (replaces && !injected) Emit(fallback);
    return injected;
}

bool Driver::Stream() {
    std::vector<int> order;
    if (job_.nup.booklet) {
        order = BookletOrder(job_.pages);
    } else {
        for (int p = 1; p <= job_.pages; ++p) order.push_back(p);
    }
    const int count = static_cast<int>(order.size());

    Inject(PSINJECT_BEGINSTREAM);
    // The printer's JCL options belong inside a PJL job; without one opened at the start of the
    // stream they would be text in front of the PostScript.
    const bool pjlJob = stage_->StartsWith("\x1b%-12345X");
    for (const auto& f : ppd_.features) {
        if (!f.IsJcl() || !pjlJob) continue;
        const std::string* chosen = core_->Selection(f.keyword);
        const PpdOption* option = chosen ? f.Option(*chosen) : nullptr;
        if (option && !option->code.empty()) Emit(option->code);
    }
    Inject(PSINJECT_PSADOBE);
    Emit("%!PS-Adobe-3.0\n");
    Emit(DocumentComments(job_, CreationDate()));
    // The UI plug-in may add pages at the end of the document: then the count comes at the end.
    const bool documentEvents = o_.documentEvents && ui_;
    const bool pagesAtEnd = documentEvents && !Inject(PSINJECT_PAGES, "%%Pages: (atend)\n", true);
    if (!documentEvents) Inject(PSINJECT_PAGES, PagesComment(count), true);
    Inject(PSINJECT_PAGEORDER, "%%PageOrder: Ascend\n", true);
    Inject(PSINJECT_ORIENTATION, "%%Orientation: Portrait\n", true);
    Inject(PSINJECT_BOUNDINGBOX, BoundingBoxComment(job_.paper), true);
    Inject(PSINJECT_COMMENTS);
    Emit("%%EndComments\n");

    Emit("%%BeginProlog\n");
    Inject(PSINJECT_BEGINPROLOG);
    Emit(Prolog(job_));
    if (documentEvents) Emit(DrawingProcSet());
    Inject(PSINJECT_ENDPROLOG);
    Emit("%%EndProlog\n");

    Emit("%%BeginSetup\n");
    Inject(PSINJECT_BEGINSETUP);
    // The resolution travels in the job's PJL; in PostScript it would override the renderer's.
    if (const PpdFeature* size = ppd_.Feature("PageSize"))
        if (const PpdOption* option = size->Option(job_.paper.name)) Emit(FeatureCode("PageSize", option->keyword, option->code));
    if (const PpdFeature* duplex = ppd_.Feature("Duplex")) {
        const char* choice = o_.duplex == DMDUP_VERTICAL ? "DuplexNoTumble"
                             : o_.duplex == DMDUP_HORIZONTAL ? "DuplexTumble"
                                                             : "None";
        if (const PpdOption* option = duplex->Option(choice)) Emit(FeatureCode("Duplex", option->keyword, option->code));
    }
    if (o_.copies > 1) Emit(CopiesCode(o_.copies));
    Inject(PSINJECT_ENDSETUP);
    Emit("%%EndSetup\n");

    if (documentEvents) {
        const PDEVMODEW dm = device_->Public();
        UiPrintSettings settings;
        settings.printer = ui_->spooler().printer();
        settings.module = ui_->module();
        settings.caps = CapsForPaper(job_.paper, dm->dmPrintQuality);
        settings.color = job_.color;
        settings.title = o_.doc;
        settings.pages = job_.pages;
        settings.previewFolder = o_.preview;
        settings.fonts = PrinterFonts(ppd_);
        IPrintOemUI2* ui = ui_->plugin();
        settings.handler = [ui](HANDLE printer, HDC dc, INT event, ULONG inSize, PVOID in, ULONG outSize, PVOID out,
                                PINT result) {
            return ui->DocumentEvent(printer, dc, event, inSize, in, outSize, out, result);
        };
        printing_ = std::make_unique<UiPrinting>(this, settings);
        printing_->StartDocument();
    }
    for (int i = 0; i < count; ++i) {
        const int ordinal = i + 1;
        if (o_.resetAt == ordinal && !ResetDevice()) return false;
        SendEscapes(ordinal);
        OpenPage("%%Page: " + std::to_string(order[i]) + " " + std::to_string(ordinal) + "\n", i);
        if (printing_) {
            printing_->StartPage(ordinal, order[i]);
            printing_->EndPage(PageBody(job_, order[i]));
        } else {
            Emit(PageBody(job_, order[i]));
        }
        ClosePage();
        if (o_.memStats) memory_.PageDone(ordinal);
    }
    if (printing_) printing_->EndDocument();
    for (const EscapeRequest& e : o_.escapes)
        if (e.page > count) Say("note: escape %s for page %d was not sent: the job has %d pages", Hex(e.code).c_str(), e.page, count);
    if (o_.resetAt > count) Say("note: the job has %d pages: no reset before page %d", count, o_.resetAt);

    Emit("%%Trailer\n");
    if (pagesAtEnd) Emit(PagesComment(pagesOut_));
    Inject(PSINJECT_TRAILER);
    Emit(TrailerCode(job_));
    Emit("%%EOF\n");
    Inject(PSINJECT_EOF);
    Inject(PSINJECT_ENDSTREAM);
    if (!stage_->Flush()) jobFailed_ = true;
    return true;
}

// The UI side's pages are listed for the person who prints as they end.
void Driver::PageRecorded(const PagePreview& page) {
    if (!page.png.empty() || o_.trace) std::printf("corvhost: preview %s\n", DescribePreview(page).c_str());
}

// The UI side's findings join the job's.
void Driver::EndUi() {
    if (!printing_) return;
    for (const auto& p : printing_->problems()) Violation("UI plug-in: " + p);
    for (const auto& n : printing_->notes()) Say("note: %s", n.c_str());
    printing_.reset();
}

// The application's process lets the UI plug-in go when it has printed.
void Driver::TeardownUi() {
    if (!ui_) return;
    ui_->Close(&violations_);
    for (const auto& v : ui_->core().violations()) Violation("UI plug-in: " + v);
    ui_.reset();
}

void Driver::Teardown() {
    EndUi();
    TeardownUi();
    if (!plugin_.get()) return;
    if (device_) {
        if (stage_->pendingBytes() && !stage_->Flush()) jobFailed_ = true;
        DisableDevice(device_.get());
        device_.reset();
    }
    if (driverEnabled_) {
        HRESULT hr = plugin_->DisableDriver();
        Trace("DisableDriver -> " + Hex(hr));
        startDocHook_ = nullptr;
        escapeHook_ = nullptr;
    }
    ULONG left = plugin_.reset();
    Trace("Release -> " + std::to_string(left));
    if (left != 0) Violation("the plug-in object still counts " + std::to_string(left) + " references after the driver's last Release");
    if (published_ && core_->references() != 1)
        Violation("the plug-in still holds " + std::to_string(core_->references() - 1) + " references on the core helper");
    HRESULT hr = module_.CanUnloadNow();
    Trace("DllCanUnloadNow -> " + Hex(hr));
    if (hr != S_OK) Violation("DllCanUnloadNow answers " + Hex(hr) + " with every object released");
    spooler_->EndRedirect();
    module_.Unload();
}

int Driver::Run() {
    bool ok = Load() && LoadUi() && Create() && Publish() && DevModes() && EnableDriver();
    if (ok) {
        device_ = NewDevice();
        ok = EnableDevice(device_.get());
        if (!ok) device_.reset();
    }
    ok = ok && StartDoc(device_.get()) && Stream();
    Teardown();
    if (!stage_->lastError().empty()) Say("%s", stage_->lastError().c_str());
    for (const auto& v : core_->violations()) violations_.push_back(v);
    for (const auto& v : violations_) Say("rule broken: %s", v.c_str());
    if (!ok || jobFailed_) return kExitJobFailed;
    Report();
    return violations_.empty() ? kExitOk : kExitRuleBroken;
}

void Driver::Report() {
    const JobSettings* record = privateSize_ == kRecordSize
                                    ? reinterpret_cast<const JobSettings*>(devmode_.Private())
                                    : nullptr;
    std::string nup = job_.nup.booklet ? "booklet" : std::to_string(job_.nup.perSheet) + " per sheet";
    std::printf("corvhost: %s, %d page%s (%s), plug-in signature %s version %lu\n",
                ppd_.Global("NickName") ? ppd_.Global("NickName")->c_str() : "?", job_.pages,
                job_.pages == 1 ? "" : "s", nup.c_str(), Hex(signature_).c_str(), static_cast<unsigned long>(version_));
    std::printf("corvhost: %llu bytes of output, %llu reached the spooler -> %s\n", stage_->total(), spooler_->bytes(),
                Narrow(o_.out).c_str());
    if (record && (record->dwOutputTo == kOutputFile || record->dwOutputTo == kOutputEps))
        std::printf("corvhost: the plug-in sends this job to the file %s\n",
                    Narrow(std::wstring(record->szOutputFile)).c_str());
    if (record && record->bDiscardOutput) std::printf("corvhost: the job's output is discarded (bDiscardOutput)\n");
}

void ListFields() {
    JobSettings record{};
    DefaultRecord(&record);
    auto list = [&](const FieldTable& table, const std::string& prefix, auto& self) -> void {
        for (const FieldInfo& f : table) {
            std::string name = prefix + f.name;
            if (f.type == FieldType::Record) {
                self(*f.record, name + ".", self);
                continue;
            }
            FieldRef ref;
            FindField(name, &ref);
            static const char* const kTypes[] = {"u8", "u16", "u32", "i32", "f64", "text", "colour", "record"};
            std::string type = kTypes[static_cast<int>(f.type)];
            if (f.type == FieldType::Text) type += "[" + std::to_string(f.size / 2) + "]";
            std::printf("%-28s %5zu  %-10s %s\n", name.c_str(), ref.offset, type.c_str(),
                        Narrow(FormatField(record, ref)).c_str());
        }
    };
    std::printf("%-28s %5s  %-10s %s\n", "field", "at", "type", "default");
    list(JobSettingsFields(), "", list);
}

}  // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return L".\\";
    while (n && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
    return std::wstring(path, n);
}

int RunHost(const HostOptions& options) {
    if (options.listFields) {
        ListFields();
        return kExitOk;
    }
    // The spooler's part first: the printer's driver installed from the package, whose
    // configuration file names the plug-ins.
    std::string error;
    InstalledDriver installed;
    Ppd ppd;
    if (!SetUpPrinter(options.driver.empty() ? ProgramFolder() + L"driver\\" : options.driver, options.ppd,
                      &installed, &ppd, &error)) {
        Say("%s", error.c_str());
        return kExitBadInput;
    }

    Spooler spooler;
    OutputStage stage(&spooler);
    HostCore core(ppd, &stage);
    if (options.trace) core.trace = [](const std::string& line) { Say("  helper %s", line.c_str()); };

    JobLayout job;
    job.title = Narrow(options.doc);
    job.pages = options.pages;
    job.copies = options.copies;
    const PpdFeature* sizes = ppd.Feature("PageSize");
    std::string paper = options.paper.empty() ? (sizes ? sizes->defaultOption : std::string()) : Narrow(options.paper);
    if (!ReadPaperSize(ppd, paper, &job.paper)) {
        Say("the printer has no paper size '%s' with a *PaperDimension", paper.c_str());
        return kExitBadInput;
    }
    if (!options.nup.empty() && !core.Select("%PagePerSheet", Narrow(options.nup))) {
        std::string offered;
        for (const auto& o : core.Options("%PagePerSheet")) offered += " " + o;
        Say("the printer offers no \"%%PagePerSheet\" option '%s' (it offers:%s)", Narrow(options.nup).c_str(),
            offered.c_str());
        return kExitBadInput;
    }
    const std::string nup = *core.Selection("%PagePerSheet");
    bool booklet = nup == "Booklet";
    if (!MakeNupLayout(booklet ? 2 : std::atoi(nup.c_str()), booklet, job.paper.width, job.paper.height, &job.nup)) {
        Say("corvhost cannot lay out \"%%PagePerSheet\" %s", nup.c_str());
        return kExitBadInput;
    }
    job.color = options.color ? options.color == DMCOLOR_COLOR : ppd.IsTrue("ColorDevice");

    if (!spooler.Open(options.out, &error)) {
        Say("%s: %s", Narrow(options.out).c_str(), error.c_str());
        return kExitBadInput;
    }
    Driver driver(options, ppd, installed, job, &spooler, &stage, &core);
    int code = driver.Run();
    spooler.Close();
    return code;
}

}  // namespace corv::host
