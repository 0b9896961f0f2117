#include "plug-in/inboxui/core/optionitems.h"

#include "common/handles.h"
#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/core/spooler.h"
#include "plug-in/inboxui/core/uiplugin.h"
#include "plug-in/inboxui/profiles/store.h"
#include "plug-in/inboxui/resources/ids.h"

#include <cstring>
#include <cwchar>

namespace corv::ui {
namespace {

constexpr WCHAR kCommonUiLibrary[] = L"compstui.dll";
constexpr UINT kBookletNameId = 64873;  // in the common property sheet library's string table
constexpr char kOutputOrderKeyword[] = "OutputOrder";
constexpr int kSizeGripControl = 8000;  // on the driver's own document page
constexpr int kSizeGripInset = 5;

constexpr const char* kInstallableOptions[] = {"HasPrintandHold", "HasManualColorCorrection",
                                               "HasKeepPreviousPHJobs", "HasManualDuplex"};

// The feature keyword the core driver keeps in an item's user data; null when it keeps none.
const char* ItemKeyword(const OPTITEM& item) {
    const auto* data = reinterpret_cast<const USERDATA*>(item.UserData);
    return data ? data->pKeyWordName : nullptr;
}

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
    SpoolerBlock<DRIVER_INFO_2W> info = ReadDriverInfo2(printer);
    if (!info || !info->pConfigFile) return false;
    CopyText(path, info->pConfigFile);
    return path[0] != 0;
}

bool BookletSelected(const OPTITEM& nup, HANDLE printer) {
    LONG index = kDefaultBookletIndex;
    if (nup.pOptType && nup.pOptType->Type == TVOT_LISTBOX && nup.pOptType->pOptParam) {
        WCHAR booklet[kTextCapacity];
        booklet[0] = 0;
        UniqueLibrary common = LoadResourceLibrary(kCommonUiLibrary);
        ModuleNames commonNames{common.get()};
        WCHAR configPath[MAX_PATH];
        if (LoadModuleString(&commonNames, kBookletNameId, booklet, static_cast<int>(kTextCapacity)) &&
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
    if (callback->hDlg) SetContextHelpButton(GetParent(callback->hDlg), true);
    POPTITEM items = param->pDrvOptItems;
    DWORD count = items ? param->cDrvOptItems : 0;
    if (auto* context = static_cast<SheetContext*>(param->pOEMUserData)) {
        context->driverItems = items;
        context->driverItemCount = count;
        context->pluginItemCount = param->cOEMOptItems;
        WCHAR factory[kNameCapacity];
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

}  // namespace

LONG FindBookletIndex(const OPTITEM& nup, const WCHAR* bookletName, OptionNameLoader load, void* context) {
    const OPTTYPE* type = nup.pOptType;
    if (!type || type->Type != TVOT_LISTBOX || !type->pOptParam || !bookletName || !bookletName[0] || !load)
        return kDefaultBookletIndex;
    for (WORD i = 0; i < type->Count; ++i) {
        const WCHAR* data = type->pOptParam[i].pData;
        WCHAR name[kTextCapacity];
        if (IS_INTRESOURCE(data)) {
            if (!load(context, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(data)), name, static_cast<int>(kTextCapacity))) continue;
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

RememberedItems FindRememberedItems(POPTITEM items, DWORD count) {
    RememberedItems known;
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
