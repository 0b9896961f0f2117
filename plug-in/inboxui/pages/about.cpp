#include "plug-in/inboxui/pages/about.h"

#include "common/coreboundary.h"
#include "common/handles.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/spooler.h"
#include "plug-in/inboxui/resources/ids.h"

#include <commctrl.h>

#include <cwchar>

namespace corv::ui {

bool ReadFileVersionText(const WCHAR* path, const WCHAR* naText, WCHAR* out, size_t capacity) {
    if (!path || !out || capacity == 0) return false;
    out[0] = 0;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        CopyText(out, capacity, naText ? naText : L"");
        return true;
    }
    HeapArray<BYTE> data(size);
    if (!data || !GetFileVersionInfoW(path, 0, size, data.get())) return false;

    void* found = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(data.get(), L"\\VarFileInfo\\Translation", &found, &translationBytes) || !found ||
        translationBytes < 2 * sizeof(WORD))
        return false;
    const WORD* translation = static_cast<const WORD*>(found);

    WCHAR query[64];
    FormatText(query, 64, L"\\StringFileInfo\\%08lx\\FileVersion",
               static_cast<unsigned long>(translation[0]) * 65536ul + translation[1]);
    found = nullptr;
    UINT textLength = 0;  // in characters
    if (!VerQueryValueW(data.get(), query, &found, &textLength) || !found || textLength == 0) return false;
    const WCHAR* text = static_cast<const WCHAR*>(found);
    if (text[0] == 0) return false;
    CopyText(out, capacity, text, textLength);
    return true;
}

const WCHAR* FileNameOfPath(const WCHAR* path) {
    if (!path) return nullptr;
    const WCHAR* slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

int BuildFileList(const DRIVER_INFO_3W* driver, const WCHAR* naText, AddFileRow add, void* context) {
    if (!driver || !add) return 0;
    int rows = 0;
    auto row = [&](const WCHAR* path) {
        WCHAR version[kVersionTextCapacity];
        if (!path || !ReadFileVersionText(path, naText, version, kVersionTextCapacity)) return;
        add(context, FileNameOfPath(path), version);
        ++rows;
    };
    row(driver->pConfigFile);
    row(driver->pDriverPath);
    if (driver->pDependentFiles)
        for (const WCHAR* entry = driver->pDependentFiles; *entry; entry += wcslen(entry) + 1) row(entry);
    return rows;
}

namespace {

constexpr WCHAR kPluginVersion[] = L"1.0";

// A line of the page from a format of the string table and the one text it takes.
void SetLine(HWND dialog, int id, UINT formatId, const WCHAR* text) {
    WCHAR format[kTextCapacity], line[kTextCapacity];
    LoadText(formatId, format);
    FormatText(line, kTextCapacity, format, text);
    SetDlgItemTextW(dialog, id, line);
}

void InsertColumn(HWND list, int index, UINT textId, int width) {
    WCHAR text[64];
    LoadText(textId, text);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = text;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

// The list view is sorted by the first column: each row lands in its place by file name.
void AddRow(void* context, const WCHAR* name, const WCHAR* version) {
    HWND list = static_cast<HWND>(context);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<WCHAR*>(name);
    int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    LVITEMW sub{};
    sub.iSubItem = 1;
    sub.pszText = const_cast<WCHAR*>(version);
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
}

void FillFileList(HWND list, HANDLE printer) {
    RECT bounds{};
    GetWindowRect(list, &bounds);
    int width = bounds.right - bounds.left - 25;
    InsertColumn(list, 0, IDS_ABOUT_COLUMN_FILE, width / 3);
    InsertColumn(list, 1, IDS_ABOUT_COLUMN_VERSION, width - width / 3);

    SpoolerBlock<DRIVER_INFO_3W> info = ReadDriverInfo3(printer);
    if (!info) return;
    WCHAR notAvailable[32];
    LoadText(IDS_ABOUT_NOT_AVAILABLE, notAvailable);
    BuildFileList(info.get(), notAvailable, AddRow, list);
}

class AboutPage : public DialogBase<AboutPage> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        const OEMUIPSPARAM* params = context()->pageParams;
        if (params) FillFileList(item(IDC_ABOUT_FILES), params->hPrinter);

        WCHAR model[kTextCapacity];
        if (ReadNickName(context()->core, params ? params->poemuiobj : nullptr, model, kTextCapacity) && model[0])
            SetLine(window(), IDC_ABOUT_DRIVER, IDS_ABOUT_DRIVER_FORMAT, model);
        SetLine(window(), IDC_ABOUT_VERSION, IDS_ABOUT_VERSION_FORMAT, kPluginVersion);
        return TRUE;
    }

    INT_PTR onNotify(NMHDR* header) {
        switch (header->code) {
            // The sheet's context-help button goes while the About page is up and comes back when
            // it is left; the next page decides (the driver's own page shows it, the plug-in's
            // pages hide it again).
            case PSN_SETACTIVE:
                SetContextHelpButton(sheet(), false);
                return answer(0);
            case PSN_KILLACTIVE:
                SetContextHelpButton(sheet(), true);
                return answer(FALSE);
            default:
                return FALSE;
        }
    }
};

}  // namespace

INT_PTR CALLBACK AboutPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return AboutPage::PageProc(dialog, message, wParam, lParam);
}

}  // namespace corv::ui
