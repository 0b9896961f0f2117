#include "plug-in/inboxui/core/sheets.h"

#include "common/coreboundary.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/pages/help.h"

namespace corv::ui {
namespace {

constexpr WCHAR kHeaderTitle[] = L"In-Box UI Page";
constexpr WORD kManifestResource = 2;  // a DLL's isolation manifest

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

LONG_PTR AddPage(const PROPSHEETUI_INFO& info, const PageRow& row, SheetContext* context) {
    PROPSHEETPAGEW_V3 page{};
    page.dwSize = sizeof(PROPSHEETPAGEW_V3);
    page.dwFlags = PSP_HASHELP;
    page.hInstance = ResourceModule();
    page.pszTemplate = MAKEINTRESOURCEW(row.templateId);
    page.pfnDlgProc = row.procedure;
    page.lParam = reinterpret_cast<LPARAM>(context);
    if (HANDLE activation = ModuleActivationContext()) {
        page.dwFlags |= PSP_USEFUSIONCONTEXT;
        page.hActCtx = activation;
    }
    return info.pfnComPropSheet(info.hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0);
}

}  // namespace

SheetContext* NewSheetContext(HANDLE heap) {
    if (!heap) return nullptr;
    return static_cast<SheetContext*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(SheetContext)));
}

void FreeSheetContext(SheetContext* context, HANDLE heap) {
    if (!context || !heap) return;
    if (context->helpFile) HeapFree(heap, 0, context->helpFile);
    HeapFree(heap, 0, context);
}

HANDLE SheetContextHeap(const SheetContext* context) {
    return context && context->pageParams ? context->pageParams->hOEMHeap : nullptr;
}

void FillSheetContext(SheetContext* context, const PROPSHEETUI_INFO& info, POEMUIPSPARAM pageParams,
                      IPrintCoreUI2* core, UiPlugin* owner) {
    context->sheet = info.hComPropSheet;
    context->sheetFunction = info.pfnComPropSheet;
    context->pageParams = pageParams;
    context->core = core;
    context->owner = owner;
    if (!context->helpFile) context->helpFile = FindHelpPath(pageParams->hPrinter, pageParams->hOEMHeap);
}

PrinterFeatures AskPrinterFeatures(IPrintCoreUI2* core, POEMUIOBJ object) {
    PrinterFeatures features;
    features.faxCard = HasFaxCard(core, object);
    features.printAndHold = HasFeature(core, object, "HasPrintandHold");
    features.manualColor = HasFeature(core, object, "HasManualColorCorrection");
    return features;
}

LONG_PTR AddPages(const PROPSHEETUI_INFO& info, const PageList& pages, SheetContext* context) {
    if (!info.pfnComPropSheet) return 0;
    RegisterCommonControls();
    LONG_PTR result = 0;
    for (size_t i = 0; i < pages.count; ++i) result = AddPage(info, *pages.rows[i], context);
    return result;
}

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

}  // namespace corv::ui
