#include "plug-in/inboxui/pages/wmpage.h"

#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/pages/wmedit.h"
#include "plug-in/inboxui/pages/wmpickers.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/watermarks/store.h"

#include <initializer_list>

namespace corv::ui {

OrderView ViewForOrder(DWORD order) {
    switch (order) {
        case 1:
            return {IDS_LABEL_ALL_PAGES, IDS_LABEL_OTHER_PAGES, true, false};
        case 2:
            return {IDS_LABEL_ODD_PAGES, IDS_LABEL_EVEN_PAGES, true, true};
        case 3:
            return {IDS_LABEL_FIRST_PAGE, IDS_LABEL_OTHER_PAGES, true, true};
        default:
            return {IDS_LABEL_FIRST_PAGE, IDS_LABEL_OTHER_PAGES, false, false};
    }
}

int ListMissingWatermark(DWORD order, LRESULT first, LRESULT second) {
    if (order == 0 || order > 3) return 0;
    const bool allPages = order == 1;
    if (first < 0) return IDC_WM_FIRST_LIST;
    if (!allPages && second < 0) return IDC_WM_OTHER_LIST;
    if (first == 0 && allPages) return IDC_WM_FIRST_LIST;
    if (first == 0 && second == 0) return IDC_WM_OTHER_LIST;
    return 0;
}

namespace {

// The order radio buttons and the order each stands for.
struct OrderButton {
    int id;
    DWORD order;
};
constexpr OrderButton kOrderButtons[] = {
    {IDC_WM_ORDER_NONE, 0}, {IDC_WM_ORDER_ALL, 1}, {IDC_WM_ORDER_ODD, 2}, {IDC_WM_ORDER_FIRST, 3}};

// Every child of the page but the order group with its buttons and the three watermark buttons.
constexpr int kSelectionControls[] = {IDC_WM_SELECTION_GROUP, IDC_WM_FIRST_LABEL,     IDC_WM_FIRST_LIST,
                                      IDC_WM_OTHER_LABEL,     IDC_WM_OTHER_LIST,      IDC_WM_PLACEMENT_GROUP,
                                      IDC_WM_UNDER,           IDC_WM_OVER};

// Entry 0 is "(None)" and is known by its index only: a watermark may be called "(none)", which
// a search without regard to case would find there. Value names are unique without regard to
// case, so that search finds the one entry of a stored name.
LRESULT FindWatermarkEntry(HWND list, const WCHAR* name) {
    if (!name || !name[0]) return LB_ERR;
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name));
    return index > 0 ? index : LB_ERR;
}

// A list's selection before its entries are made anew: the index, and the text when it is a
// watermark's name.
struct NotedSelection {
    LRESULT index = LB_ERR;
    WCHAR name[kNameCapacity] = {};
};

NotedSelection NoteSelection(HWND list) {
    NotedSelection noted;
    noted.index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (noted.index < 1 || !ListItemText(list, noted.index, noted.name)) noted.name[0] = L'\0';
    return noted;
}

class WatermarkPage : public DialogBase<WatermarkPage> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        fillLists();
        show(context()->working);
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        if (id == IDC_WM_FIRST_LIST || id == IDC_WM_OTHER_LIST) {
            if (code == LBN_SELCHANGE) changed();
            return TRUE;
        }
        if (code != BN_CLICKED) return FALSE;
        switch (id) {
            case IDC_WM_ADD:
                add();
                return TRUE;
            case IDC_WM_EDIT:
                edit();
                return TRUE;
            case IDC_WM_REMOVE_BUTTON:
                remove();
                return TRUE;
        }
        for (const OrderButton& button : kOrderButtons)
            if (button.id == id) {
                showOrder(button.order);
                context()->shownOrder = button.order;
            }
        changed();
        return TRUE;
    }

    INT_PTR onNotify(NMHDR* header) {
        switch (header->code) {
            case PSN_SETACTIVE:
                SetContextHelpButton(sheet(), false);
                context()->shownOrder = context()->working.dwWatermarkOrder;
                show(context()->working);
                return answer(0);
            case PSN_KILLACTIVE:
                if (!checked(IDC_WM_ORDER_NONE)) {
                    const int missing = ListMissingWatermark(checkedOrder(), send(IDC_WM_FIRST_LIST, LB_GETCURSEL),
                                                             send(IDC_WM_OTHER_LIST, LB_GETCURSEL));
                    if (missing) {
                        error(IDS_ERR_SELECT_WATERMARK, missing);
                        return answer(TRUE);
                    }
                }
                read(&context()->working);
                return answer(FALSE);
            case PSN_APPLY:
                if (JobSettings* record = driverRecord()) read(record);
                return answer(PSNRET_NOERROR);
            default:
                return FALSE;
        }
    }

