#include "host/prefs/prefs.h"

#include "common/handles.h"
#include "common/record.h"
#include "host/kit/devmodes.h"
#include "host/kit/driverpackage.h"
#include "host/kit/fields.h"
#include "host/print/driver.h"
#include "host/kit/hostio.h"
#include "host/prefs/optionlist.h"
#include "host/prefs/script.h"
#include "host/prefs/userprefs.h"
#include "host/kit/ppd.h"
#include "host/kit/uihost.h"
#include "host/standins/helpviewer.h"
#include "host/standins/printerfonts.h"
#include "host/standins/uispooler.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace corv::host {
namespace {

constexpr UINT kTimerMs = 250;

void Say(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fputs("corvhost prefs: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}

void DestroyHeap(HANDLE heap) { HeapDestroy(heap); }
using UniqueHeap = Unique<HANDLE, DestroyHeap>;

// A picture of a window as it stands on the screen, saved as PNG through GDI+; with `beside`,
// of the screen under both windows (the sheet and the help window placed next to it).
bool SaveWindowPicture(HWND window, HWND beside, const std::wstring& path, std::string* error) {
    RECT r;
    if (!GetWindowRect(window, &r)) return *error = "the sheet has no window rectangle", false;
    RECT other;
    if (beside && GetWindowRect(beside, &other)) UnionRect(&r, &r, &other);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return *error = "the sheet has no size", false;
    UniqueDC memory(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap) return *error = "no memory bitmap for the picture", false;
    {
        SelectGuard select(memory.get(), bitmap.get());
        PatBlt(memory.get(), 0, 0, w, h, WHITENESS);
        // Each window where it stands: what the display shows, PrintWindow only where the
        // window DC cannot be read.
        for (HWND each : {window, beside}) {
            RECT at;
            if (!each || !GetWindowRect(each, &at)) continue;
            const int x = at.left - r.left, y = at.top - r.top;
            HDC screen = GetWindowDC(each);
            bool copied = screen && BitBlt(memory.get(), x, y, at.right - at.left, at.bottom - at.top, screen, 0, 0, SRCCOPY);
            if (screen) ReleaseDC(each, screen);
            POINT origin;
            SetViewportOrgEx(memory.get(), x, y, &origin);
            if (!copied) copied = PrintWindow(each, memory.get(), 0);
            SetViewportOrgEx(memory.get(), origin.x, origin.y, nullptr);
            if (!copied) return *error = "a window could not be copied", false;
        }
    }
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return *error = "GDI+ did not start", false;
    // The PNG encoder of GDI+.
    const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    Gdiplus::GpBitmap* image = nullptr;
    Gdiplus::Status status = Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(
        static_cast<HBITMAP>(bitmap.get()), nullptr, &image);
    if (status == Gdiplus::Ok) {
        status = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr);
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    Gdiplus::GdiplusShutdown(token);
    if (status != Gdiplus::Ok) return *error = "GDI+ could not save the PNG (status " + std::to_string(status) + ")", false;
    return true;
}

// What the Output Options page stored: destination, held-job fields (the PIN only as stars) and
// the fax record's fields and cover parts.
void ReportOutputOptions(const JobSettings& record) {
    auto text = [](const WCHAR* field, size_t capacity) {
        return Narrow(std::wstring(field, wcsnlen(field, capacity)));
    };
    const FaxRecord& fax = record.fax;
    std::printf("record: dwOutputTo %lu\n", static_cast<unsigned long>(record.dwOutputTo));
    std::printf("record: szHoldUserName \"%s\"\n", text(record.szHoldUserName, 25).c_str());
    std::printf("record: szHoldPin \"%s\"\n", std::string(wcsnlen(record.szHoldPin, 5), '*').c_str());
    std::printf("record: bKeepDuplicateJobs %u\n", static_cast<unsigned>(record.bKeepDuplicateJobs));
    std::printf("record: szRecipientName \"%s\"\n", text(fax.szRecipientName, 128).c_str());
    std::printf("record: szFaxNumber \"%s\"\n", text(fax.szFaxNumber, 128).c_str());
    std::printf("record: szFaxStation \"%s\"\n", text(fax.szFaxStation, 128).c_str());
    std::printf("record: wFaxResolution %u\n", static_cast<unsigned>(fax.wFaxResolution));
    std::printf("record: bFaxCoverPage %u\n", static_cast<unsigned>(fax.bFaxCoverPage));
    std::printf("record: dwCoverParts %lu\n", static_cast<unsigned long>(fax.dwCoverParts));
}

// Record fields as "record: NAME=VALUE" lines, the form --set reads back.
void PrintFields(const JobSettings& record, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        FieldRef field;
        if (FindField(name, &field)) std::printf("record: %s=%s\n", name, Narrow(FormatField(record, field)).c_str());
    }
}

// One printing-preferences sheet: the core driver's side of it.
class PrefsSession {
public:
    PrefsSession(const PrefsOptions& options, const Ppd& ppd, const InstalledDriver& installed)
        : o_(options), ppd_(ppd), installed_(installed), options_(ppd),
          ui_(ppd, DescribePrinter(ppd, installed), [this](const std::string& line) { Trace(line); }) {}

    int Run();

    // The sheet function compstui calls (PFNPROPSHEETUI), and the recording wrapper of
    // compstui's own sheet function that the plug-in gets.
    static LONG CALLBACK SheetUi(PPROPSHEETUI_INFO info, LPARAM lParam);
    static LONG CALLBACK DriverSheetUi(PPROPSHEETUI_INFO info, LPARAM lParam);
    static INT_PTR CALLBACK DriverPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    static LONG_PTR CALLBACK PluginSheetFunction(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2);
    static LONG APIENTRY OptionCallback(PCPSUICBPARAM param);
    static VOID CALLBACK AutoCloseTimer(HWND, UINT, UINT_PTR, DWORD);

private:
    bool Fail(const std::string& why) {
        Say("%s", why.c_str());
        return false;
    }
    void Trace(const std::string& line) const {
        if (o_.trace) Say("%s", line.c_str());
    }
    void Violation(const std::string& what) { violations_.push_back(what); }

    bool Load();
    bool DevModes();
    bool CommonUi();
    bool ShowSheet();
    void Teardown();
    void Report();

    LONG OnSheet(PPROPSHEETUI_INFO info, LPARAM lParam);
    LONG OnDriverSheet(PPROPSHEETUI_INFO info, LPARAM lParam);
    INT_PTR OnDriverPage(HWND page, UINT message, LPARAM lParam);
    LONG CallOptionCallback(HWND page, WORD reason);
    void FillDriverPage(HWND page);
    void AddDriverPage();
    LONG_PTR OnPluginSheetFunction(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2);
    LONG OnOption(PCPSUICBPARAM param);
    void OnTimer();
    void OnScriptTick(HWND sheet);
    bool KeepsPreferences() const;
    void AskHelp(HWND sheet);
    void ReadAboutFiles(HWND page);
    bool TakePicture(HWND sheet);
    void SavePicture(HWND window);
    LONG CallPlugin(WORD reason, LPARAM lParam);

    const PrefsOptions& o_;
    const Ppd& ppd_;
    const InstalledDriver& installed_;
    DriverOptionList options_;
    UiPluginHost ui_;
    std::unique_ptr<PrinterFontContext> printerFonts_;
    UniqueHeap heap_;
    DWORD privateSize_ = 0;
    DevModeBuffer devmode_;
    std::wstring printerName_;
    std::wstring title_;  // "<model> Printing Preferences"
    OEMUIPSPARAM sheetParams_{};
    OEMCUIPPARAM uiParams_{};
    std::vector<OPTITEM> pluginItems_;
    COMPROPSHEETUI driverPage_{};

    // The sheet as compstui runs it.
    HANDLE sheet_ = nullptr;
    PFNCOMPROPSHEET sheetFunction_ = nullptr;
    PROPSHEETUI_INFO pluginInfo_{};
    std::vector<std::string> log_;             // what happened, in order, for the report
    std::vector<std::wstring> pageTemplates_;  // what the plug-in added
    std::vector<std::wstring> tabs_;           // the sheet's tabs as shown
    LONG_PTR driverPageResult_ = 0;
    bool setResultSeen_ = false;
    LRESULT sheetResult_ = 0;
    int ticks_ = 0;
    int step_ = 0;
    size_t pressed_ = 0;         // --press clicks made
    HWND pressedIn_ = nullptr;   // the dialog the last of them went to; null: the page
    bool screenshotSaved_ = false;
    HelpRecorder help_;
    bool helpAsked_ = false;
    HWND helpWindow_ = nullptr;
    std::vector<std::string> aboutRows_;  // the About page's file list as shown
    std::vector<std::string> violations_;
    std::unique_ptr<ScriptPlayer> script_;
    bool scriptEnded_ = false;
    int ticksAfterOk_ = 0;
    std::string scriptError_;

    static PrefsSession* current_;
};

PrefsSession* PrefsSession::current_ = nullptr;

bool PrefsSession::Load() {
    std::string error;
    if (o_.plugin.empty() && installed_.uiPlugin.empty())
        return Fail("the printer's plug-in configuration names no UI plug-in");
    if (!ui_.Open(o_.plugin.empty() ? installed_.uiPlugin : o_.plugin, &error)) return Fail(error);
    // The help the plug-in's pages open goes through a recorder to Wine's HTML help.
    if (!help_.Attach(ui_.module())) Trace("the UI plug-in imports no GetProcAddress: its help calls are not recorded");
    // The driver's first installation in this prefix sets up the plug-in's defaults; a plug-in
    // given on the command line is not the installed driver's.
    HRESULT installed = S_OK;
    if (o_.plugin.empty() && ui_.InstallDriverOnce(&installed))
        std::printf("driver installed: DriverEvent(DRIVER_EVENT_INITIALIZE) -> %s\n", Hex(installed).c_str());
    // What the driver does when the printer is installed: the plug-in names its print processor.
    const HRESULT hr = ui_.plugin()->PrinterEvent(printerName_.data(), PRINTER_EVENT_INITIALIZE, 0, 0);
    Trace("PrinterEvent(PRINTER_EVENT_INITIALIZE) -> " + Hex(hr));
    // The watermark font list asks the printer's device context, which Wine cannot make.
    std::vector<std::wstring> faces;
    for (const std::string& font : PrinterFonts(ppd_)) faces.push_back(Widen(font));
    printerFonts_ = std::make_unique<PrinterFontContext>(ui_.module(), printerName_, std::move(faces));
    return true;
}

bool PrefsSession::DevModes() {
    const DevModeCaller caller{ui_.plugin(), ui_.spooler().printer(), ui_.module(), nullptr};
    std::string error;
    if (!AskPrivateSize(caller, &privateSize_, &error)) return Fail(error);
    Trace("DevMode(OEMDM_SIZE) -> " + std::to_string(privateSize_) + " bytes");
    DEVMODEW base = DriverPublicDevMode(printerName_);
    base.dmFields = DM_ORIENTATION | DM_COPIES | DM_COLLATE | DM_NUP;
    base.dmOrientation = DMORIENT_PORTRAIT;
    base.dmCopies = 1;
    base.dmNup = DMNUP_SYSTEM;
    devmode_ = DevModeBuffer(base, privateSize_);
    if (!DefaultDevMode(caller, &devmode_, &error)) return Fail(error);
    Trace("DevMode(OEMDM_DEFAULT) -> S_OK");
    // The sheet opens on what this user chose last, as the spooler hands the per-user DEVMODE.
    DevModeBuffer stored;
    if (!o_.ignorePrefs && ReadUserPreferences(printerName_, privateSize_, &stored)) {
        if (!MergeDevMode(caller, stored, &devmode_, &error)) return Fail(error);
        log_.push_back("preferences: this user's, merged into the defaults");
    }
    // The record as a stored document would bring it: the sheet's pages start from these values.
    if (!o_.settings.empty() && privateSize_ != kRecordSize) return Fail("--set needs the job settings record");
    for (const auto& setting : o_.settings)
        if (!ApplySetting(reinterpret_cast<JobSettings*>(devmode_.Private()), setting, &error))
            return Fail("--set " + error);
    return true;
}

bool PrefsSession::CommonUi() {
    uiParams_.cbSize = sizeof uiParams_;
    uiParams_.poemuiobj = ui_.core().uiObject();
    uiParams_.hPrinter = ui_.spooler().printer();
    uiParams_.pPrinterName = printerName_.data();
    uiParams_.hModule = ui_.module();
    uiParams_.hOEMHeap = heap_.get();
    uiParams_.pPublicDM = devmode_.Public();
    uiParams_.pOEMDM = devmode_.Private();
    uiParams_.dwFlags = DM_IN_BUFFER | DM_OUT_BUFFER | DM_IN_PROMPT;
    uiParams_.pDrvOptItems = options_.items();
    uiParams_.cDrvOptItems = options_.count();
    // First how many items of its own the plug-in adds, then the call that fills them.
    HRESULT hr = ui_.plugin()->CommonUIProp(OEMCUIP_DOCPROP, &uiParams_);
    Trace("CommonUIProp(OEMCUIP_DOCPROP, count) -> " + Hex(hr) + ", " + std::to_string(uiParams_.cOEMOptItems) +
          " items");
    if (hr != S_OK) return Fail("CommonUIProp (count) failed: " + Hex(hr));
    if (uiParams_.cOEMOptItems > 256) return Fail("the plug-in asks for " + std::to_string(uiParams_.cOEMOptItems) + " items");
    const DWORD asked = uiParams_.cOEMOptItems;
    pluginItems_.assign(asked ? asked : 1, OPTITEM{});
    for (OPTITEM& item : pluginItems_) item.cbSize = sizeof(OPTITEM);
    uiParams_.pOEMOptItems = pluginItems_.data();
    hr = ui_.plugin()->CommonUIProp(OEMCUIP_DOCPROP, &uiParams_);
    Trace("CommonUIProp(OEMCUIP_DOCPROP, items) -> " + Hex(hr) + ", " + std::to_string(uiParams_.cOEMOptItems) +
          " items, callback " + (uiParams_.OEMCUIPCallback ? "set" : "none"));
    if (hr != S_OK) return Fail("CommonUIProp (items) failed: " + Hex(hr));
    if (uiParams_.cOEMOptItems > asked)
        Violation("CommonUIProp filled " + std::to_string(uiParams_.cOEMOptItems) + " items, having asked for " +
                  std::to_string(asked));
    log_.push_back("CommonUIProp: " + std::to_string(options_.count()) + " driver items, " +
                   std::to_string(uiParams_.cOEMOptItems) + " of the plug-in's own");
    return true;
}

LONG PrefsSession::CallPlugin(WORD reason, LPARAM lParam) {
    pluginInfo_.Reason = reason;
    pluginInfo_.Result = 0;
    HRESULT hr = ui_.plugin()->DocumentPropertySheets(&pluginInfo_, lParam);
    static const char* const kReasons[] = {"INIT", "GET_INFO_HEADER", "DESTROY", "SET_RESULT", "GET_ICON"};
    std::string line = std::string("DocumentPropertySheets(PROPSHEETUI_REASON_") +
                       (reason < 5 ? kReasons[reason] : "?") + ") -> " + Hex(hr) + ", Result " +
                       std::to_string(static_cast<long long>(pluginInfo_.Result));
    log_.push_back(line);
    Trace(line);
    return SUCCEEDED(hr) ? 1 : -1;
}

LONG PrefsSession::OnSheet(PPROPSHEETUI_INFO info, LPARAM lParam) {
    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            // The application's part: the core driver's sheet function becomes a child of this
            // one, as with the printing-preferences command of the printer folder.
            info->UserData = reinterpret_cast<ULONG_PTR>(this);
            info->Result = CPSUI_CANCEL;
            LONG_PTR added = info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PFNPROPSHEETUIW,
                                                   reinterpret_cast<LPARAM>(&DriverSheetUi),
                                                   reinterpret_cast<LPARAM>(this));
            log_.push_back("driver sheet function (CPSFUNC_ADD_PFNPROPSHEETUIW) -> " + std::string(added > 0 ? "added" : "refused"));
            return added > 0 ? 1 : -1;
        }
        case PROPSHEETUI_REASON_GET_INFO_HEADER: {
            auto header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
            if (!header) return -1;
            header->pTitle = title_.data();
            header->Flags = PSUIHDRF_EXACT_PTITLE;
            header->hInst = GetModuleHandleW(nullptr);
            header->IconID = IDI_CPSUI_PRINTER;
            return 1;
        }
        case PROPSHEETUI_REASON_SET_RESULT: {
            auto result = reinterpret_cast<PSETRESULT_INFO>(lParam);
            setResultSeen_ = true;
            if (result) sheetResult_ = result->Result;
            log_.push_back("PROPSHEETUI_REASON_SET_RESULT: " + std::to_string(static_cast<long long>(sheetResult_)));
            info->Result = result ? result->Result : 0;
            return 1;
        }
        default:
            return 1;
    }
}

