#include "plug-in/inboxui/pages/outputoptions.h"

#include "common/coreboundary.h"
#include "common/text.h"
#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/watermarks/store.h"

#include <cstddef>
#include <cstring>
#include <cwctype>
#include <iterator>

namespace corv::ui {

bool IsHoldDestination(DWORD destination) {
    return destination >= kOutputConfidential && destination <= kOutputVerify;
}

OutputEnables EnablesFor(DWORD destination, bool sendCoverChecked) {
    OutputEnables on{};
    on.fax = destination == kOutputFax;
    on.setupCover = on.fax && sendCoverChecked;
    on.holdUser = IsHoldDestination(destination);
    on.pin = destination == kOutputConfidential;
    return on;
}

bool IsBlank(const WCHAR* text) {
    if (!text) return true;
    for (; *text; ++text)
        if (!iswspace(*text)) return false;
    return true;
}

OutputCheck CheckOutputFields(const OutputFields& f) {
    if (f.destination > kHighestDestination) return {0, 0};
    if (IsHoldDestination(f.destination)) {
        if (IsBlank(f.userName)) return {IDS_ERR_USER_NAME_EMPTY, IDC_OUT_USER};
        if (std::wcschr(f.userName, L'"')) return {IDS_ERR_USER_NAME_QUOTE, IDC_OUT_USER};
    }
    if (f.destination == kOutputConfidential) {
        const WCHAR* pin = f.pin ? f.pin : L"";
        if (BoundedLength(pin, kHoldPinCapacity) < kHoldPinCapacity - 1) return {IDS_ERR_PIN_SHORT, IDC_OUT_PIN};
        if (pin[std::wcsspn(pin, L"1234567890")] != 0) return {IDS_ERR_PIN_CHARACTERS, IDC_OUT_PIN};
    }
    if (f.destination == kOutputFax && f.faxCard) {
        if (IsBlank(f.recipient)) return {IDS_ERR_FAX_RECIPIENT, IDC_FAX_NAME};
        if (IsBlank(f.faxNumber)) return {IDS_ERR_FAX_NUMBER, IDC_FAX_NUMBER};
        if (IsBlank(f.station)) return {IDS_ERR_FAX_STATION, IDC_FAX_STATION};
        if (f.sendCover && (f.coverParts & kCoverPartsMask) == 0) return {IDS_ERR_COVER_PARTS, IDC_FAX_STATION};
    }
    return {0, 0};
}

bool FaxInfoUsable(const FaxRecord& stored) { return stored.szFaxNumber[0] != 0 || stored.szRecipientName[0] != 0; }

void ProposeUserName(const WCHAR* lastUserName, const WCHAR* recordName, const WCHAR* loggedOn,
                     WCHAR (&name)[kHoldUserNameCapacity]) {
    name[0] = 0;
    if (lastUserName) CopyText(name, lastUserName);
    else if (recordName && recordName[0]) CopyText(name, recordName);
    else if (loggedOn) CopyText(name, loggedOn);
}

namespace {

constexpr int kFaxControls[] = {IDC_FAX_GROUP,        IDC_FAX_NAME_LABEL,       IDC_FAX_NAME,
                                IDC_FAX_NUMBER_LABEL, IDC_FAX_NUMBER,           IDC_FAX_STATION_LABEL,
                                IDC_FAX_STATION,      IDC_FAX_RESOLUTION_LABEL, IDC_FAX_RESOLUTION,
                                IDC_FAX_SEND_COVER,   IDC_FAX_SETUP_COVER};
constexpr int kHoldUserControls[] = {IDC_OUT_USER_LABEL, IDC_OUT_USER, IDC_OUT_KEEP};
constexpr int kPinControls[] = {IDC_OUT_PIN_LABEL, IDC_OUT_PIN};

// The list offers the destinations in this order; File and EPS are never offered.
constexpr DWORD kOffered[] = {kOutputPrinter, kOutputFax, kOutputConfidential, kOutputReserve, kOutputRepeat,
                              kOutputVerify};

// The cover page fields with their dialog controls and the lengths read back.
struct CoverField {
    int id;
    int label;
    size_t offset;
    int readLength;
};
constexpr CoverField kSenderFields[] = {
    {IDC_COVER_SENDER_NAME, IDC_COVER_SENDER_NAME_LABEL, offsetof(CoverPageBlock, szSenderName), 128},
    {IDC_COVER_COMPANY, IDC_COVER_COMPANY_LABEL, offsetof(CoverPageBlock, szSenderCompany), 128},
    {IDC_COVER_ADDRESS, IDC_COVER_ADDRESS_LABEL, offsetof(CoverPageBlock, szSenderAddress), 256},
    {IDC_COVER_SENDER_FAX, IDC_COVER_SENDER_FAX_LABEL, offsetof(CoverPageBlock, szSenderFax), 64},
    {IDC_COVER_VOICE, IDC_COVER_VOICE_LABEL, offsetof(CoverPageBlock, szSenderVoice), 64},
    {IDC_COVER_EMAIL, IDC_COVER_EMAIL_LABEL, offsetof(CoverPageBlock, szSenderEmail), 64},
};
constexpr int kSenderTypedLimit = 45;
constexpr int kCommentsTypedLimit = 1023;

constexpr DWORD kPartRecipient = 1, kPartSender = 2, kPartComments = 4;

WCHAR* CoverText(CoverPageBlock& block, size_t offset) {
    return reinterpret_cast<WCHAR*>(reinterpret_cast<BYTE*>(&block) + offset);
}

// A text of a record or a stored value, which may lack its terminator, shown within its array.
template <size_t N>
void SetBoundedText(HWND dialog, int id, const WCHAR (&text)[N]) {
    WCHAR shown[N];
    CopyText(shown, text, N);
    SetDlgItemTextW(dialog, id, shown);
}

void SetBoundedText(HWND dialog, int id, const WCHAR* text, size_t capacity) {
    WCHAR shown[kTextCapacity];
    CopyText(shown, capacity < kTextCapacity ? capacity : kTextCapacity, text, capacity);
    SetDlgItemTextW(dialog, id, shown);
}

// A missing control leaves the field as it was.
template <size_t N>
void ReadEdit(HWND dialog, int id, WCHAR (&field)[N]) {
    if (GetDlgItem(dialog, id)) GetDlgItemTextW(dialog, id, field, N);
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void EnableAll(HWND dialog, const int* ids, size_t count, bool on) {
    for (size_t i = 0; i < count; ++i)
        if (HWND control = GetDlgItem(dialog, ids[i])) EnableWindow(control, on ? TRUE : FALSE);
}

void ShowAll(HWND dialog, const int* ids, size_t count, bool shown) {
    for (size_t i = 0; i < count; ++i)
        if (HWND control = GetDlgItem(dialog, ids[i])) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

template <size_t N>
void EnableAll(HWND dialog, const int (&ids)[N], bool on) { EnableAll(dialog, ids, N, on); }
template <size_t N>
void ShowAll(HWND dialog, const int (&ids)[N], bool shown) { ShowAll(dialog, ids, N, shown); }

struct Features {
    bool faxCard;
    bool printAndHold;
    bool keepJobs;
};

class OutputOptionsPage : public DialogBase<OutputOptionsPage> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        JobSettings& working = context()->working;
        if (working.dwOutputTo > kHighestDestination) working.dwOutputTo = kOutputPrinter;
        HWND list = item(IDC_OUT_DESTINATION);
        for (DWORD value : kOffered) {
            if (value == kOutputFax && !features().faxCard) continue;
            if (IsHoldDestination(value) && !features().printAndHold) continue;
            WCHAR text[kNameCapacity];
            LoadText(IDS_OUT_PRINTER + value, text);
            LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            if (index >= 0) SendMessageW(list, CB_SETITEMDATA, index, value);
        }
        send(IDC_FAX_NAME, EM_LIMITTEXT, 45);
        send(IDC_FAX_NUMBER, EM_LIMITTEXT, 60);
        send(IDC_FAX_STATION, EM_LIMITTEXT, 24);
        fill(true);
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        if (id == IDC_OUT_DESTINATION && code == CBN_SELCHANGE) {
            applyEnables(selectedDestination());
        } else if (id == IDC_FAX_SETUP_COVER && code == BN_CLICKED) {
            RunDialog(window(), IDD_FAX_COVER, FaxCoverDialogProc, context());
        } else if (id == IDC_FAX_SEND_COVER && code == BN_CLICKED) {
            enable(IDC_FAX_SETUP_COVER, IsChecked(window(), IDC_FAX_SEND_COVER));
        } else if (code != BN_CLICKED && code != EN_CHANGE) {
            return FALSE;
        }
        changed();
        return TRUE;
    }

    INT_PTR onNotify(NMHDR* header) {
        switch (header->code) {
            case PSN_SETACTIVE:
                SetContextHelpButton(sheet(), false);
                fill(false);
                return answer(0);
            case PSN_KILLACTIVE:
                if (!validate()) return answer(TRUE);
                store(&context()->working);
                return answer(FALSE);
            case PSN_APPLY:
                if (JobSettings* record = driverRecord()) store(record);
                return answer(PSNRET_NOERROR);
            default:
                return FALSE;
        }
    }

private:
    HANDLE printer() const { return context()->pageParams ? context()->pageParams->hPrinter : nullptr; }

    Features features() const {
        POEMUIOBJ object = context()->pageParams ? context()->pageParams->poemuiobj : nullptr;
        IPrintCoreUI2* core = context()->core;
        return {HasFaxCard(core, object), HasFeature(core, object, "HasPrintandHold"),
                HasFeature(core, object, "HasKeepPreviousPHJobs")};
    }

    DWORD selectedDestination() const {
        LRESULT index = send(IDC_OUT_DESTINATION, CB_GETCURSEL);
        if (index == CB_ERR) return kOutputPrinter;
        return static_cast<DWORD>(send(IDC_OUT_DESTINATION, CB_GETITEMDATA, index));
    }

    void applyEnables(DWORD destination) const {
        OutputEnables on = EnablesFor(destination, IsChecked(window(), IDC_FAX_SEND_COVER));
        EnableAll(window(), kFaxControls, on.fax);
        enable(IDC_FAX_SETUP_COVER, on.setupCover);
        EnableAll(window(), kHoldUserControls, on.holdUser);
        EnableAll(window(), kPinControls, on.pin);
    }

    // Creation and activation alike, from the working copy; only creation adds list items.
    void fill(bool creating) const {
        SheetContext& c = *context();
        const JobSettings& working = c.working;
        const DWORD destination = working.dwOutputTo;
        const Features has = features();

        // Selected by its label: File and EPS are not in the list, so nothing is selected.
        WCHAR label[kNameCapacity] = {};
        if (destination <= kHighestDestination) LoadText(IDS_OUT_PRINTER + destination, label);
        LRESULT found = send(IDC_OUT_DESTINATION, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(label));
        send(IDC_OUT_DESTINATION, CB_SETCURSEL, found == CB_ERR ? static_cast<WPARAM>(-1) : found);

        const OutputEnables on = EnablesFor(destination, false);
        if (has.faxCard) {
            // A stored value shorter than the record is read over the working copy's fax record,
            // never over what an earlier read left behind.
            CopyFaxRecord(&c.persistedFax, &working.fax);
            const bool stored = ReadFaxInfo(printer(), &c.persistedFax) && FaxInfoUsable(c.persistedFax);
            const FaxRecord& source = stored ? c.persistedFax : working.fax;
            SetBoundedText(window(), IDC_FAX_NAME, source.szRecipientName);
            SetBoundedText(window(), IDC_FAX_NUMBER, source.szFaxNumber);
            SetBoundedText(window(), IDC_FAX_STATION, source.szFaxStation);
            if (creating) {
                WCHAR fine[kNameCapacity];
                LoadText(IDS_FAX_FINE, fine);
                send(IDC_FAX_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fine));
                if (source.wFaxResolution == 0) send(IDC_FAX_RESOLUTION, CB_SETCURSEL, 0);
            }
            const bool cover = source.bFaxCoverPage != 0;
            CheckDlgButton(window(), IDC_FAX_SEND_COVER, cover ? BST_CHECKED : BST_UNCHECKED);
            std::memcpy(&c.coverBlock, reinterpret_cast<const BYTE*>(&source) + kCoverBlockOffset, kCoverBlockSize);
            ShowAll(window(), kFaxControls, true);
            EnableAll(window(), kFaxControls, on.fax);
            enable(IDC_FAX_SETUP_COVER, on.fax && cover);
        } else {
            ShowAll(window(), kFaxControls, false);
        }

        if (has.printAndHold) {
            send(IDC_OUT_PIN, EM_LIMITTEXT, kHoldPinCapacity - 1);
            ShowAll(window(), kPinControls, true);
            if (destination == kOutputConfidential) SetBoundedText(window(), IDC_OUT_PIN, working.szHoldPin);
            else SetDlgItemTextW(window(), IDC_OUT_PIN, L"");
            EnableAll(window(), kPinControls, on.pin);
        } else {
            ShowAll(window(), kPinControls, false);
        }

        if (HWND keep = item(IDC_OUT_KEEP)) {
            ShowWindow(keep, has.keepJobs ? SW_SHOW : SW_HIDE);
            if (has.keepJobs) EnableWindow(keep, on.holdUser ? TRUE : FALSE);
        }
        // Hidden or not, the box carries the flag that held destinations store.
        CheckDlgButton(window(), IDC_OUT_KEEP, working.bKeepDuplicateJobs ? BST_CHECKED : BST_UNCHECKED);

        const int userControls[] = {IDC_OUT_USER_LABEL, IDC_OUT_USER};
        if (has.printAndHold) {
            send(IDC_OUT_USER, EM_LIMITTEXT, kHoldUserNameCapacity - 1);
            WCHAR name[kHoldUserNameCapacity];
            proposeUserName(name);
            SetDlgItemTextW(window(), IDC_OUT_USER, name);
            ShowAll(window(), userControls, true);
            EnableAll(window(), userControls, on.holdUser);
        } else {
            ShowAll(window(), userControls, false);
        }

        disableAllIfNoPermission();
    }

