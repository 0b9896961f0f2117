#include "plug-in/inboxui/core/uiplugin.h"

#include "common/coreboundary.h"
#include "common/handles.h"
#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/core/docevents.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/pages/about.h"
#include "plug-in/inboxui/pages/help.h"
#include "plug-in/inboxui/profiles/store.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/watermarks/store.h"

#include <cstring>
#include <iterator>

namespace corv::ui {
namespace {

constexpr int kMaxLoadedText = 2048;  // loaded strings, as everywhere in the plug-in
constexpr WCHAR kHeaderTitle[] = L"In-Box UI Page";
constexpr WCHAR kCommonUiLibrary[] = L"compstui.dll";
constexpr UINT kBookletNameId = 64873;  // in the common property sheet library's string table
constexpr char kOutputOrderKeyword[] = "OutputOrder";
constexpr int kSizeGripControl = 8000;  // on the driver's own document page
constexpr int kSizeGripInset = 5;
constexpr WORD kManifestResource = 2;  // a DLL's isolation manifest

constexpr const char* kInstallableOptions[] = {"HasPrintandHold", "HasManualColorCorrection",
                                               "HasKeepPreviousPHJobs", "HasManualDuplex"};

HRESULT Fail(DWORD error) {
    SetLastError(error);
    return E_FAIL;
}

const JobSettings* DriverRecord(const void* oemDM) { return static_cast<const JobSettings*>(oemDM); }

// The feature keyword the core driver keeps in an item's user data; null when it keeps none.
const char* ItemKeyword(const OPTITEM& item) {
    const auto* data = reinterpret_cast<const USERDATA*>(item.UserData);
    return data ? data->pKeyWordName : nullptr;
}

SheetContext* NewContext(HANDLE heap) {
    if (!heap) return nullptr;
    return static_cast<SheetContext*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(SheetContext)));
}

HANDLE ContextHeap(const SheetContext* context) {
    return context && context->pageParams ? context->pageParams->hOEMHeap : nullptr;
}

void FreeContext(SheetContext* context) {
    HANDLE heap = ContextHeap(context);
    if (!context || !heap) return;
    if (context->helpFile) HeapFree(heap, 0, context->helpFile);
    HeapFree(heap, 0, context);
}

// The driver's help file among its dependent files, in a block of the driver's heap.
WCHAR* FindHelpPath(HANDLE printer, HANDLE heap) {
    DWORD size = 0;
    if (!printer || !heap || !FindHelpFile(printer, nullptr, 0, &size) || size < sizeof(WCHAR)) return nullptr;
    auto* path = static_cast<WCHAR*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, size));
    if (!path) return nullptr;
    DWORD found = 0;
    if (!FindHelpFile(printer, path, size / sizeof(WCHAR), &found)) {
        HeapFree(heap, 0, path);
        return nullptr;
    }
    return path;
}

// Filled for both kinds of sheet at their initialisation.
void FillSheetContext(SheetContext* context, PPROPSHEETUI_INFO info, POEMUIPSPARAM pageParams,
                      IPrintCoreUI2* core, UiPlugin* owner) {
    context->sheet = info->hComPropSheet;
    context->sheetFunction = info->pfnComPropSheet;
    context->pageParams = pageParams;
    context->core = core;
    context->owner = owner;
    if (!context->helpFile) context->helpFile = FindHelpPath(pageParams->hPrinter, pageParams->hOEMHeap);
}

// The module's activation context for its pages' common controls; null when it has no manifest.
HANDLE ModuleActivationContext() {
    static HANDLE context = [] {
        HMODULE module = ResourceModule();
        if (!module || !FindResourceW(module, MAKEINTRESOURCEW(kManifestResource), RT_MANIFEST))
            return static_cast<HANDLE>(nullptr);
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.hModule = module;
        request.lpResourceName = MAKEINTRESOURCEW(kManifestResource);
        HANDLE created = CreateActCtxW(&request);
        return created == INVALID_HANDLE_VALUE ? static_cast<HANDLE>(nullptr) : created;
    }();
    return context;
}