// The core driver's document page when compstui cannot build one from the option items: a list
// of the items (control 8000, where the driver's tree view stands) in a page made in memory.
struct DriverPageTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass;
    WCHAR caption[9];
    WORD pointSize;
    WCHAR font[15];
    DLGITEMTEMPLATE list;
    WORD classMarker, classId;
    WCHAR title[1];
    WORD extra;
};

alignas(4) const DriverPageTemplate kDriverPage = {
    {WS_CHILD | DS_CONTROL | DS_SETFONT, 0, 1, 0, 0, 252, 218}, 0, 0, L"Document", 8, L"MS Shell Dlg 2",
    {WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 7, 7, 238, 204, 8000}, 0xFFFF, 0x0083,
    L"", 0};
static_assert(offsetof(DriverPageTemplate, list) % 4 == 0);

void PrefsSession::AddDriverPage() {
    driverPage_.cbSize = sizeof driverPage_;
    driverPage_.hInstCaller = GetModuleHandleW(nullptr);
    driverPage_.pCallerName = printerName_.data();
    driverPage_.pfnCallBack = &OptionCallback;
    driverPage_.pOptItem = options_.items();
    driverPage_.cOptItem = static_cast<WORD>(options_.count());
    driverPage_.pDlgPage = CPSUI_PDLGPAGE_DOCPROP;
    driverPage_.pOptItemName = const_cast<LPWSTR>(L"Document Options");
    driverPage_.CallerVersion = 0x100;
    driverPage_.OptItemVersion = 0x100;
    driverPageResult_ = sheetFunction_(sheet_, CPSFUNC_ADD_PCOMPROPSHEETUIW, reinterpret_cast<LPARAM>(&driverPage_), 0);
    log_.push_back("driver page (CPSFUNC_ADD_PCOMPROPSHEETUIW) -> " + std::to_string(driverPageResult_));
    if (driverPageResult_ > 0) return;
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pResource = &kDriverPage.dialog;
    page.pfnDlgProc = &DriverPageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    driverPageResult_ = sheetFunction_(sheet_, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0);
    log_.push_back("driver page (CPSFUNC_ADD_PROPSHEETPAGEW, made in memory) -> " +
                   std::string(driverPageResult_ > 0 ? "added" : "refused"));
}

