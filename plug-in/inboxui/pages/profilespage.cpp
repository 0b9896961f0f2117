#include "plug-in/inboxui/pages/profilespage.h"

#include "common/text.h"
#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/pages/outputoptions.h"
#include "plug-in/inboxui/profiles/store.h"
#include "plug-in/inboxui/resources/ids.h"

#include <cwchar>

namespace corv::ui {

ProfileButtons ProfileButtonsFor(const ProfileListState& s) {
    ProfileButtons b{true, false, false, !s.loadedIsFactory};
    if (s.selected) {
        b.loadChange = b.renameDelete = !s.selectedIsLoaded;
    } else {
        b.loadChange = s.loadedIsFactory && s.loadedListed;
    }
    return b;
}

UINT ProfileNameViolation(const WCHAR* name, ProfileExistsFn exists, void* context) {
    if (!name) return 0;
    size_t length = wcslen(name);
    if (length && name[length - 1] == L' ') return IDS_PROFILE_ERR_TRAILING_SPACE;
    if (IsReservedName(name)) return IDS_PROFILE_ERR_RESERVED;
    if (wcspbrk(name, L"./\\")) return IDS_PROFILE_ERR_CHARACTERS;
    if (exists && exists(name, context)) return IDS_PROFILE_ERR_EXISTS;
    return 0;
}

void StripTrailingSpaces(WCHAR* text) {
    if (!text) return;
    size_t length = wcslen(text);
    while (length && text[length - 1] == L' ') text[--length] = 0;
}

bool NameAcceptable(const WCHAR* typed, const WCHAR* oldName) {
    if (!typed) return false;
    if (!oldName) return !IsBlank(typed);
    WCHAR stripped[kProfileNameCapacity];
    CopyText(stripped, typed);
    StripTrailingSpaces(stripped);
    return !IsBlank(stripped) && CompareStringOrdinal(stripped, -1, oldName, -1, TRUE) != CSTR_EQUAL;
}

namespace {

using Name = WCHAR[kProfileNameCapacity];

HANDLE Printer(const SheetContext* context) { return context->pageParams ? context->pageParams->hPrinter : nullptr; }

ProfileSettings CurrentSettings(SheetContext* context) {
    ProfileSettings current;
    current.options = context->driverItems;
    current.optionCount = context->driverItems ? context->driverItemCount : 0;
    current.uiObject = context->pageParams ? context->pageParams->poemuiobj : nullptr;
    current.workingCopy = &context->working;
    return current;
}

bool Exists(const WCHAR* name, void* printer) { return ProfileExists(static_cast<HANDLE>(printer), name); }

// The store would make an empty key for a name it does not know, and an empty key "matches" and
// loads nothing: a profile that is not there never holds the current settings.
bool HoldsCurrentSettings(SheetContext* context, const WCHAR* name) {
    HANDLE printer = Printer(context);
    return name[0] && ProfileExists(printer, name) &&
           ProfileMatchesCurrentSettings(printer, name, CurrentSettings(context));
}

void LoadExisting(SheetContext* context, const WCHAR* name) {
    HANDLE printer = Printer(context);
    if (ProfileExists(printer, name)) LoadProfile(printer, name, CurrentSettings(context));
}

class ProfilesPage : public DialogBase<ProfilesPage> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        setLoaded(IDS_PROFILE_FACTORY_DEFAULTS);
        ListProfiles(Printer(context()), list());
        const JobSettings* record = driverRecord();
        if (record && record->szProfileName[0]) {
            LRESULT index = findItem(record->szProfileName);
            if (index >= 0) send(IDC_PROFILE_LIST, LB_SETCURSEL, index);
        }
        Name selected;
        if (selectedName(selected)) SetDlgItemTextW(window(), IDC_PROFILE_LOADED, selected);
        updateButtons();
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        if (id == IDC_PROFILE_LIST) {
            if (code != LBN_SELCHANGE) return FALSE;
            updateButtons();
            return TRUE;
        }
        if (code != BN_CLICKED) return FALSE;
        switch (id) {
            case IDC_PROFILE_LOAD:
                load();
                return TRUE;
            case IDC_PROFILE_SAVE:
                save();
                return TRUE;
            case IDC_PROFILE_CHANGE:
                change();
                return TRUE;
            case IDC_PROFILE_RENAME:
                rename();
                return TRUE;
            case IDC_PROFILE_DELETE:
                remove();
                return TRUE;
            case IDC_PROFILE_FACTORY:
                loadFactoryDefaults();
                return TRUE;
            default:
                return FALSE;
        }
    }

    INT_PTR onNotify(NMHDR* header) {
        switch (header->code) {
            case PSN_SETACTIVE:
                SetContextHelpButton(sheet(), false);
                recognise();
                return answer(0);
            case PSN_KILLACTIVE:
                return answer(FALSE);
            case PSN_APPLY:
                apply();
                return answer(PSNRET_NOERROR);
            default:
                return FALSE;
        }
    }

private:
    HWND list() const { return item(IDC_PROFILE_LIST); }