LONG_PTR AddPage(PPROPSHEETUI_INFO info, WORD templateId, DLGPROC procedure, SheetContext* context) {
    if (!info->pfnComPropSheet) return 0;
    PROPSHEETPAGEW_V3 page{};
    page.dwSize = sizeof(PROPSHEETPAGEW_V3);
    page.dwFlags = PSP_HASHELP;
    page.hInstance = ResourceModule();
    page.pszTemplate = MAKEINTRESOURCEW(templateId);
    page.pfnDlgProc = procedure;
    page.lParam = reinterpret_cast<LPARAM>(context);
    if (HANDLE activation = ModuleActivationContext()) {
        page.dwFlags |= PSP_USEFUSIONCONTEXT;
        page.hActCtx = activation;
    }
    return info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page),
                                 0);
}

PrinterFeatures AskFeatures(IPrintCoreUI2* core, POEMUIOBJ object) {
    PrinterFeatures features;
    features.faxCard = HasFaxCard(core, object);
    features.printAndHold = HasFeature(core, object, "HasPrintandHold");
    features.manualColor = HasFeature(core, object, "HasManualColorCorrection");
    return features;
}

// The reasons both sheets answer alike.
bool AnswerCommonReason(PPROPSHEETUI_INFO info, LPARAM lParam) {
    switch (info->Reason) {
        case PROPSHEETUI_REASON_GET_INFO_HEADER: {
            auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
            if (header) header->pTitle = const_cast<LPWSTR>(kHeaderTitle);
            info->Result = 1;
            return true;
        }
        case PROPSHEETUI_REASON_SET_RESULT: {
            const auto* result = reinterpret_cast<const SETRESULT_INFO*>(lParam);
            info->Result = result ? result->Result : 0;
            return true;
        }
        case PROPSHEETUI_REASON_GET_ICON:
            info->Result = 0;
            return true;
        default:
            return false;
    }
}

// ---- Option-item callback ------------------------------------------------------------------

struct ModuleNames {
    HMODULE module;
};

bool LoadModuleString(void* context, UINT id, WCHAR* buffer, int capacity) {
    HMODULE module = static_cast<ModuleNames*>(context)->module;
    buffer[0] = 0;
    return module && LoadStringW(module, id, buffer, capacity) > 0;
}

UniqueLibrary LoadResourceLibrary(const WCHAR* path) {
    return UniqueLibrary(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// The driver's configuration module path (DRIVER_INFO_2 pConfigFile) into a fixed buffer.
bool ReadConfigFile(HANDLE printer, WCHAR (&path)[MAX_PATH]) {
    path[0] = 0;
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_2W)) return false;
    HeapArray<BYTE> block(needed);
    if (!block || !GetPrinterDriverW(printer, nullptr, 2, block.get(), needed, &needed)) return false;
    const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(block.get());
    if (!info->pConfigFile) return false;
    CopyText(path, info->pConfigFile);
    return path[0] != 0;
}

bool BookletSelected(const OPTITEM& nup, HANDLE printer) {
    LONG index = kDefaultBookletIndex;
    if (nup.pOptType && nup.pOptType->Type == TVOT_LISTBOX && nup.pOptType->pOptParam) {
        WCHAR booklet[kMaxLoadedText];
        booklet[0] = 0;
        UniqueLibrary common = LoadResourceLibrary(kCommonUiLibrary);
        ModuleNames commonNames{common.get()};
        WCHAR configPath[MAX_PATH];
        if (LoadModuleString(&commonNames, kBookletNameId, booklet, kMaxLoadedText) &&
            ReadConfigFile(printer, configPath)) {
            UniqueLibrary config = LoadResourceLibrary(configPath);
            ModuleNames configNames{config.get()};
            if (config) index = FindBookletIndex(nup, booklet, &LoadModuleString, &configNames);
        }
    }
    return nup.Sel == index;
}

LONG ApplyNow(POEMCUIPPARAM param) {
    auto* record = static_cast<JobSettings*>(param->pOEMDM);
    auto* context = static_cast<SheetContext*>(param->pOEMUserData);
    UiPlugin* owner = context ? context->owner : nullptr;
    POPTITEM pageOrder = owner ? owner->pageOrderItem() : nullptr;
    POPTITEM nup = owner ? owner->nupItem() : nullptr;
    if (!record || !pageOrder || !nup) return CPSUICB_ACTION_ITEMS_APPLIED;
    BOOL onEscape = WatermarkOnEscapeFor(BookletSelected(*nup, param->hPrinter), pageOrder);
    record->bWatermarkOnEscape = onEscape;
    // Pages that write the working copy into the driver's record at apply must not bring back
    // the value from before.
    context->working.bWatermarkOnEscape = onEscape;
    context->applied = 1;
    return CPSUICB_ACTION_ITEMS_APPLIED;
}