void PrefsSession::FillDriverPage(HWND page) {
    HWND list = GetDlgItem(page, 8000);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const auto& line : options_.Describe()) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

// What compstui does for a page of option items: the callback hears the page's activation and
// its apply.
LONG PrefsSession::CallOptionCallback(HWND page, WORD reason) {
    CPSUICBPARAM param{};
    param.cbSize = sizeof param;
    param.Reason = reason;
    param.hDlg = page;
    param.pOptItem = options_.items();
    param.cOptItem = static_cast<WORD>(options_.count());
    param.pCurItem = options_.items();
    param.UserData = driverPage_.UserData;
    return OnOption(&param);
}

INT_PTR PrefsSession::OnDriverPage(HWND page, UINT message, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            FillDriverPage(page);
            return TRUE;
        case WM_NOTIFY: {
            auto header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == PSN_SETACTIVE) {
                if (CallOptionCallback(page, CPSUICB_REASON_SETACTIVE) == CPSUICB_ACTION_REINIT_ITEMS) FillDriverPage(page);
                SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
                return TRUE;
            }
            if (header->code == PSN_APPLY) {
                CallOptionCallback(page, CPSUICB_REASON_APPLYNOW);
                SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK PrefsSession::DriverPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
    auto self = reinterpret_cast<PrefsSession*>(GetWindowLongPtrW(page, DWLP_USER));
    if (!self) return FALSE;
    try {
        return self->OnDriverPage(page, message, lParam);
    } catch (...) {
        return FALSE;
    }
}

// The core driver's part: its own document page, then the plug-in's pages, and every later
// reason passed on to the plug-in.
LONG PrefsSession::OnDriverSheet(PPROPSHEETUI_INFO info, LPARAM lParam) {
    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            sheet_ = info->hComPropSheet;
            sheetFunction_ = info->pfnComPropSheet;
            info->UserData = reinterpret_cast<ULONG_PTR>(this);
            // The driver's own document page first, the plug-in's pages after it.
            AddDriverPage();

            sheetParams_.cbSize = sizeof sheetParams_;
            sheetParams_.poemuiobj = ui_.core().uiObject();
            sheetParams_.hPrinter = ui_.spooler().printer();
            sheetParams_.pPrinterName = printerName_.data();
            sheetParams_.hModule = ui_.module();
            sheetParams_.hOEMHeap = heap_.get();
            sheetParams_.pPublicDM = uiParams_.pPublicDM;
            sheetParams_.pOEMDM = uiParams_.pOEMDM;
            sheetParams_.pOEMUserData = uiParams_.pOEMUserData;
            sheetParams_.dwFlags = uiParams_.dwFlags;
            pluginInfo_ = PROPSHEETUI_INFO{};
            pluginInfo_.cbSize = sizeof pluginInfo_;
            pluginInfo_.Version = PROPSHEETUI_INFO_VERSION;
            pluginInfo_.hComPropSheet = sheet_;
            pluginInfo_.pfnComPropSheet = &PluginSheetFunction;
            pluginInfo_.lParamInit = reinterpret_cast<LPARAM>(&sheetParams_);
            LONG ok = CallPlugin(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&sheetParams_));
            info->Result = pluginInfo_.Result;
            return ok;
        }
        case PROPSHEETUI_REASON_GET_INFO_HEADER:
            return CallPlugin(PROPSHEETUI_REASON_GET_INFO_HEADER, lParam);
        case PROPSHEETUI_REASON_SET_RESULT: {
            auto result = reinterpret_cast<PSETRESULT_INFO>(lParam);
            CallPlugin(PROPSHEETUI_REASON_SET_RESULT, lParam);
            info->Result = result ? result->Result : 0;
            return 1;
        }
        case PROPSHEETUI_REASON_DESTROY:
            return CallPlugin(PROPSHEETUI_REASON_DESTROY, lParam);
        default:
            return 0;
    }
}