private:
    HANDLE printer() const { return WatermarkPrinter(context()); }
    bool checked(int id) const { return IsDlgButtonChecked(window(), id) == BST_CHECKED; }

    // The order the buttons show; 1 when none of the three is checked.
    DWORD checkedOrder() const {
        if (checked(IDC_WM_ORDER_NONE)) return 0;
        if (checked(IDC_WM_ORDER_ALL)) return 1;
        if (checked(IDC_WM_ORDER_ODD)) return 2;
        if (checked(IDC_WM_ORDER_FIRST)) return 3;
        return 1;
    }

    // "(None)", then every stored name, in both lists. The store is walked once, into the first
    // list (each name is a call to the registry), and the second list copies the first.
    void fillLists() const {
        HWND first = item(IDC_WM_FIRST_LIST), second = item(IDC_WM_OTHER_LIST);
        WCHAR name[kNameCapacity];
        if (!LoadText(IDS_WATERMARK_NONE, name)) name[0] = L'\0';
        for (HWND list : {first, second}) {
            SendMessageW(list, WM_SETREDRAW, FALSE, 0);
            SendMessageW(list, LB_RESETCONTENT, 0, 0);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        if (HANDLE p = printer()) ListWatermarks(p, first);
        const LRESULT count = SendMessageW(first, LB_GETCOUNT, 0, 0);
        SendMessageW(second, LB_INITSTORAGE, static_cast<WPARAM>(count), count * 32 * sizeof(WCHAR));
        for (LRESULT i = 1; i < count; ++i)
            if (ListItemText(first, i, name)) SendMessageW(second, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageW(second, LB_SETHORIZONTALEXTENT, SendMessageW(first, LB_GETHORIZONTALEXTENT, 0, 0), 0);
        for (HWND list : {first, second}) {
            SendMessageW(list, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list, nullptr, TRUE);
        }
    }

    // The named watermarks the lists offer: the store as last read (counting it again would walk
    // it again).
    bool anyWatermark() const { return send(IDC_WM_FIRST_LIST, LB_GETCOUNT) > 1; }

    void select(int id, LRESULT index) const { send(id, LB_SETCURSEL, static_cast<WPARAM>(index)); }

    // "(None)" for an empty name, else the stored name's entry, else no selection.
    void selectName(int id, const WCHAR* name) const { select(id, name[0] ? FindWatermarkEntry(item(id), name) : 0); }

    bool missing(const WCHAR* name) const { return name[0] && !WatermarkExists(printer(), name); }

    // Labels and enabled controls for an order, without touching the buttons.
    void showOrder(DWORD order) const {
        const OrderView view = ViewForOrder(order);
        WCHAR first[kNameCapacity], second[kNameCapacity];
        if (LoadText(view.firstLabel, first) && LoadText(view.secondLabel, second)) {
            SetDlgItemTextW(window(), IDC_WM_FIRST_LABEL, first);
            SetDlgItemTextW(window(), IDC_WM_OTHER_LABEL, second);
        }
        for (int id : kSelectionControls) enable(id, view.selectionOn);
        if (view.selectionOn && !view.secondOn) {
            enable(IDC_WM_OTHER_LABEL, false);
            enable(IDC_WM_OTHER_LIST, false);
        }
    }

    // A stored name that no longer exists switches the page to No Watermarks: the user then
    // chooses again instead of printing a watermark that is gone.
    void show(const JobSettings& record) const {
        SheetContext* c = context();
        DWORD order = record.bWatermarks ? c->shownOrder : 0;
        if (order == 1 || order == 2 || order == 3) {
            if (missing(record.wmFirst.szName) || (order != 1 && missing(record.wmOther.szName))) order = 0;
        } else {
            order = 0;
        }
        for (const OrderButton& button : kOrderButtons)
            CheckDlgButton(window(), button.id, button.order == order ? BST_CHECKED : BST_UNCHECKED);
        selectName(IDC_WM_FIRST_LIST, order ? record.wmFirst.szName : L"");
        selectName(IDC_WM_OTHER_LIST, order >= 2 ? record.wmOther.szName : L"");
        showOrder(order);
        c->shownOrder = order;
        CheckRadioButton(window(), IDC_WM_UNDER, IDC_WM_OVER, record.bWatermarkOverPage ? IDC_WM_OVER : IDC_WM_UNDER);
        enableManaging(anyWatermark());
        disableAllIfNoPermission();
    }

    void enableManaging(bool on) const {
        enable(IDC_WM_EDIT, on);
        enable(IDC_WM_REMOVE_BUTTON, on);
    }

    // A selected watermark that cannot be read switches watermarks off in the record written.
    void readList(int id, WatermarkRecord* wm, JobSettings* record) const {
        WCHAR name[kNameCapacity];
        const LRESULT index = send(id, LB_GETCURSEL);
        if (index < 1 || !ListItemText(item(id), index, name)) return;
        if (!ReadWatermark(printer(), name, wm)) {
            record->bWatermarks = 0;
            record->dwWatermarkOrder = 0;
        }
    }

    void read(JobSettings* record) const {
        InitWatermarkRecord(&record->wmFirst);
        InitWatermarkRecord(&record->wmOther);
        if (checked(IDC_WM_ORDER_NONE)) {
            record->bWatermarks = 0;
            record->dwWatermarkOrder = 0;
            return;
        }
        record->bWatermarks = 1;
        record->dwWatermarkOrder = checkedOrder();
        readList(IDC_WM_FIRST_LIST, &record->wmFirst, record);
        if (record->dwWatermarkOrder != 1) readList(IDC_WM_OTHER_LIST, &record->wmOther, record);
        record->bWatermarkOverPage = checked(IDC_WM_OVER) ? 1 : 0;
    }

    // The new watermark is already stored; it goes to the end of both lists, selected nowhere.
    void add() const {
        SheetContext* c = context();
        InitWatermarkRecord(&c->dialogRecord);
        c->addMode = 1;
        if (EditWatermark(window(), c) != IDOK) return;
        const WCHAR* name = c->dialogRecord.szName;
        const int extent = ListTextExtent(item(IDC_WM_FIRST_LIST), BoundedLength(name, kNameCapacity), nullptr);
        if (send(IDC_WM_FIRST_LIST, LB_GETHORIZONTALEXTENT) < extent)
            for (int id : {IDC_WM_FIRST_LIST, IDC_WM_OTHER_LIST}) send(id, LB_SETHORIZONTALEXTENT, extent);
        for (int id : {IDC_WM_FIRST_LIST, IDC_WM_OTHER_LIST}) send(id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        enableManaging(true);
    }

    void edit() const {
        SheetContext* c = context();
        c->addMode = 0;
        InitWatermarkRecord(&c->dialogRecord);
        if (PickWatermarkToEdit(window(), c) != IDOK) return;
        // Gone since the lists were filled (another program removed it): nothing to edit, and
        // the lists drop it as after a removal.
        if (!ReadWatermark(printer(), c->pickedName, &c->dialogRecord)) return refreshAfterRemoval();
        if (EditWatermark(window(), c) != IDOK) return;

        const NotedSelection first = NoteSelection(item(IDC_WM_FIRST_LIST));
        const NotedSelection other = NoteSelection(item(IDC_WM_OTHER_LIST));
        const bool none = checked(IDC_WM_ORDER_NONE);
        // The record holds its watermarks by value: an edited watermark in use changes the job.
        if (!none && first.name[0] && lstrcmpW(first.name, c->pickedName) == 0)
            changed();
        else if (!none && !checked(IDC_WM_ORDER_ALL) && other.name[0] && lstrcmpW(other.name, c->pickedName) == 0)
            changed();
        if (lstrcmpW(c->dialogRecord.szName, c->pickedName) == 0) return;
        fillLists();
        reselectAfterRename(IDC_WM_FIRST_LIST, first);
        reselectAfterRename(IDC_WM_OTHER_LIST, other);
    }

    // A renamed watermark stays selected under its new name.
    void reselectAfterRename(int id, const NotedSelection& noted) const {
        if (noted.index < 1) return select(id, 0);
        const WCHAR* name = lstrcmpW(noted.name, context()->pickedName) == 0 ? context()->dialogRecord.szName : noted.name;
        const LRESULT index = FindWatermarkEntry(item(id), name);
        select(id, index > 0 ? index : 0);
    }

    void remove() const {
        RemoveWatermarks(window(), context());
        refreshAfterRemoval();
    }

    // Whatever the remove dialog did: a selected watermark that is gone leaves "(None)" selected
    // and the sheet changed; one that is still there stays selected.
    void refreshAfterRemoval() const {
        const NotedSelection first = NoteSelection(item(IDC_WM_FIRST_LIST));
        const NotedSelection other = NoteSelection(item(IDC_WM_OTHER_LIST));
        fillLists();
        keepIfStored(IDC_WM_FIRST_LIST, first);
        keepIfStored(IDC_WM_OTHER_LIST, other);
        if (!anyWatermark()) {
            enableManaging(false);
            focus(IDC_WM_ADD);
        }
    }

    void keepIfStored(int id, const NotedSelection& noted) const {
        LRESULT index = 0;
        if (noted.name[0]) {
            if (WatermarkExists(printer(), noted.name))
                index = FindWatermarkEntry(item(id), noted.name);
            else
                changed();
        }
        select(id, index > 0 ? index : 0);
    }
};

}  // namespace

INT_PTR CALLBACK WatermarkPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return WatermarkPage::PageProc(dialog, message, wParam, lParam);
}

}  // namespace corv::ui
