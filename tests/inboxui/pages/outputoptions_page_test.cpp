// The Output Options page and the cover page dialog: the pure rules with numbers, then the real
// page in a real modeless property sheet, with the registry, the spooler, message boxes, the
// nested dialog and the logged-on user answered by the page kit.
#include "plug-in/inboxui/pages/outputoptions.h"

#include "common/text.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/pagetable.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/resources/ids.h"
#include "tests/inboxui/watermarks/store_fixture.h"
#include "tests/support/fakecoreui.h"
#include "tests/support/pagekit/modal.h"
#include "tests/support/pagekit/patches.h"
#include "tests/support/pagekit/sheethost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace corv::ui {
namespace {

// ---- The rules --------------------------------------------------------------------------------

OutputFields Held(DWORD destination, const WCHAR* user, const WCHAR* pin) {
    return {destination, user, pin, true, L"", L"", L"", false, 0};
}
OutputFields Fax(const WCHAR* recipient, const WCHAR* number, const WCHAR* station, bool cover, DWORD parts) {
    return {kOutputFax, L"", L"", true, recipient, number, station, cover, parts};
}

TEST(OutputRules, ChecksRunInOrderAndNameTheirField) {
    struct Case {
        OutputFields fields;
        UINT message;
        int focus;
    } cases[] = {
        {Held(4, L"", L"12"), IDS_ERR_USER_NAME_EMPTY, IDC_OUT_USER},
        {Held(5, L" \t ", L""), IDS_ERR_USER_NAME_EMPTY, IDC_OUT_USER},
        {Held(4, L"a\"b", L"12"), IDS_ERR_USER_NAME_QUOTE, IDC_OUT_USER},
        {Held(4, L"ann", L"123"), IDS_ERR_PIN_SHORT, IDC_OUT_PIN},
        {Held(4, L"ann", L"12a4"), IDS_ERR_PIN_CHARACTERS, IDC_OUT_PIN},
        {Held(4, L"ann", L"0000"), 0, 0},
        {Held(4, L"ann", L"9999"), 0, 0},
        {Held(6, L"ann", L"x"), 0, 0},  // only Confidential Print has a PIN
        {Held(12, L"", L""), 0, 0},     // beyond the known destinations nothing is checked
        {Held(0, L"", L""), 0, 0},
        {Fax(L" ", L"1", L"s", false, 0), IDS_ERR_FAX_RECIPIENT, IDC_FAX_NAME},
        {Fax(L"r", L"", L"s", false, 0), IDS_ERR_FAX_NUMBER, IDC_FAX_NUMBER},
        {Fax(L"r", L"1", L"  ", false, 0), IDS_ERR_FAX_STATION, IDC_FAX_STATION},
        {Fax(L"r", L"1", L"s", true, 8), IDS_ERR_COVER_PARTS, IDC_FAX_STATION},
        {Fax(L"r", L"1", L"s", true, 4), 0, 0},
        {Fax(L"r", L"1", L"s", false, 0), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fields.destination << " " << (c.fields.userName ? c.fields.userName : L""));
        OutputCheck check = CheckOutputFields(c.fields);
        EXPECT_EQ(check.message, c.message);
        EXPECT_EQ(check.focus, c.focus);
    }
    OutputFields noCard = Fax(L"", L"", L"", true, 0);
    noCard.faxCard = false;
    EXPECT_EQ(CheckOutputFields(noCard).message, 0u);
}

TEST(OutputRules, UserNamePreferenceAndCut) {
    WCHAR name[kHoldUserNameCapacity];
    ProposeUserName(L"stored", L"record", L"me", name);
    EXPECT_STREQ(name, L"stored");
    ProposeUserName(L"", L"record", L"me", name);  // a stored empty name still wins
    EXPECT_STREQ(name, L"");
    ProposeUserName(nullptr, L"record", L"me", name);
    EXPECT_STREQ(name, L"record");
    ProposeUserName(nullptr, L"", L"me", name);
    EXPECT_STREQ(name, L"me");
    ProposeUserName(nullptr, L"", nullptr, name);
    EXPECT_STREQ(name, L"");
    ProposeUserName(nullptr, L"", L"abcdefghijklmnopqrstuvwxy", name);
    EXPECT_STREQ(name, L"abcdefghijklmnopqrstuvwx");
}

// ---- The page in a sheet ----------------------------------------------------------------------

using corvtest::kDriver;
using corvtest::kModelPath;

const PageRow& OutputRow() {
    size_t count = 0;
    const PageRow* rows = DocumentPageTable(&count);
    for (size_t i = 0; i < count; ++i)
        if (rows[i].templateId == IDD_OUTPUT_OPTIONS) return rows[i];
    static const PageRow none{};
    return none;
}

std::wstring Text(HWND dialog, int id) {
    WCHAR text[2048] = {};
    GetDlgItemTextW(dialog, id, text, 2048);
    return text;
}

class OutputPage : public ::testing::Test {
protected:
    corvtest::ScratchRegistry registry;
    corvtest::FakeSpooler spooler;
    corvtest::FakeCoreDriverUi core;
    corvtest::MessageBoxes boxes;
    corvtest::UserName user{L"loggedon"};
    corvtest::NestedDialogs nested;
    OEMUIOBJ uiObject{sizeof(OEMUIOBJ), nullptr};
    OEMUIPSPARAM params{};
    JobSettings driverRecord{};
    std::unique_ptr<SheetContext> context = std::make_unique<SheetContext>();
    std::unique_ptr<corvtest::SheetHost> host;
    HANDLE printer = nullptr;
    HWND page = nullptr;