LONG_PTR PrefsSession::OnPluginSheetFunction(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
    if (sheet != sheet_) Violation("the plug-in called the sheet function with a handle that is not its sheet's");
    LONG_PTR result = sheetFunction_ ? sheetFunction_(sheet, function, lParam1, lParam2) : 0;
    if (function == CPSFUNC_ADD_PROPSHEETPAGEW) {
        auto page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
        std::wstring name = !page                                  ? L"(none)"
                            : IS_INTRESOURCE(page->pszTemplate) ? L"template " + std::to_wstring(reinterpret_cast<ULONG_PTR>(page->pszTemplate))
                            : (page->dwFlags & PSP_DLGINDIRECT)    ? L"template in memory"
                                                                   : L"template " + std::wstring(page->pszTemplate);
        pageTemplates_.push_back(name);
        log_.push_back("CPSFUNC_ADD_PROPSHEETPAGEW " + Narrow(name) + " -> " + std::to_string(result));
    } else if (function == CPSFUNC_SET_RESULT) {
        log_.push_back("CPSFUNC_SET_RESULT " + std::to_string(static_cast<long long>(lParam2)) + " -> " +
                       std::to_string(result));
        // Wine's compstui refuses the call once the sheet is being destroyed, which is when the
        // plug-in makes it; the result then goes to the parent sheet function as compstui
        // would send it.
        if (result <= 0 && sheet == sheet_) {
            SETRESULT_INFO info{sizeof info, 0, sheet, static_cast<LRESULT>(lParam2)};
            PROPSHEETUI_INFO parent{};
            parent.cbSize = sizeof parent;
            parent.Version = PROPSHEETUI_INFO_VERSION;
            parent.Reason = PROPSHEETUI_REASON_SET_RESULT;
            parent.UserData = reinterpret_cast<ULONG_PTR>(this);
            log_.push_back("CPSFUNC_SET_RESULT delivered to the parent sheet function by corvhost");
            result = OnSheet(&parent, reinterpret_cast<LPARAM>(&info));
        }
    } else {
        log_.push_back("sheet function " + std::to_string(function) + " -> " + std::to_string(result));
    }
    return result;
}