    void proposeUserName(WCHAR (&name)[kHoldUserNameCapacity]) const {
        WCHAR stored[kHoldUserNameCapacity];
        const bool haveStored = ReadLastUserName(printer(), stored, kHoldUserNameCapacity);
        WCHAR record[kHoldUserNameCapacity];
        CopyText(record, context()->working.szHoldUserName, kHoldUserNameCapacity);
        // Asked only when it is needed; a name longer than the buffer is no proposal.
        WCHAR loggedOn[kHoldUserNameCapacity + 1] = {};
        bool haveLoggedOn = false;
        if (!haveStored && !record[0]) {
            DWORD size = static_cast<DWORD>(std::size(loggedOn));
            haveLoggedOn = GetUserNameW(loggedOn, &size) != FALSE;
        }
        ProposeUserName(haveStored ? stored : nullptr, record, haveLoggedOn ? loggedOn : nullptr, name);
    }

    bool validate() const {
        const DWORD destination = selectedDestination();
        WCHAR user[kHoldUserNameCapacity] = {}, pin[kHoldPinCapacity] = {};
        WCHAR recipient[128] = {}, number[128] = {}, station[128] = {};
        ReadEdit(window(), IDC_OUT_USER, user);
        ReadEdit(window(), IDC_OUT_PIN, pin);
        ReadEdit(window(), IDC_FAX_NAME, recipient);
        ReadEdit(window(), IDC_FAX_NUMBER, number);
        ReadEdit(window(), IDC_FAX_STATION, station);
        OutputFields fields{destination, user, pin, features().faxCard, recipient, number, station,
                            IsChecked(window(), IDC_FAX_SEND_COVER), context()->coverBlock.dwCoverParts};
        OutputCheck check = CheckOutputFields(fields);
        if (check.message == 0) return true;
        error(check.message, check.focus);
        return false;
    }