    void SetUp() override {
        ASSERT_TRUE(registry.ok());
        ASSERT_TRUE(spooler.active() && boxes.active() && user.active() && nested.active());
        printer = spooler.Add(L"Office", kDriver);
        ASSERT_TRUE(DefaultRecord(&driverRecord));
        *context = SheetContext{};
        context->working = driverRecord;
        params.cbSize = sizeof params;
        params.hPrinter = printer;
        params.poemuiobj = &uiObject;
        params.pOEMDM = &driverRecord;
        context->pageParams = &params;
        context->core = &core;
        core.faxCard = "True";
        core.features = {"HasPrintandHold", "HasKeepPreviousPHJobs"};
    }
    void TearDown() override { host.reset(); }

    void Open() {
        ASSERT_NE(OutputRow().procedure, nullptr);
        host = std::make_unique<corvtest::SheetHost>();
        host->Add(OutputRow(), context.get());
        page = host->ShowWithBlankPage();
        ASSERT_TRUE(page);
    }

    HWND Item(int id) const { return GetDlgItem(page, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Shown(int id) const { return (GetWindowLongPtrW(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }

    std::vector<DWORD> Offered() const {
        std::vector<DWORD> values;
        LRESULT n = SendMessageW(Item(IDC_OUT_DESTINATION), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i)
            values.push_back(static_cast<DWORD>(SendMessageW(Item(IDC_OUT_DESTINATION), CB_GETITEMDATA, i, 0)));
        return values;
    }
    void Choose(DWORD destination) {
        HWND list = Item(IDC_OUT_DESTINATION);
        LRESULT n = SendMessageW(list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i)
            if (SendMessageW(list, CB_GETITEMDATA, i, 0) == static_cast<LRESULT>(destination)) {
                SendMessageW(list, CB_SETCURSEL, i, 0);
                SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_OUT_DESTINATION, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(list));
                return;
            }
        ADD_FAILURE() << "destination " << destination << " not offered";
    }
    // Typed key by key, so the field's limit applies.
    void Type(int id, const wchar_t* text) {
        SetDlgItemTextW(page, id, L"");
        for (const wchar_t* c = text; *c; ++c) SendMessageW(Item(id), WM_CHAR, *c, 1);
    }
    void Click(int id) {
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        corvtest::SheetHost::Pump();
    }
    bool Leave() { return host->select(1); }

    void PutValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kModelPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    std::vector<BYTE> GetValue(const wchar_t* name) {
        std::vector<BYTE> data(8192);
        DWORD size = static_cast<DWORD>(data.size());
        if (RegGetValueW(HKEY_CURRENT_USER, kModelPath.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, nullptr, data.data(),
                         &size) != ERROR_SUCCESS)
            return {};
        data.resize(size);
        return data;
    }
    void ExpectRefused(UINT textId, int focus) {
        size_t before = boxes.shown.size();
        corvtest::FocusWatch focused;
        EXPECT_FALSE(Leave());
        EXPECT_EQ(host->currentIndex(), 0);
        ASSERT_EQ(boxes.shown.size(), before + 1);
        WCHAR expected[2048] = {};
        LoadStringW(ResourceModule(), textId, expected, 2048);
        EXPECT_EQ(boxes.shown.back().text, expected);
        EXPECT_FALSE(boxes.shown.back().hasCaption);
        EXPECT_EQ(boxes.shown.back().icon(), static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(focused.last(), Item(focus));
    }
};

TEST_F(OutputPage, OffersItsDestinationsInOrderAndEnablesPerDestination) {
    Open();
    EXPECT_EQ(Offered(), (std::vector<DWORD>{0, 3, 4, 5, 6, 7}));
    WCHAR text[64] = {};
    SendMessageW(Item(IDC_OUT_DESTINATION), CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Confidential Print");
    EXPECT_TRUE(Shown(IDC_FAX_GROUP) && Shown(IDC_OUT_PIN) && Shown(IDC_OUT_KEEP));
    CheckDlgButton(page, IDC_FAX_SEND_COVER, BST_CHECKED);
    struct Row {
        DWORD destination;
        bool fax, setup, user, pin;
    } rows[] = {{3, true, true, false, false}, {4, false, false, true, true},  {5, false, false, true, false},
                {6, false, false, true, false}, {7, false, false, true, false}, {0, false, false, false, false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.destination);
        Choose(r.destination);
        EXPECT_EQ(Enabled(IDC_FAX_NAME), r.fax);
        EXPECT_EQ(Enabled(IDC_FAX_STATION), r.fax);
        EXPECT_EQ(Enabled(IDC_FAX_SEND_COVER), r.fax);
        EXPECT_EQ(Enabled(IDC_FAX_SETUP_COVER), r.setup);
        EXPECT_EQ(Enabled(IDC_OUT_USER), r.user);
        EXPECT_EQ(Enabled(IDC_OUT_USER_LABEL), r.user);
        EXPECT_EQ(Enabled(IDC_OUT_KEEP), r.user);
        EXPECT_EQ(Enabled(IDC_OUT_PIN), r.pin);
        EXPECT_EQ(Enabled(IDC_OUT_PIN_LABEL), r.pin);
    }
    // The send-cover-page box alone decides the Setup button under Fax.
    Choose(3);
    Click(IDC_FAX_SEND_COVER);
    EXPECT_FALSE(Enabled(IDC_FAX_SETUP_COVER));
    Click(IDC_FAX_SEND_COVER);
    EXPECT_TRUE(Enabled(IDC_FAX_SETUP_COVER));
}

TEST_F(OutputPage, WithoutFeaturesTheirControlsAreHidden) {
    core.faxCard = "False";
    core.features = {"HasPrintandHold"};
    Open();
    EXPECT_EQ(Offered(), (std::vector<DWORD>{0, 4, 5, 6, 7}));
    EXPECT_FALSE(Shown(IDC_FAX_GROUP) || Shown(IDC_FAX_NAME) || Shown(IDC_FAX_SETUP_COVER));
    EXPECT_FALSE(Shown(IDC_OUT_KEEP));
    EXPECT_TRUE(Shown(IDC_OUT_PIN) && Shown(IDC_OUT_USER));
}

TEST_F(OutputPage, HeldJobsRefuseBadNamesAndPinsInOrder) {
    Open();
    Choose(4);
    Type(IDC_OUT_USER, L"                        ");  // 24 blanks
    Type(IDC_OUT_PIN, L"1234");
    ExpectRefused(IDS_ERR_USER_NAME_EMPTY, IDC_OUT_USER);
    Type(IDC_OUT_USER, L"ann \"the\" user");
    ExpectRefused(IDS_ERR_USER_NAME_QUOTE, IDC_OUT_USER);
    Type(IDC_OUT_USER, L"ann");
    Type(IDC_OUT_PIN, L"123");
    ExpectRefused(IDS_ERR_PIN_SHORT, IDC_OUT_PIN);
    // The edit takes digits only from the keyboard; a pasted letter still arrives.
    SetDlgItemTextW(page, IDC_OUT_PIN, L"12a4");
    ExpectRefused(IDS_ERR_PIN_CHARACTERS, IDC_OUT_PIN);
    EXPECT_EQ(context->working.dwOutputTo, 0u);  // nothing stored while refused
    Type(IDC_OUT_PIN, L"0000");
    EXPECT_TRUE(Leave());
    EXPECT_STREQ(context->working.szHoldPin, L"0000");
    host->select(0);
    Type(IDC_OUT_PIN, L"999999");  // the limit keeps four
    EXPECT_EQ(Text(page, IDC_OUT_PIN), L"9999");
    EXPECT_TRUE(Leave());
    EXPECT_STREQ(context->working.szHoldPin, L"9999");
}

TEST_F(OutputPage, FaxRefusesMissingFieldsAndACoverWithoutParts) {
    Open();
    Choose(3);
    Type(IDC_FAX_NAME, L"");
    Type(IDC_FAX_NUMBER, L"");
    Type(IDC_FAX_STATION, L"");
    ExpectRefused(IDS_ERR_FAX_RECIPIENT, IDC_FAX_NAME);
    Type(IDC_FAX_NAME, L"Bea");
    ExpectRefused(IDS_ERR_FAX_NUMBER, IDC_FAX_NUMBER);
    Type(IDC_FAX_NUMBER, L"555 0100");
    Type(IDC_FAX_STATION, L"   ");
    ExpectRefused(IDS_ERR_FAX_STATION, IDC_FAX_STATION);
    Type(IDC_FAX_STATION, L"Desk");
    CheckDlgButton(page, IDC_FAX_SEND_COVER, BST_CHECKED);
    context->coverBlock.dwCoverParts = 0;
    ExpectRefused(IDS_ERR_COVER_PARTS, IDC_FAX_STATION);
    Click(IDC_FAX_SEND_COVER);
    EXPECT_TRUE(Leave());
}

TEST_F(OutputPage, StoresHeldJobsIntoTheWorkingCopyThenTheDriversRecordOnApply) {
    context->working.bKeepDuplicateJobs = 0;
    CopyText(context->working.fax.szFaxNumber, L"untouched");
    Open();
    Choose(4);
    Type(IDC_OUT_USER, L"abcdefghijklmnopqrstuvwxyz");  // two beyond the limit
    Type(IDC_OUT_PIN, L"4711");
    Click(IDC_OUT_KEEP);
    ASSERT_TRUE(Leave());
    const JobSettings& w = context->working;
    EXPECT_EQ(w.dwOutputTo, 4u);
    EXPECT_STREQ(w.szHoldUserName, L"abcdefghijklmnopqrstuvwx");
    EXPECT_STREQ(w.szHoldPin, L"4711");
    EXPECT_EQ(w.bKeepDuplicateJobs, 1);
    EXPECT_STREQ(w.fax.szFaxNumber, L"untouched");
    EXPECT_EQ(driverRecord.dwOutputTo, 0u);  // only apply reaches the driver's record
    std::vector<BYTE> stored = GetValue(L"LastUserName");
    EXPECT_EQ(stored.size(), 25 * sizeof(WCHAR));
    EXPECT_TRUE(GetValue(L"FaxInfo").empty());

    ASSERT_TRUE(host->select(0));
    Choose(6);  // Repeat Print keeps the PIN that was stored
    ASSERT_TRUE(host->apply());
    EXPECT_EQ(driverRecord.dwOutputTo, 6u);
    EXPECT_STREQ(driverRecord.szHoldUserName, L"abcdefghijklmnopqrstuvwx");
    EXPECT_STREQ(driverRecord.szHoldPin, L"");
    EXPECT_EQ(driverRecord.bKeepDuplicateJobs, 1);
}

TEST_F(OutputPage, StoresFaxFieldsAndCoverBlockAndWritesFaxInfo) {
    context->working.fax.bFaxCoverPage = 1;
    context->working.fax.dwCoverParts = 2;
    CopyText(context->working.fax.szSenderName, L"Sender");
    CopyText(context->working.szHoldPin, L"1111");
    Open();
    Choose(3);
    Type(IDC_FAX_NAME, L"Bea");
    Type(IDC_FAX_NUMBER, L"5550100");
    Type(IDC_FAX_STATION, L"This station name is longer than its limit");
    EXPECT_EQ(Text(page, IDC_FAX_STATION).size(), 24u);
    ASSERT_TRUE(Leave());
    const FaxRecord& fax = context->working.fax;
    EXPECT_EQ(context->working.dwOutputTo, 3u);
    EXPECT_STREQ(fax.szRecipientName, L"Bea");
    EXPECT_STREQ(fax.szFaxNumber, L"5550100");
    EXPECT_STREQ(fax.szSenderName, L"Sender");
    EXPECT_EQ(fax.dwCoverParts, 2u);
    EXPECT_EQ(fax.wFaxResolution, 0);
    EXPECT_STREQ(context->working.szHoldPin, L"1111");
    std::vector<BYTE> stored = GetValue(L"FaxInfo");
    ASSERT_EQ(stored.size(), sizeof(FaxRecord));
    EXPECT_EQ(std::memcmp(stored.data(), &fax, sizeof(FaxRecord)), 0);
    ASSERT_TRUE(host->apply());
    EXPECT_STREQ(driverRecord.fax.szRecipientName, L"Bea");
}

TEST_F(OutputPage, FileEpsAndUnknownDestinationsBecomePrinter) {
    for (DWORD destination : {1u, 2u, 9u}) {
        SCOPED_TRACE(destination);
        context->working.dwOutputTo = destination;
        driverRecord.dwOutputTo = destination;
        Open();
        LRESULT selected = SendMessageW(Item(IDC_OUT_DESTINATION), CB_GETCURSEL, 0, 0);
        if (destination == 9) EXPECT_EQ(selected, 0);  // reset to Printer when the page is made
        else EXPECT_EQ(selected, CB_ERR);
        ASSERT_TRUE(host->apply());
        EXPECT_EQ(driverRecord.dwOutputTo, 0u);
        host.reset();
    }
}

TEST_F(OutputPage, HiddenKeepBoxStillCarriesTheFlag) {
    core.features = {"HasPrintandHold"};
    context->working.bKeepDuplicateJobs = 1;
    context->working.dwOutputTo = 5;
    Open();
    EXPECT_FALSE(Shown(IDC_OUT_KEEP));
    ASSERT_TRUE(Leave());
    EXPECT_EQ(context->working.bKeepDuplicateJobs, 1);
}

TEST_F(OutputPage, UserNameComesFromLastUserNameThenRecordThenLoggedOnUser) {
    PutValue(L"LastUserName", REG_SZ, L"stored", 14);
    CopyText(context->working.szHoldUserName, L"record");
    Open();
    EXPECT_EQ(Text(page, IDC_OUT_USER), L"stored");
    host.reset();

    RegDeleteKeyValueW(HKEY_CURRENT_USER, kModelPath.c_str(), L"LastUserName");
    Open();
    EXPECT_EQ(Text(page, IDC_OUT_USER), L"record");
    EXPECT_EQ(user.calls, 0);
    host.reset();

    context->working.szHoldUserName[0] = 0;
    user.name = L"abcdefghijklmnopqrstuvwxy";  // 25 characters: one more than the field takes
    Open();
    EXPECT_EQ(Text(page, IDC_OUT_USER), L"abcdefghijklmnopqrstuvwx");
    Choose(7);
    ASSERT_TRUE(Leave());
    std::vector<BYTE> stored = GetValue(L"LastUserName");
    EXPECT_EQ(stored.size(), 25 * sizeof(WCHAR));  // the cut name is writable
}

TEST_F(OutputPage, FaxInfoIsUsedUnlessBothItsNameAndNumberAreEmpty) {
    CopyText(context->working.fax.szRecipientName, L"from record");
    CopyText(context->working.fax.szFaxNumber, L"111");
    FaxRecord stored{};
    CopyText(stored.szFaxNumber, L"222");
    CopyText(stored.szFaxStation, L"stored station");
    stored.dwCoverParts = 4;
    PutValue(L"FaxInfo", REG_BINARY, &stored, sizeof stored);
    Open();
    EXPECT_EQ(Text(page, IDC_FAX_NUMBER), L"222");
    EXPECT_EQ(Text(page, IDC_FAX_STATION), L"stored station");
    EXPECT_EQ(context->coverBlock.dwCoverParts, 4u);
    host.reset();

    stored.szFaxNumber[0] = 0;
    PutValue(L"FaxInfo", REG_BINARY, &stored, sizeof stored);
    Open();
    EXPECT_EQ(Text(page, IDC_FAX_NUMBER), L"111");
    EXPECT_EQ(Text(page, IDC_FAX_NAME), L"from record");
}

TEST_F(OutputPage, BadFaxInfoValuesNeitherLeakNorOverrun) {
    CopyText(context->working.fax.szFaxNumber, L"0123456789");
    CopyText(context->working.fax.szSenderName, L"working sender");
    context->working.fax.dwCoverParts = 6;
    {  // 10 bytes: five characters over the start of the working copy's fax record
        const WCHAR start[5] = {L'5', L'5', L'5', L'1', L'2'};
        PutValue(L"FaxInfo", REG_BINARY, start, sizeof start);
        Open();
        EXPECT_EQ(Text(page, IDC_FAX_NUMBER), L"5551256789");
        EXPECT_STREQ(context->coverBlock.szSenderName, L"working sender");
        EXPECT_EQ(context->coverBlock.dwCoverParts, 6u);
        host.reset();
    }
    {  // the whole record without a terminator anywhere
        std::vector<BYTE> full(sizeof(FaxRecord), 0x41);
        PutValue(L"FaxInfo", REG_BINARY, full.data(), static_cast<DWORD>(full.size()));
        Open();
        EXPECT_EQ(Text(page, IDC_FAX_NUMBER).size(), 127u);
        EXPECT_EQ(Text(page, IDC_FAX_NAME).size(), 127u);
        host.reset();
    }
    {  // a string where a record belongs is not a fax record
        PutValue(L"FaxInfo", REG_SZ, L"5550199", 16);
        Open();
        EXPECT_EQ(Text(page, IDC_FAX_NUMBER), L"0123456789");
    }
}

TEST_F(OutputPage, CoverDialogOkNeedsAPartAndUncheckedPartsKeepTheirText) {
    context->working.fax.bFaxCoverPage = 1;
    context->working.fax.dwCoverParts = 4;
    CopyText(context->working.fax.szComments, L"keep these comments");
    CopyText(context->working.fax.szSenderName, L"old sender");
    Open();
    Choose(3);
    bool okWhenNone = true, okWithSender = false, nameEnabledBefore = true;
    nested.drive([&](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDC_COVER_COMMENTS), BM_CLICK, 0, 0);
        okWhenNone = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
        nameEnabledBefore = IsWindowEnabled(GetDlgItem(dialog, IDC_COVER_SENDER_NAME)) != FALSE;
        SendMessageW(GetDlgItem(dialog, IDC_COVER_SENDER), BM_CLICK, 0, 0);
        okWithSender = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
        SetDlgItemTextW(dialog, IDC_COVER_SENDER_NAME, L"new sender");
        SetDlgItemTextW(dialog, IDC_COVER_COMMENT_TEXT, L"typed while unchecked");
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    Click(IDC_FAX_SETUP_COVER);
    ASSERT_EQ(nested.calls.size(), 1u);
    EXPECT_EQ(nested.calls[0].templateId, static_cast<UINT>(IDD_FAX_COVER));
    EXPECT_EQ(nested.calls[0].result, IDOK);
    EXPECT_FALSE(okWhenNone);
    EXPECT_FALSE(nameEnabledBefore);
    EXPECT_TRUE(okWithSender);
    EXPECT_EQ(context->coverBlock.dwCoverParts, 2u);
    EXPECT_STREQ(context->coverBlock.szSenderName, L"new sender");
    EXPECT_STREQ(context->coverBlock.szComments, L"keep these comments");

    nested.drive([](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_COVER_SENDER_NAME, L"cancelled");
        SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    Click(IDC_FAX_SETUP_COVER);
    ASSERT_EQ(nested.calls.size(), 2u);
    EXPECT_EQ(nested.calls[1].result, IDCANCEL);
    EXPECT_STREQ(context->coverBlock.szSenderName, L"new sender");
}

TEST_F(OutputPage, NoPermissionDisablesEveryControlAtCreationAndActivation) {
    context->noPermission = 1;
    context->working.dwOutputTo = 4;
    Open();
    auto anyEnabled = [&] {
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (IsWindowEnabled(child)) return true;
        return false;
    };
    EXPECT_FALSE(anyEnabled());
    Type(IDC_OUT_USER, L"ann");
    Type(IDC_OUT_PIN, L"1234");
    ASSERT_TRUE(Leave());
    ASSERT_TRUE(host->select(0));
    EXPECT_FALSE(anyEnabled());
}

TEST_F(OutputPage, ActivationClearsTheContextHelpButtonAndRefillsWithoutAddingItems) {
    Open();
    ASSERT_TRUE(Leave());
    SetWindowLongPtrW(host->sheet(), GWL_EXSTYLE,
                      GetWindowLongPtrW(host->sheet(), GWL_EXSTYLE) | WS_EX_CONTEXTHELP);
    context->working.dwOutputTo = 5;
    ASSERT_TRUE(host->select(0));
    EXPECT_EQ(GetWindowLongPtrW(host->sheet(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP, 0);
    EXPECT_EQ(Offered().size(), 6u);
    EXPECT_EQ(SendMessageW(Item(IDC_FAX_RESOLUTION), CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(Item(IDC_OUT_DESTINATION), CB_GETCURSEL, 0, 0), 3);
    EXPECT_TRUE(Enabled(IDC_OUT_USER));
}

}  // namespace
}  // namespace corv::ui