// compstui calls this for the driver's page; the plug-in's callback sees every reason after
// the driver, as with the core driver.
LONG PrefsSession::OnOption(PCPSUICBPARAM param) {
    if (!param) return CPSUICB_ACTION_NONE;
    LONG action = CPSUICB_ACTION_NONE;
    if (uiParams_.OEMCUIPCallback) action = uiParams_.OEMCUIPCallback(param, &uiParams_);
    if (param->Reason == CPSUICB_REASON_APPLYNOW || param->Reason == CPSUICB_REASON_SETACTIVE)
        log_.push_back(std::string("option callback ") +
                       (param->Reason == CPSUICB_REASON_APPLYNOW ? "CPSUICB_REASON_APPLYNOW" : "CPSUICB_REASON_SETACTIVE") +
                       " -> " + std::to_string(action));
    return action;
}

HWND FindSheetWindow() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            if (IsWindowVisible(window) && PropSheet_GetTabControl(window)) {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// A dialog window (class #32770) of this thread that is shown and enabled, owned by one of the
// two owners (by any window for a null owner) and not the one excluded; null when there is none.
HWND FindOwnedDialog(HWND owner, HWND otherOwner, HWND excluded) {
    struct Search {
        HWND owner, otherOwner, excluded, dialog;
    } search{owner, otherOwner, excluded, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        const HWND by = GetWindow(w, GW_OWNER);
        WCHAR kind[16] = {};
        GetClassNameW(w, kind, 16);
        if (w == s->excluded || !by || (s->owner && by != s->owner && by != s->otherOwner) ||
            std::wcscmp(kind, L"#32770") != 0 || !IsWindowVisible(w) || !IsWindowEnabled(w))
            return TRUE;
        s->dialog = w;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.dialog;
}

// One step a tick, so each shown window paints before it is pictured: the chosen page (the last
// by default) is shown; with --press its button is clicked, then each next --press in the dialog
// the click before opened (inside its own modal loop); the last dialog is pictured and every
// dialog still open is cancelled. True once the picture is taken.
bool PrefsSession::TakePicture(HWND sheet) {
    switch (step_) {
        case 0: {
            int index = static_cast<int>(tabs_.size()) - 1;
            for (size_t i = 0; i < tabs_.size(); ++i)
                if (!o_.page.empty() && tabs_[i] == o_.page) index = static_cast<int>(i);
            PropSheet_SetCurSel(sheet, nullptr, index);
            RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            step_ = o_.presses.empty() ? 1 : 10;
            return false;
        }
        case 10: {
            // Posted: the dialog's modal loop must run outside this tick.
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            const int id = o_.presses[0];
            HWND button = page ? GetDlgItem(page, id) : nullptr;
            if (!button) {
                Say("no control %d on the page to press", id);
                step_ = 1;
                return false;
            }
            PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            pressed_ = 1;
            pressedIn_ = nullptr;
            step_ = 11;
            return false;
        }
        case 11:
        case 12: {
            // The dialog the last click opened: owned by the sheet, or by the dialog clicked in.
            HWND dialog = FindOwnedDialog(sheet, pressedIn_, pressedIn_);
            if (!dialog) return false;
            if (step_ == 11 && pressed_ < o_.presses.size()) {
                const int id = o_.presses[pressed_++];
                HWND button = GetDlgItem(dialog, id);
                if (!button) Say("no control %d in the dialog to press", id);
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                pressedIn_ = dialog;
                return false;
            }
            if (step_ == 11) {
                RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                step_ = 12;
                return false;
            }
            SavePicture(dialog);
            step_ = 13;
            return false;
        }
        case 13: {
            // The dialogs still open, the newest first (the others are disabled under it); the
            // sheet is left alone until they have gone.
            HWND dialog = FindOwnedDialog(nullptr, nullptr, sheet);
            if (dialog) {
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return false;
            }
            step_ = 1;
            return true;
        }
        default:
            SavePicture(sheet);
            return true;
    }
}

void PrefsSession::SavePicture(HWND window) {
    std::string error;
    if (SaveWindowPicture(window, helpWindow_, o_.screenshot, &error)) log_.push_back("screenshot " + Narrow(o_.screenshot));
    else Say("no screenshot: %s", error.c_str());
}

void PrefsSession::OnTimer() {
    ++ticks_;
    HWND sheet = FindSheetWindow();
    if (!sheet) return;
    if (tabs_.empty()) {
        tabs_ = SheetTabs(sheet);
        WCHAR title[256] = {};
        GetWindowTextW(sheet, title, 256);
        log_.push_back("sheet window \"" + Narrow(title) + "\"");
    }
    if (script_) {
        OnScriptTick(sheet);
        return;
    }
    if (o_.askHelp && !helpAsked_) {
        helpAsked_ = true;
        AskHelp(sheet);
        return;
    }
    if (!o_.screenshot.empty() && !screenshotSaved_) {
        if (!TakePicture(sheet)) return;
        screenshotSaved_ = true;
        if (!o_.autoClose) {
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
            return;
        }
    }
    if (!o_.autoClose) return;
    if (step_ < 2) {
        step_ = 2;
        // Every page once, as a user who looks through the sheet: only pages that were made take
        // part in Apply.
        for (int i = 0; i < static_cast<int>(tabs_.size()); ++i) PropSheet_SetCurSel(sheet, nullptr, i);
        log_.push_back("visited every page");
        PropSheet_PressButton(sheet, PSBTN_APPLYNOW);
        log_.push_back("pressed Apply");
        return;
    }
    if (step_ == 2) {
        step_ = 3;
        PropSheet_PressButton(sheet, PSBTN_OK);
        log_.push_back("pressed OK");
    }
}

// The script's steps, one a tick; then OK. After a failed step whatever is in front is cancelled,
// then the sheet; an OK that a page refuses (its message in front) fails the script too.
void PrefsSession::OnScriptTick(HWND sheet) {
    if (scriptEnded_) {
        if (scriptError_.empty() && ++ticksAfterOk_ > 20) {
            HWND front = WindowInFront(sheet);
            WCHAR text[256] = {};
            if (front) GetDlgItemTextW(front, 0xFFFF, text, 256);
            scriptError_ = "the sheet did not close at OK" + (text[0] ? ": \"" + Narrow(text) + "\"" : std::string());
        }
        if (scriptError_.empty()) return;
        if (HWND front = WindowInFront(sheet)) PostMessageW(front, WM_COMMAND, IDCANCEL, 0);
        else PropSheet_PressButton(sheet, PSBTN_CANCEL);
        return;
    }
    if (!script_->Tick(sheet)) return;
    scriptEnded_ = true;
    for (const auto& line : script_->log()) log_.push_back(line);
    if (script_->failed()) {
        scriptError_ = script_->error();
        return;
    }
    PropSheet_PressButton(sheet, PSBTN_OK);
    log_.push_back("pressed OK");
}

// A person's OK, or a script's, keeps the preferences; the checking and picturing runs do not.
bool PrefsSession::KeepsPreferences() const {
    return script_ || (!o_.autoClose && o_.screenshot.empty() && !o_.askHelp);
}

// What the sheet's Help button does on its last page, the About page: PSN_HELP to the page.
void PrefsSession::AskHelp(HWND sheet) {
    const int last = static_cast<int>(tabs_.size()) - 1;
    PropSheet_SetCurSel(sheet, nullptr, last);
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    if (!page) {
        log_.push_back("help: the sheet shows no page");
        return;
    }
    ReadAboutFiles(page);
    const size_t before = help_.calls().size();
    PSHNOTIFY notify{};
    notify.hdr.hwndFrom = sheet;
    notify.hdr.code = PSN_HELP;
    SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    log_.push_back("help asked on page " + std::to_string(last + 1) + " \"" + Narrow(tabs_[last]) + "\"");
    for (size_t i = before; i < help_.calls().size(); ++i) {
        const HelpRecorder::Call& call = help_.calls()[i];
        log_.push_back("HtmlHelpW(\"" + Narrow(call.file) + "\", " + HtmlHelpCommandName(call.command) + ", " +
                       std::to_string(call.data) + ") -> " +
                       (call.window ? "window \"" + Narrow(call.title) + "\"" : std::string("no window")));
        if (call.window) helpWindow_ = call.window;
    }
    if (help_.calls().size() == before) log_.push_back("help: no HtmlHelpW call");
}

// The About page's file list (control 1081) as the user sees it: file and version per row.
void PrefsSession::ReadAboutFiles(HWND page) {
    HWND list = GetDlgItem(page, 1081);
    if (!list) return;
    const int rows = ListView_GetItemCount(list);
    for (int i = 0; i < rows; ++i) {
        WCHAR file[MAX_PATH] = {}, version[64] = {};
        ListView_GetItemText(list, i, 0, file, MAX_PATH);
        ListView_GetItemText(list, i, 1, version, 64);
        aboutRows_.push_back(Narrow(file) + " " + Narrow(version));
    }
}

LONG CALLBACK PrefsSession::SheetUi(PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (!info) return -1;
    PrefsSession* self = info->Reason == PROPSHEETUI_REASON_INIT
                             ? reinterpret_cast<PrefsSession*>(info->lParamInit)
                             : reinterpret_cast<PrefsSession*>(info->UserData);
    if (!self) return -1;
    try {
        return self->OnSheet(info, lParam);
    } catch (...) {
        return -1;
    }
}

LONG CALLBACK PrefsSession::DriverSheetUi(PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (!info) return -1;
    PrefsSession* self = info->Reason == PROPSHEETUI_REASON_INIT
                             ? reinterpret_cast<PrefsSession*>(info->lParamInit)
                             : reinterpret_cast<PrefsSession*>(info->UserData);
    if (!self) return -1;
    try {
        return self->OnDriverSheet(info, lParam);
    } catch (...) {
        return -1;
    }
}

LONG_PTR CALLBACK PrefsSession::PluginSheetFunction(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
    if (!current_) return 0;
    try {
        return current_->OnPluginSheetFunction(sheet, function, lParam1, lParam2);
    } catch (...) {
        return 0;
    }
}

LONG APIENTRY PrefsSession::OptionCallback(PCPSUICBPARAM param) {
    if (!current_) return CPSUICB_ACTION_NONE;
    try {
        return current_->OnOption(param);
    } catch (...) {
        return CPSUICB_ACTION_NONE;
    }
}

VOID CALLBACK PrefsSession::AutoCloseTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_) return;
    try {
        current_->OnTimer();
    } catch (...) {
    }
}