void ShowContextHelpButton(HWND page) {
    HWND sheet = page ? GetParent(page) : nullptr;
    if (!sheet) return;
    LONG_PTR style = GetWindowLongPtrW(sheet, GWL_EXSTYLE);
    if (style & WS_EX_CONTEXTHELP) return;
    SetWindowLongPtrW(sheet, GWL_EXSTYLE, style | WS_EX_CONTEXTHELP);
    SendMessageW(sheet, WM_NCPAINT, 1, 0);
}

void MoveSizeGrip(HWND page) {
    HWND control = page ? GetDlgItem(page, kSizeGripControl) : nullptr;
    if (!control) return;
    RECT client{}, bounds{};
    if (!GetClientRect(page, &client) || !GetWindowRect(control, &bounds)) return;
    int width = bounds.right - bounds.left;
    int height = bounds.bottom - bounds.top;
    SetWindowPos(control, nullptr, client.right - kSizeGripInset - width, client.bottom - kSizeGripInset - height, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LONG SetActive(PCPSUICBPARAM callback, POEMCUIPPARAM param) {
    ShowContextHelpButton(callback->hDlg);
    POPTITEM items = param->pDrvOptItems;
    DWORD count = items ? param->cDrvOptItems : 0;
    if (auto* context = static_cast<SheetContext*>(param->pOEMUserData)) {
        context->driverItems = items;
        context->driverItemCount = count;
        context->pluginItemCount = param->cOEMOptItems;
        WCHAR factory[kProfileNameCapacity];
        if (LoadText(IDS_PROFILE_FACTORY_DEFAULTS, factory) > 0 && !ProfileExists(param->hPrinter, factory)) {
            ProfileSettings current;
            current.options = items;
            current.optionCount = count;
            current.uiObject = param->poemuiobj;
            current.workingCopy = &context->working;
            SaveProfile(param->hPrinter, factory, current);
        }
    }
    MoveSizeGrip(callback->hDlg);
    for (DWORD i = 0; i < count; ++i) items[i].Flags |= OPTIF_CHANGED;
    return CPSUICB_ACTION_REINIT_ITEMS;
}

// ---- Document pages ------------------------------------------------------------------------

// Each page of the document sheet is one entry, in the order the sheet shows them.
constexpr PageDescriptor kDocumentPages[] = {
    {IDD_ABOUT_DOC, &AboutPageProc, PageCondition::Always},
};

}  // namespace

// ---- The pure half ----------------------------------------------------------------------------

bool DerivePrintProcessorName(const WCHAR* dataFile, WCHAR (&name)[kProcessorNameCapacity]) {
    name[0] = 0;
    if (!dataFile) return false;
    size_t length = BoundedLength(dataFile, kProcessorNameCapacity - 1);
    size_t start = 0;
    for (size_t i = 0; i < length; ++i)
        if (dataFile[i] == L'\\') start = i + 1;
    const WCHAR* file = dataFile + start;
    size_t fileLength = length - start;
    size_t dot = 0;
    while (dot < fileLength && file[dot] != L'.') ++dot;
    if (dot == fileLength || dot == 0 || fileLength - dot < 4) return false;
    CopyText(name, file, dot);
    name[dot - 1] = L'C';
    return true;
}

LONG FindBookletIndex(const OPTITEM& nup, const WCHAR* bookletName, OptionNameLoader load, void* context) {
    const OPTTYPE* type = nup.pOptType;
    if (!type || type->Type != TVOT_LISTBOX || !type->pOptParam || !bookletName || !bookletName[0] || !load)
        return kDefaultBookletIndex;
    for (WORD i = 0; i < type->Count; ++i) {
        const WCHAR* data = type->pOptParam[i].pData;
        WCHAR name[kMaxLoadedText];
        if (IS_INTRESOURCE(data)) {
            if (!load(context, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(data)), name, kMaxLoadedText)) continue;
        } else {
            CopyText(name, data);
        }
        if (std::wcscmp(name, bookletName) == 0) return i;
    }
    return kDefaultBookletIndex;
}