    // Into the working copy when the page is left, into the driver's record at apply. The
    // registry keeps the last held-job user and fax record even when the sheet is cancelled.
    void store(JobSettings* target) const {
        const DWORD destination = selectedDestination();
        target->dwOutputTo = destination;
        if (destination == kOutputConfidential) ReadEdit(window(), IDC_OUT_PIN, target->szHoldPin);
        if (IsHoldDestination(destination)) {
            ReadEdit(window(), IDC_OUT_USER, target->szHoldUserName);
            WriteLastUserName(printer(), target->szHoldUserName);
            target->bKeepDuplicateJobs = IsChecked(window(), IDC_OUT_KEEP) ? 1 : 0;
        }
        if (destination == kOutputFax) {
            FaxRecord& fax = target->fax;
            ReadEdit(window(), IDC_FAX_NAME, fax.szRecipientName);
            ReadEdit(window(), IDC_FAX_NUMBER, fax.szFaxNumber);
            ReadEdit(window(), IDC_FAX_STATION, fax.szFaxStation);
            fax.bFaxCoverPage = IsChecked(window(), IDC_FAX_SEND_COVER) ? 1 : 0;
            if (fax.bFaxCoverPage)
                std::memcpy(reinterpret_cast<BYTE*>(&fax) + kCoverBlockOffset, &context()->coverBlock, kCoverBlockSize);
            if (send(IDC_FAX_RESOLUTION, CB_GETCURSEL) == 0) fax.wFaxResolution = 0;
            WriteFaxInfo(printer(), &fax);
        }
    }
};

class FaxCoverDialog : public DialogBase<FaxCoverDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        CoverPageBlock& block = context()->coverBlock;
        const DWORD parts = block.dwCoverParts;
        CheckDlgButton(window(), IDC_COVER_RECIPIENT, (parts & kPartRecipient) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(window(), IDC_COVER_SENDER, (parts & kPartSender) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(window(), IDC_COVER_COMMENTS, (parts & kPartComments) ? BST_CHECKED : BST_UNCHECKED);
        for (const CoverField& field : kSenderFields) {
            send(field.id, EM_LIMITTEXT, kSenderTypedLimit);
            SetBoundedText(window(), field.id, CoverText(block, field.offset), static_cast<size_t>(field.readLength));
        }
        send(IDC_COVER_COMMENT_TEXT, EM_LIMITTEXT, kCommentsTypedLimit);
        SetBoundedText(window(), IDC_COVER_COMMENT_TEXT, block.szComments);
        updateEnables();
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        switch (id) {
            case IDC_COVER_RECIPIENT:
            case IDC_COVER_SENDER:
            case IDC_COVER_COMMENTS:
                if (code == BN_CLICKED) updateEnables();
                return TRUE;
            case IDOK:
                accept();
                EndDialog(window(), IDOK);
                return TRUE;
            case IDCANCEL:
                EndDialog(window(), IDCANCEL);
                return TRUE;
            default:
                return FALSE;
        }
    }

private:
    void updateEnables() const {
        const bool recipient = IsChecked(window(), IDC_COVER_RECIPIENT);
        const bool sender = IsChecked(window(), IDC_COVER_SENDER);
        const bool comments = IsChecked(window(), IDC_COVER_COMMENTS);
        for (const CoverField& field : kSenderFields) {
            enable(field.id, sender);
            enable(field.label, sender);
        }
        enable(IDC_COVER_COMMENT_TEXT, comments);
        enable(IDC_COVER_COMMENT_GROUP, comments);
        enable(IDOK, recipient || sender || comments);
    }

    // The parts left unchecked keep their text, so checking them again brings it back.
    void accept() const {
        CoverPageBlock& block = context()->coverBlock;
        auto flag = [&](int id, DWORD bit) {
            if (IsChecked(window(), id)) block.dwCoverParts |= bit;
            else block.dwCoverParts &= ~bit;
        };
        flag(IDC_COVER_RECIPIENT, kPartRecipient);
        flag(IDC_COVER_SENDER, kPartSender);
        flag(IDC_COVER_COMMENTS, kPartComments);
        if (block.dwCoverParts & kPartSender)
            for (const CoverField& field : kSenderFields)
                if (item(field.id)) GetDlgItemTextW(window(), field.id, CoverText(block, field.offset), field.readLength);
        if (block.dwCoverParts & kPartComments) ReadEdit(window(), IDC_COVER_COMMENT_TEXT, block.szComments);
    }
};

}  // namespace

INT_PTR CALLBACK OutputOptionsPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return OutputOptionsPage::PageProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK FaxCoverDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return FaxCoverDialog::DialogProc(dialog, message, wParam, lParam);
}

}  // namespace corv::ui