bool PrefsSession::ShowSheet() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    UINT_PTR timer = 0;
    if (o_.autoClose || !o_.screenshot.empty() || script_) timer = SetTimer(nullptr, 0, kTimerMs, &AutoCloseTimer);
    DWORD result = 0;
    LONG ret = CommonPropertySheetUIW(nullptr, &SheetUi, reinterpret_cast<LPARAM>(this), &result);
    if (timer) KillTimer(nullptr, timer);
    log_.push_back("CommonPropertySheetUIW -> " + std::to_string(ret) + ", result " + std::to_string(result));
    if (ret < 0) return Fail("the common property sheet UI failed (" + std::to_string(ret) + ")");
    return true;
}

void PrefsSession::Teardown() {
    help_.Detach();
    printerFonts_.reset();  // its patches go before the plug-in does
    ui_.Close(&violations_);
}

void PrefsSession::Report() {
    std::printf("plug-in: signature %s, version %lu\n", Hex(ui_.signature()).c_str(), static_cast<unsigned long>(ui_.version()));
    for (const auto& line : log_) std::printf("%s\n", line.c_str());
    for (size_t i = 0; i < tabs_.size(); ++i) std::printf("page %zu: \"%s\"\n", i + 1, Narrow(tabs_[i]).c_str());
    for (const auto& row : aboutRows_) std::printf("about file: %s\n", row.c_str());
    for (const auto& p : ui_.spooler().printProcessorsSet()) std::printf("print processor set: \"%s\"\n", Narrow(p).c_str());
    for (const auto& u : ui_.core().updates())
        std::printf("DrvUpdateUISetting: \"%s\", previous %lu, mode %lu\n",
                    u.item && u.item->pName && !IS_INTRESOURCE(u.item->pName) ? Narrow(u.item->pName).c_str() : "?",
                    static_cast<unsigned long>(u.previousSelection), static_cast<unsigned long>(u.mode));
    for (const auto& line : options_.Describe()) std::printf("option: %s\n", Narrow(line).c_str());
    if (privateSize_ == kRecordSize) {
        auto record = reinterpret_cast<const JobSettings*>(devmode_.Private());
        std::printf("record: bWatermarkOnEscape %u\n", static_cast<unsigned>(record->bWatermarkOnEscape));
        ReportOutputOptions(*record);
        // The Profiles page's: the profile the record names.
        std::printf("record: szProfileName \"%s\"\n",
                    Narrow(std::wstring(record->szProfileName, wcsnlen(record->szProfileName, 128))).c_str());
        // The colour pages' fields, in the form --set reads them back.
        PrintFields(*record, {"dwColorCorrection", "dwRgbImage", "dwRgbText", "dwRgbGraphics", "dwCmykImage",
                              "dwCmykText", "dwCmykGraphics", "bColorBalance", "lBalanceCyan", "lBalanceMagenta",
                              "lBalanceYellow", "lBalanceBlack", "dwPallidor", "lBrightness", "lContrast",
                              "lSaturation", "bGrayCorrection", "bFineLines"});
        // The Watermark page's: order, placement and the names of both watermarks.
        PrintFields(*record, {"bWatermarks", "dwWatermarkOrder", "bWatermarkOverPage", "wmFirst.szName",
                              "wmOther.szName"});
    }
    std::printf("result: %s\n", !setResultSeen_ ? "no SET_RESULT"
                                : sheetResult_ == CPSUI_OK ? "CPSUI_OK" : "CPSUI_CANCEL");
}