BOOL WatermarkOnEscapeFor(bool booklet, const OPTITEM* pageOrder) {
    if (booklet) return TRUE;
    return pageOrder && pageOrder->Sel == 1 ? TRUE : FALSE;
}

RememberedItems FindRememberedItems(POPTITEM items, DWORD count, RememberedItems known) {
    for (DWORD i = 0; items && i < count; ++i) {
        OPTITEM& item = items[i];
        if (item.Flags & OPTIF_HIDE) continue;
        if (item.DMPubID == DMPUB_PAGEORDER) {
            known.pageOrder = &item;
        } else if (item.DMPubID == DMPUB_NUP) {
            known.nup = &item;
        } else if (!known.pageOrder) {
            const char* keyword = ItemKeyword(item);
            if (keyword && std::strcmp(keyword, kOutputOrderKeyword) == 0) known.pageOrder = &item;
        }
    }
    return known;
}

DWORD HideInstallableOptions(POPTITEM items, DWORD count) {
    DWORD hidden = 0;
    for (DWORD i = 0; items && i < count; ++i) {
        const char* keyword = ItemKeyword(items[i]);
        if (!keyword) continue;
        for (const char* installable : kInstallableOptions) {
            if (lstrcmpiA(keyword, installable) == 0) {
                items[i].Flags |= OPTIF_HIDE;
                ++hidden;
                break;
            }
        }
    }
    return hidden;
}

bool PageShown(PageCondition condition, const PrinterFeatures& features) {
    switch (condition) {
        case PageCondition::Always:
            return true;
        case PageCondition::FaxOrHold:
            return features.faxCard || features.printAndHold;
        case PageCondition::ManualColor:
            return features.manualColor;
        case PageCondition::NoManualColor:
            return !features.manualColor;
    }
    return false;
}

const PageDescriptor* DocumentPages(size_t* count) {
    if (count) *count = std::size(kDocumentPages);
    return kDocumentPages;
}

HRESULT InitializePrinterProcessor(const WCHAR* printerName) {
    if (!printerName) return E_FAIL;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    UniquePrinter printer;
    if (!OpenPrinterW(const_cast<LPWSTR>(printerName), printer.put(), &access) || !printer) return E_FAIL;

    DWORD needed = 0;
    GetPrinterDriverW(printer.get(), nullptr, 2, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_2W)) return E_FAIL;
    HeapArray<BYTE> driverBlock(needed);
    if (!driverBlock || !GetPrinterDriverW(printer.get(), nullptr, 2, driverBlock.get(), needed, &needed))
        return E_FAIL;
    // The data file's text is read only as far as the spooler's block reaches.
    const auto* driver = reinterpret_cast<const DRIVER_INFO_2W*>(driverBlock.get());
    WCHAR dataFile[kProcessorNameCapacity] = {};
    const BYTE* begin = driverBlock.get();
    const BYTE* end = begin + needed;
    const auto* text = reinterpret_cast<const BYTE*>(driver->pDataFile);
    if (text >= begin && text < end)
        CopyText(dataFile, driver->pDataFile, static_cast<size_t>(end - text) / sizeof(WCHAR));
    WCHAR processor[kProcessorNameCapacity];
    DerivePrintProcessorName(dataFile, processor);

    needed = 0;
    GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return E_FAIL;
    HeapArray<BYTE> printerBlock(needed);
    if (!printerBlock || !GetPrinterW(printer.get(), 2, printerBlock.get(), needed, &needed)) return E_FAIL;
    // Without a derived name the printer keeps the print processor it has: an empty one would
    // leave it unable to print.
    if (processor[0]) {
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(printerBlock.get());
        info->pPrintProcessor = processor;
        SetPrinterW(printer.get(), 2, printerBlock.get(), 0);
    }
    return S_OK;
}

// ---- The object ------------------------------------------------------------------------------

UiPlugin::UiPlugin() { ObjectCreated(); }

UiPlugin::~UiPlugin() {
    if (core_) core_->Release();
    ObjectDestroyed();
}