    void setLoaded(UINT textId) const {
        Name text;
        if (LoadText(textId, text)) SetDlgItemTextW(window(), IDC_PROFILE_LOADED, text);
    }
    void loaded(Name& text) const { GetDlgItemTextW(window(), IDC_PROFILE_LOADED, text, kProfileNameCapacity); }
    bool loadedIs(UINT textId) const {
        Name text, wanted;
        loaded(text);
        return LoadText(textId, wanted) && wcscmp(text, wanted) == 0;
    }

    // The first item equal to the name without regard to case; -1 for none.
    LRESULT findItem(const WCHAR* name) const {
        LRESULT count = send(IDC_PROFILE_LIST, LB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            Name text;
            if (ListItemText(list(), i, text) && CompareStringOrdinal(text, -1, name, -1, TRUE) == CSTR_EQUAL)
                return i;
        }
        return -1;
    }

    // False when nothing is selected: then Load, Change, Rename and Delete have no profile to act on.
    bool selectedName(Name& name) const {
        LRESULT index = send(IDC_PROFILE_LIST, LB_GETCURSEL);
        return index != LB_ERR && ListItemText(list(), index, name) && name[0];
    }

    void updateButtons() const {
        Name text;
        loaded(text);
        LRESULT loadedItem = findItem(text);
        LRESULT selected = send(IDC_PROFILE_LIST, LB_GETCURSEL);
        ProfileListState state{selected != LB_ERR, selected != LB_ERR && selected == loadedItem, loadedItem >= 0,
                               loadedIs(IDS_PROFILE_FACTORY_DEFAULTS)};
        ProfileButtons buttons = ProfileButtonsFor(state);
        enable(IDC_PROFILE_SAVE, buttons.save);
        enable(IDC_PROFILE_LOAD, buttons.loadChange);
        enable(IDC_PROFILE_CHANGE, buttons.loadChange);
        enable(IDC_PROFILE_RENAME, buttons.renameDelete);
        enable(IDC_PROFILE_DELETE, buttons.renameDelete);
        enable(IDC_PROFILE_FACTORY, buttons.factory);
        focus(IDC_PROFILE_LIST);
        disableAllIfNoPermission();
    }

    void markLoaded(const WCHAR* name) const {
        if (JobSettings* record = driverRecord()) {
            CopyText(record->szProfileName, name);
            record->bProfileLoaded = 1;
        }
        SetDlgItemTextW(window(), IDC_PROFILE_LOADED, name);
    }

    void load() const {
        Name name;
        if (!selectedName(name)) return;
        markLoaded(name);
        LoadExisting(context(), name);
        updateButtons();
        changed();
    }

    void loadFactoryDefaults() const {
        Name factory;
        if (!LoadText(IDS_PROFILE_FACTORY_DEFAULTS, factory)) return;
        LoadExisting(context(), factory);
        markLoaded(factory);
        updateButtons();
        changed();
    }