int PrefsSession::Run() {
    printerName_ = ui_.spooler().facts().printerName;
    title_ = ui_.spooler().facts().driverName + L" Printing Preferences";
    heap_.reset(HeapCreate(0, 0, 0));
    if (!heap_) return Say("no heap for the plug-in"), kExitJobFailed;
    if (!o_.script.empty()) {
        std::string text, error;
        std::vector<ScriptStep> steps;
        if (!ReadWholeFile(o_.script, &text)) return Say("cannot read the script %s", Narrow(o_.script).c_str()), kExitBadInput;
        if (!ParseScript(Widen(text), &steps, &error)) return Say("script %s", error.c_str()), kExitBadInput;
        script_ = std::make_unique<ScriptPlayer>(std::move(steps));
    }
    current_ = this;
    bool ok = Load() && DevModes() && CommonUi() && ShowSheet();
    if (ok && KeepsPreferences() && scriptError_.empty() && setResultSeen_ && sheetResult_ == CPSUI_OK) {
        std::string error;
        if (WriteUserPreferences(printerName_, devmode_, &error))
            log_.push_back("preferences: kept for \"" + Narrow(printerName_) + "\"");
        else
            Say("%s", error.c_str());
    }
    Teardown();
    current_ = nullptr;
    for (const auto& v : ui_.core().violations()) violations_.push_back(v);
    for (const auto& v : violations_) Say("rule broken: %s", v.c_str());
    if (!ok) return kExitJobFailed;
    Report();
    if (!scriptError_.empty()) return Say("%s", scriptError_.c_str()), kExitJobFailed;
    return violations_.empty() ? kExitOk : kExitRuleBroken;
}

}  // namespace