HRESULT UiPlugin::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemUI2)) {
        *out = static_cast<IPrintOemUI2*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG UiPlugin::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG UiPlugin::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT UiPlugin::GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
    if (!needed || (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION && mode != OEMGI_GETPUBLISHERINFO))
        return Fail(ERROR_INVALID_PARAMETER);
    *needed = sizeof(DWORD);
    if (!buffer || size < sizeof(DWORD)) return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (mode == OEMGI_GETPUBLISHERINFO) {
        *needed = 0;
        return Fail(ERROR_NOT_SUPPORTED);
    }
    DWORD value = mode == OEMGI_GETSIGNATURE ? kRecordSignature : kRecordVersion;
    std::memcpy(buffer, &value, sizeof value);
    return S_OK;
}

HRESULT UiPlugin::DevMode(DWORD mode, POEMDMPARAM param) {
    if (param && param->hPrinter) CopyDefaultUserSettings(param->hPrinter);
    return RecordDevMode(mode, param);
}

HRESULT UiPlugin::PublishDriverInterface(IUnknown* driverInterface) {
    if (core_) return S_OK;
    if (!driverInterface) return E_FAIL;
    void* core = nullptr;
    if (FAILED(driverInterface->QueryInterface(IID_IPrintCoreUI2, &core)) || !core) return E_FAIL;
    core_ = static_cast<IPrintCoreUI2*>(core);
    return S_OK;
}

HRESULT UiPlugin::CommonUIProp(DWORD mode, POEMCUIPPARAM param) {
    if (mode != OEMCUIP_DOCPROP && mode != OEMCUIP_PRNPROP) return Fail(ERROR_INVALID_PARAMETER);
    if (!param) return Fail(ERROR_INVALID_PARAMETER);
    if (!param->pOEMOptItems) {
        param->cOEMOptItems = 0;  // no option items of our own
        return S_OK;
    }
    if (mode == OEMCUIP_PRNPROP) {
        HideInstallableOptions(param->pDrvOptItems, param->cDrvOptItems);
        return S_OK;
    }
    if (!documentContext_) {
        if (SheetContext* context = NewContext(param->hOEMHeap)) {
            context->owner = this;
            context->core = core_;
            context->noPermission = (param->dwFlags & DM_NOPERMISSION) ? 1 : 0;
            if (const JobSettings* record = DriverRecord(param->pOEMDM))
                context->shownOrder = record->dwWatermarkOrder;
            documentContext_ = context;
        }
    }
    param->pOEMUserData = documentContext_;
    param->OEMCUIPCallback = &OptionItemCallback;
    RememberedItems known{pageOrderItem_, nupItem_};
    known = FindRememberedItems(param->pDrvOptItems, param->cDrvOptItems, known);
    pageOrderItem_ = known.pageOrder;
    nupItem_ = known.nup;
    return S_OK;
}

HRESULT UiPlugin::DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (!info || info->Version != PROPSHEETUI_INFO_VERSION) return Fail(ERROR_INVALID_PARAMETER);
    if (AnswerCommonReason(info, lParam)) return S_OK;
    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            auto* pageParams = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
            if (!pageParams) {
                info->Result = 1;
                return S_OK;
            }
            SheetContext* context = documentContext_ ? documentContext_ : NewContext(pageParams->hOEMHeap);
            if (context) {
                documentContext_ = context;
                FillSheetContext(context, info, pageParams, core_, this);
                context->noPermission = (pageParams->dwFlags & DM_NOPERMISSION) ? 1 : 0;
                if (const JobSettings* record = DriverRecord(pageParams->pOEMDM)) {
                    context->shownOrder = record->dwWatermarkOrder;
                    CopyProfileFieldSet(&context->working, record);
                } else {
                    DefaultRecord(&context->working);
                }
            }
            info->UserData = reinterpret_cast<ULONG_PTR>(context);
            PrinterFeatures features = AskFeatures(core_, pageParams->poemuiobj);
            size_t count = 0;
            const PageDescriptor* pages = DocumentPages(&count);
            LONG_PTR result = 0;
            for (size_t i = 0; i < count; ++i)
                if (PageShown(pages[i].condition, features))
                    result = AddPage(info, pages[i].templateId, pages[i].procedure, context);
            info->Result = static_cast<ULONG_PTR>(result);
            return S_OK;
        }
        case PROPSHEETUI_REASON_DESTROY: {
            auto* context = reinterpret_cast<SheetContext*>(info->UserData);
            bool applied = context && context->applied;
            if (context && context == documentContext_) {
                documentContext_ = nullptr;
                // The remembered items are the driver's and end with its sheet.
                pageOrderItem_ = nullptr;
                nupItem_ = nullptr;
            }
            FreeContext(context);
            info->UserData = 0;
            if (applied && info->pfnComPropSheet)
                info->Result = static_cast<ULONG_PTR>(
                    info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_SET_RESULT,
                                          reinterpret_cast<LPARAM>(info->hComPropSheet), CPSUI_OK));
            else
                info->Result = 1;
            return S_OK;
        }
        default:
            info->Result = 0;
            return S_OK;
    }
}