    void save() const {
        if (!runNameDialog(&SaveProfileNameProc)) return;
        const WCHAR* name = context()->newProfileName;
        SaveProfile(Printer(context()), name, CurrentSettings(context()));
        LRESULT index = send(IDC_PROFILE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        widenFor(name);
        if (index >= 0) send(IDC_PROFILE_LIST, LB_SETCURSEL, index);
        SetDlgItemTextW(window(), IDC_PROFILE_LOADED, name);
        updateButtons();
    }

    void change() const {
        Name name;
        if (!selectedName(name)) return;
        CopyText(context()->oldProfileName, name);
        if (AskYesNo(window(), IDS_PROFILE_CONFIRM_CHANGE, IDS_PROFILE_CAPTION, MB_ICONQUESTION, name) == Answer::Yes &&
            OverwriteProfile(Printer(context()), name, CurrentSettings(context())))
            SetDlgItemTextW(window(), IDC_PROFILE_LOADED, name);
        updateButtons();
    }

    void rename() const {
        LRESULT index = send(IDC_PROFILE_LIST, LB_GETCURSEL);
        Name name;
        if (!selectedName(name)) return;
        CopyText(context()->oldProfileName, name);
        if (!runNameDialog(&RenameProfileProc)) return;
        const WCHAR* newName = context()->newProfileName;
        send(IDC_PROFILE_LIST, LB_DELETESTRING, index);
        LRESULT added = send(IDC_PROFILE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(newName));
        widenFor(newName);
        if (added >= 0) send(IDC_PROFILE_LIST, LB_SETCURSEL, added);
        RenameProfile(Printer(context()), context()->oldProfileName, newName);
        updateButtons();
    }

    void remove() const {
        LRESULT index = send(IDC_PROFILE_LIST, LB_GETCURSEL);
        Name name;
        if (!selectedName(name)) return;
        if (AskYesNo(window(), IDS_PROFILE_CONFIRM_DELETE, IDS_PROFILE_CAPTION, MB_ICONQUESTION, name) == Answer::Yes) {
            DeleteProfile(Printer(context()), name);
            send(IDC_PROFILE_LIST, LB_DELETESTRING, index);
            send(IDC_PROFILE_LIST, LB_SETCURSEL, 0);
            setLoaded(IDS_PROFILE_UNKNOWN);
        }
        updateButtons();
    }

    // The list scrolls sideways over the longest name it has had; a shorter one keeps the extent.
    void widenFor(const WCHAR* name) const {
        LRESULT before = send(IDC_PROFILE_LIST, LB_GETHORIZONTALEXTENT);
        SetListExtent(list(), wcslen(name), reinterpret_cast<HFONT>(send(IDC_PROFILE_LIST, WM_GETFONT)));
        if (send(IDC_PROFILE_LIST, LB_GETHORIZONTALEXTENT) < before)
            send(IDC_PROFILE_LIST, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(before));
    }

    bool runNameDialog(DLGPROC procedure) const {
        context()->dialogResult = 2;
        RunDialog(window(), IDD_PROFILE_NAME, procedure, context());
        return context()->dialogResult == 1 && context()->newProfileName[0];
    }

    // The "Currently Loaded" text is the page's claim; the stored profile is asked whether it
    // still holds, after whatever the other pages changed.
    void recognise() const {
        if (context()->noPermission) {
            DisableAllControls(window());
            return;
        }
        Name text;
        loaded(text);
        if (!loadedIs(IDS_PROFILE_UNKNOWN) && !HoldsCurrentSettings(context(), text)) {
            setLoaded(IDS_PROFILE_UNKNOWN);
            send(IDC_PROFILE_LIST, LB_SETCURSEL, 0);
        }
        updateButtons();
    }

    void apply() const {
        Name text;
        loaded(text);
        JobSettings& working = context()->working;
        if (loadedIs(IDS_PROFILE_UNKNOWN) || HoldsCurrentSettings(context(), text))
            CopyText(working.szProfileName, text);
        if (JobSettings* record = driverRecord()) CopyProfileFieldSet(record, &working);
        context()->applied = 1;
    }
};

// The two uses of "Save a Personal Profile": a new name, or a changed one for a rename.
template <bool Rename>
class ProfileNameDialog : public DialogBase<ProfileNameDialog<Rename>> {
    using Base = DialogBase<ProfileNameDialog<Rename>>;

public:
    using Base::Base;

    INT_PTR onInit() {
        if (Rename) SetDlgItemTextW(this->window(), IDC_PROFILE_NAME, this->context()->oldProfileName);
        this->enable(IDOK, false);
        this->send(IDC_PROFILE_NAME, EM_LIMITTEXT, kProfileNameCapacity - 1);
        if (!Rename) return TRUE;
        this->focus(IDC_PROFILE_NAME);
        return FALSE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        switch (id) {
            case IDC_PROFILE_NAME:
                if (code != EN_CHANGE) return FALSE;
                typed();
                return TRUE;
            case IDOK:
                accept();
                return TRUE;
            case IDCANCEL:
                this->context()->dialogResult = 2;
                EndDialog(this->window(), IDCANCEL);
                return TRUE;
            default:
                return FALSE;
        }
    }

private:
    const WCHAR* oldName() const { return Rename ? this->context()->oldProfileName : nullptr; }

    void read(Name& text) const { GetDlgItemTextW(this->window(), IDC_PROFILE_NAME, text, kProfileNameCapacity); }

    void typed() const {
        Name text;
        read(text);
        if (Rename) {
            CopyText(this->context()->newProfileName, text);
            StripTrailingSpaces(this->context()->newProfileName);
        }
        this->enable(IDOK, NameAcceptable(text, oldName()));
    }

    void accept() const {
        Name text;
        read(text);
        // Enter reaches here with OK off too.
        if (!NameAcceptable(text, oldName())) return;
        UINT violation = ProfileNameViolation(text, &Exists, Printer(this->context()));
        if (violation) {
            ShowError(this->window(), violation, IDS_PROFILE_CAPTION, violation == IDS_PROFILE_ERR_EXISTS ? text : nullptr);
            this->focus(IDC_PROFILE_NAME);
            return;
        }
        StripTrailingSpaces(text);
        CopyText(this->context()->newProfileName, text);
        this->context()->dialogResult = 1;
        EndDialog(this->window(), IDOK);
    }
};

}  // namespace

INT_PTR CALLBACK ProfilesPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ProfilesPage::PageProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK SaveProfileNameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ProfileNameDialog<false>::DialogProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK RenameProfileProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ProfileNameDialog<true>::DialogProc(dialog, message, wParam, lParam);
}

}  // namespace corv::ui