bool ParsePrefsOptions(int argc, const wchar_t* const* argv, PrefsOptions* o, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    for (int i = 1; i < argc; ++i) {
        std::wstring_view arg = argv[i];
        auto value = [&](std::wstring* out) {
            if (i + 1 >= argc || !*argv[i + 1]) return false;
            *out = argv[++i];
            return true;
        };
        if (arg == L"--ui") {
            if (!value(&o->plugin)) return fail("--ui needs the path of the UI plug-in");
        } else if (arg == L"--driver") {
            if (!value(&o->driver)) return fail("--driver needs the package folder");
        } else if (arg == L"--ask-help") {
            o->askHelp = true;
        } else if (arg == L"--ppd") {
            if (!value(&o->ppd)) return fail("--ppd needs a printer description");
        } else if (arg == L"--screenshot") {
            if (!value(&o->screenshot)) return fail("--screenshot needs a PNG file name");
        } else if (arg == L"--page") {
            if (!value(&o->page)) return fail("--page needs a page's title");
        } else if (arg == L"--press") {
            std::wstring text;
            wchar_t* end = nullptr;
            if (!value(&text)) return fail("--press needs a control id");
            long n = std::wcstol(text.c_str(), &end, 10);
            if (!end || *end || n < 1 || n > 65535) return fail("--press needs a control id from 1 to 65535");
            o->presses.push_back(static_cast<int>(n));
        } else if (arg == L"--auto-close") {
            o->autoClose = true;
        } else if (arg == L"--set") {
            std::wstring setting;
            JobSettings scratch{};
            std::string why;
            if (!value(&setting)) return fail("--set needs field=value");
            if (!ApplySetting(&scratch, setting, &why)) return fail("--set " + why);
            o->settings.push_back(setting);
        } else if (arg == L"--script") {
            if (!value(&o->script)) return fail("--script needs a file of steps");
        } else if (arg == L"--no-prefs") {
            o->ignorePrefs = true;
        } else if (arg == L"--reset") {
            o->reset = true;
        } else if (arg == L"--trace") {
            o->trace = true;
        } else if (arg == L"--help" || arg == L"-h") {
            o->help = true;
        } else {
            return fail("unknown prefs option " + Narrow(arg) + " (see corvhost prefs --help)");
        }
    }
    return true;
}

std::string PrefsUsageText() {
    return "usage: corvhost prefs [options]\n"
           "Opens the UI plug-in's printing-preferences sheet as the core driver does.\n"
           "  --driver DIR      the package the printer's driver is installed from (default: driver\\\n"
           "                    beside corvhost.exe)\n"
           "  --ui DLL          the UI plug-in (default: the one the package's configuration file names)\n"
           "  --ppd FILE        printer description (default: the package's first model's)\n"
           "  --auto-close      press Apply, then OK, once the sheet is shown\n"
           "  --ask-help        show the About page, ask it for help and list its files\n"
           "  --set FIELD=VALUE a field of the driver's record before the sheet opens (repeatable;\n"
           "                    corvhost print --list-fields names them)\n"
           "  --screenshot PNG  save a picture of the sheet's last page once it has painted, then close\n"
           "  --page TITLE      picture the page of that title instead of the last\n"
           "  --press ID        click control ID on that page and picture the dialog it opens; each\n"
           "                    further --press clicks a control in the dialog the one before opened\n"
           "  --script FILE     play the file's steps against the sheet, then press OK (see README)\n"
           "  --no-prefs        open the sheet on the driver's defaults, not this user's preferences\n"
           "  --reset           forget this user's preferences for the printer, and open nothing\n"
           "  --trace           log every call into the plug-in\n"
           "Prints the sheet's pages, the sheet function calls, the record's colour fields and the result.\n"
           "A sheet closed with OK (by hand or by --script) keeps its DEVMODE as this user's preferences\n"
           "for the printer, which corvhost then prints with.\n";
}

int RunPrefs(int argc, wchar_t** argv) {
    PrefsOptions options;
    std::string error;
    if (!ParsePrefsOptions(argc, argv, &options, &error)) {
        Say("%s", error.c_str());
        return kExitBadInput;
    }
    if (options.help) {
        std::fputs(PrefsUsageText().c_str(), stdout);
        return kExitOk;
    }
    InstalledDriver installed;
    Ppd ppd;
    if (!SetUpPrinter(options.driver.empty() ? ProgramFolder() + L"driver\\" : options.driver, options.ppd,
                      &installed, &ppd, &error)) {
        Say("%s", error.c_str());
        return kExitBadInput;
    }
    if (options.reset) {
        const std::wstring printer = DescribePrinter(ppd, installed).printerName;
        std::printf("preferences: %s for \"%s\"\n", ForgetUserPreferences(printer) ? "forgotten" : "none kept",
                    Narrow(printer).c_str());
        return kExitOk;
    }
    PrefsSession session(options, ppd, installed);
    return session.Run();
}

}  // namespace corv::host