HRESULT UiPlugin::DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (!info || info->Version != PROPSHEETUI_INFO_VERSION) return Fail(ERROR_INVALID_PARAMETER);
    if (AnswerCommonReason(info, lParam)) return S_OK;
    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            auto* pageParams = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
            if (!pageParams) {
                info->Result = 1;
                return S_OK;
            }
            SheetContext* context = NewContext(pageParams->hOEMHeap);
            if (context) FillSheetContext(context, info, pageParams, core_, this);
            info->UserData = reinterpret_cast<ULONG_PTR>(context);
            info->Result = static_cast<ULONG_PTR>(AddPage(info, IDD_ABOUT_PRN, &AboutPageProc, context));
            return S_OK;
        }
        case PROPSHEETUI_REASON_DESTROY:
            FreeContext(reinterpret_cast<SheetContext*>(info->UserData));
            info->UserData = 0;
            info->Result = 0;
            return S_OK;
        default:
            info->Result = 0;
            return S_OK;
    }
}

HRESULT UiPlugin::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) { return E_NOTIMPL; }

HRESULT UiPlugin::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID, DWORD, DWORD*) {
    return E_NOTIMPL;
}

HRESULT UiPlugin::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }

HRESULT UiPlugin::PrinterEvent(PWSTR printerName, INT event, DWORD, LPARAM) {
    if (event != PRINTER_EVENT_INITIALIZE) return S_OK;
    return InitializePrinterProcessor(printerName);
}

HRESULT UiPlugin::DriverEvent(DWORD event, DWORD level, LPBYTE driverInfo, LPARAM) {
    if (event != DRIVER_EVENT_INITIALIZE || !driverInfo) return S_OK;
    const WCHAR* name = nullptr;
    if (level == 1)
        name = reinterpret_cast<const DRIVER_INFO_1W*>(driverInfo)->pName;
    else if (level == 2 || level == 3)
        name = reinterpret_cast<const DRIVER_INFO_2W*>(driverInfo)->pName;
    if (name) InstallDefaultWatermarks(name);
    return S_OK;
}

HRESULT UiPlugin::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG, VOID*, ULONG*, FLONG*) {
    return E_NOTIMPL;
}

HRESULT UiPlugin::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) { return E_NOTIMPL; }

HRESULT UiPlugin::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) { return E_NOTIMPL; }

HRESULT UiPlugin::QueryJobAttributes(HANDLE, PDEVMODEW, DWORD, LPBYTE) { return E_NOTIMPL; }

HRESULT UiPlugin::HideStandardUI(DWORD) { return E_NOTIMPL; }

HRESULT UiPlugin::DocumentEvent(HANDLE printer, HDC dc, INT event, ULONG cbIn, PVOID pvIn, ULONG cbOut, PVOID pvOut,
                                PINT result) {
    return HandleDocumentEvent(printer, dc, event, cbIn, pvIn, cbOut, pvOut, result);
}

LONG APIENTRY OptionItemCallback(PCPSUICBPARAM callback, POEMCUIPPARAM param) {
    if (!callback || !param) return CPSUICB_ACTION_NONE;
    switch (callback->Reason) {
        case CPSUICB_REASON_APPLYNOW:
            return ApplyNow(param);
        case CPSUICB_REASON_SETACTIVE:
            return SetActive(callback, param);
        default:
            return CPSUICB_ACTION_NONE;
    }
}

}  // namespace corv::ui
