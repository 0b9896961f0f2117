// The Watermark page: the order table and the leave rule with numbers, then the real page in a
// real modeless property sheet over a scratch registry store, with the Create/Edit dialog and the
// pickers driven inside their modal loops and message boxes answered by the page kit.
#include "plug-in/inboxui/pages/wmpage.h"

#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/resources/ids.h"
#include "plug-in/inboxui/watermarks/store.h"
#include "tests/inboxui/watermarks/store_fixture.h"
#include "tests/support/pagekit/modal.h"
#include "tests/support/pagekit/patches.h"
#include "tests/support/pagekit/sheethost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace corv::ui {
namespace {

// ---- The rules --------------------------------------------------------------------------------

TEST(WatermarkOrderView, EachOrderHasItsLabelsAndItsLists) {
    struct Case {
        DWORD order;
        UINT first, second;
        bool selectionOn, secondOn;
    } cases[] = {
        {0, IDS_LABEL_FIRST_PAGE, IDS_LABEL_OTHER_PAGES, false, false},
        {1, IDS_LABEL_ALL_PAGES, IDS_LABEL_OTHER_PAGES, true, false},
        {2, IDS_LABEL_ODD_PAGES, IDS_LABEL_EVEN_PAGES, true, true},
        {3, IDS_LABEL_FIRST_PAGE, IDS_LABEL_OTHER_PAGES, true, true},
        {4, IDS_LABEL_FIRST_PAGE, IDS_LABEL_OTHER_PAGES, false, false},
        {0xFFFFFFFF, IDS_LABEL_FIRST_PAGE, IDS_LABEL_OTHER_PAGES, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        const OrderView view = ViewForOrder(c.order);
        EXPECT_EQ(view.firstLabel, c.first);
        EXPECT_EQ(view.secondLabel, c.second);
        EXPECT_EQ(view.selectionOn, c.selectionOn);
        EXPECT_EQ(view.secondOn, c.secondOn);
    }
}

TEST(WatermarkLeaveRule, EveryShownListNeedsAChoiceAndOneOfThemAWatermark) {
    constexpr int first = IDC_WM_FIRST_LIST, second = IDC_WM_OTHER_LIST;
    struct Case {
        DWORD order;
        LRESULT firstIndex, secondIndex;
        int missing;
    } cases[] = {
        {0, -1, -1, 0},     {0, 0, 0, 0},          // No Watermarks is never refused
        {1, -1, 2, first},  {1, 0, 2, first},      // All Pages: the first list alone counts
        {1, 3, -1, 0},      {1, 3, 0, 0},
        {2, -1, 1, first},  {2, 1, -1, second},  {2, 0, 0, second},  // the last case: focus on the second
        {2, 0, 1, 0},       {2, 1, 0, 0},          {3, 2, 2, 0},
        {3, -1, -1, first}, {3, 0, -1, second},  {7, -1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.order << " " << c.firstIndex << " " << c.secondIndex);
        EXPECT_EQ(ListMissingWatermark(c.order, c.firstIndex, c.secondIndex), c.missing);
    }
}

// ---- The page in a sheet ----------------------------------------------------------------------

class WatermarkPage : public corvtest::StoreTest {
protected:
    corvtest::MessageBoxes boxes;
    corvtest::NestedDialogs nested;
    corvtest::PrinterFonts fonts{{{L"Courier"}, {L"Helvetica"}}};
    OEMUIPSPARAM params{};
    JobSettings driverRecord{};
    std::unique_ptr<SheetContext> context = std::make_unique<SheetContext>();
    std::unique_ptr<corvtest::SheetHost> host;
    HWND page = nullptr;

    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_TRUE(boxes.active() && nested.active() && fonts.active());
        for (const wchar_t* name : {L"Draft", L"Confidential", L"Secret"}) Store(name);
        ASSERT_TRUE(DefaultRecord(&driverRecord));
        params.cbSize = sizeof params;
        params.hPrinter = printer_;
        params.pPrinterName = const_cast<PWSTR>(L"Office");
        params.pOEMDM = &driverRecord;
        context->pageParams = &params;
    }
    void TearDown() override { host.reset(); }

    void Store(const wchar_t* name) {
        WatermarkRecord wm;
        InitWatermarkRecord(&wm);
        CopyText(wm.szName, name);
        CopyText(wm.szText, (std::wstring(name) + L" text").c_str());
        ASSERT_TRUE(SaveWatermark(printer_, &wm));
    }
    // The job record the sheet opens on.
    void Use(DWORD order, const wchar_t* first, const wchar_t* other, BOOL over = 0) {
        driverRecord.bWatermarks = order ? 1 : 0;
        driverRecord.dwWatermarkOrder = order;
        driverRecord.bWatermarkOverPage = over;
        CopyText(driverRecord.wmFirst.szName, first);
        CopyText(driverRecord.wmOther.szName, other);
    }
    // As the plug-in object prepares the context, then the sheet with the page and one to leave to.
    void Open() {
        context->working = driverRecord;
        context->shownOrder = driverRecord.dwWatermarkOrder;
        const PageRow& row = corvtest::DocumentRow(IDD_WATERMARK);
        ASSERT_NE(row.procedure, nullptr);
        host.reset();
        host = std::make_unique<corvtest::SheetHost>();
        host->Add(row, context.get());
        page = host->ShowWithBlankPage();
        ASSERT_TRUE(page);
    }

    HWND Item(int id) const { return GetDlgItem(page, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
    std::wstring Text(int id) const {
        WCHAR text[256] = {};
        GetDlgItemTextW(page, id, text, 256);
        return text;
    }
    // The selected entry's text; "-" for no selection.
    std::wstring Selected(int id) const {
        const LRESULT index = SendMessageW(Item(id), LB_GETCURSEL, 0, 0);
        if (index < 0) return L"-";
        WCHAR text[256] = {};
        SendMessageW(Item(id), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::vector<std::wstring> Entries(int id) const {
        std::vector<std::wstring> entries;
        const LRESULT count = SendMessageW(Item(id), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            WCHAR text[256] = {};
            SendMessageW(Item(id), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.emplace_back(text);
        }
        return entries;
    }
    // "(None)" and then the store in its own order: what both lists must hold.
    std::vector<std::wstring> Expected() const {
        std::vector<std::wstring> entries{L"(None)"};
        for (const auto& name : Names(HKEY_CURRENT_USER, corvtest::kWatermarksPath)) entries.push_back(name);
        return entries;
    }
    void Click(int id) {
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        corvtest::SheetHost::Pump();
    }
    void Choose(int id, const wchar_t* name) {
        const LRESULT index = SendMessageW(Item(id), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(name));
        ASSERT_NE(index, LB_ERR) << name;
        SendMessageW(Item(id), LB_SETCURSEL, index, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(id)));
    }
    bool Leave() { return host->select(1); }
    void ExpectRefusedWithFocusOn(int list) {
        const size_t before = boxes.shown.size();
        corvtest::FocusWatch focus;
        EXPECT_FALSE(Leave());
        EXPECT_EQ(host->currentIndex(), 0);
        ASSERT_EQ(boxes.shown.size(), before + 1);
        EXPECT_EQ(boxes.shown.back().text, L"Please select at least one watermark.");
        EXPECT_EQ(boxes.shown.back().icon(), static_cast<UINT>(MB_ICONERROR));
        EXPECT_FALSE(boxes.shown.back().hasCaption);
        EXPECT_EQ(boxes.shown.back().owner, page);
        EXPECT_EQ(focus.last(), Item(list));
    }
};

// The order buttons, labels and enabled lists as the page opens on each order, and as the
// buttons are clicked.
TEST_F(WatermarkPage, EachOrderShowsItsButtonLabelsListsAndPlacement) {
    struct Case {
        DWORD order;
        int button;
        const wchar_t *firstLabel, *secondLabel, *firstSelected, *secondSelected;
        bool listsOn, secondOn;
    } cases[] = {
        {0, IDC_WM_ORDER_NONE, L"First &Page", L"Other Page&s", L"(None)", L"(None)", false, false},
        {1, IDC_WM_ORDER_ALL, L"All &Pages", L"Other Page&s", L"Draft", L"(None)", true, false},
        {2, IDC_WM_ORDER_ODD, L"Odd &Pages", L"Even Page&s", L"Draft", L"Secret", true, true},
        {3, IDC_WM_ORDER_FIRST, L"First &Page", L"Other Page&s", L"Draft", L"Secret", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        Use(c.order, L"Draft", L"Secret", 1);
        Open();
        for (int id : {IDC_WM_ORDER_NONE, IDC_WM_ORDER_ALL, IDC_WM_ORDER_ODD, IDC_WM_ORDER_FIRST})
            EXPECT_EQ(Checked(id), id == c.button) << id;
        EXPECT_EQ(Text(IDC_WM_FIRST_LABEL), c.firstLabel);
        EXPECT_EQ(Text(IDC_WM_OTHER_LABEL), c.secondLabel);
        EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), c.firstSelected);
        EXPECT_EQ(Selected(IDC_WM_OTHER_LIST), c.secondSelected);
        for (int id : {IDC_WM_SELECTION_GROUP, IDC_WM_FIRST_LABEL, IDC_WM_FIRST_LIST, IDC_WM_PLACEMENT_GROUP,
                       IDC_WM_UNDER, IDC_WM_OVER})
            EXPECT_EQ(Enabled(id), c.listsOn) << id;
        EXPECT_EQ(Enabled(IDC_WM_OTHER_LABEL), c.secondOn);
        EXPECT_EQ(Enabled(IDC_WM_OTHER_LIST), c.secondOn);
        for (int id : {IDC_WM_ORDER_GROUP, IDC_WM_ORDER_NONE, IDC_WM_ORDER_ALL, IDC_WM_ORDER_ODD, IDC_WM_ORDER_FIRST,
                       IDC_WM_ADD, IDC_WM_EDIT, IDC_WM_REMOVE_BUTTON})
            EXPECT_TRUE(Enabled(id)) << id;
        EXPECT_TRUE(Checked(IDC_WM_OVER));
        EXPECT_FALSE(Checked(IDC_WM_UNDER));
        EXPECT_EQ(context->shownOrder, c.order);
    }

    // The buttons: each relabels, switches the lists and marks the sheet changed.
    corvtest::SheetChanges changes(host->sheet());
    int expectedChanges = 0;
    for (const Case& c : {cases[2], cases[1], cases[0], cases[3]}) {
        SCOPED_TRACE(c.order);
        Click(c.button);
        ++expectedChanges;
        EXPECT_EQ(Text(IDC_WM_FIRST_LABEL), c.firstLabel);
        EXPECT_EQ(Text(IDC_WM_OTHER_LABEL), c.secondLabel);
        EXPECT_EQ(Enabled(IDC_WM_FIRST_LIST), c.listsOn);
        EXPECT_EQ(Enabled(IDC_WM_OVER), c.listsOn);
        EXPECT_EQ(Enabled(IDC_WM_OTHER_LIST), c.secondOn);
        EXPECT_EQ(context->shownOrder, c.order);
        EXPECT_EQ(changes.count(), expectedChanges);
    }
    // A list selection and the placement buttons mark it changed too.
    Choose(IDC_WM_OTHER_LIST, L"Confidential");
    Click(IDC_WM_UNDER);
    EXPECT_EQ(changes.count(), expectedChanges + 2);
}

TEST_F(WatermarkPage, BothListsHoldNoneThenTheStoreAndNoneIsKnownByItsPlaceOnly) {
    Store(L"(none)");  // a name the Create dialog accepts
    Use(1, L"(none)", L"");
    Open();
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST), Expected());
    EXPECT_EQ(Entries(IDC_WM_OTHER_LIST), Expected());
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST).size(), 5u);
    EXPECT_GT(SendMessageW(Item(IDC_WM_FIRST_LIST), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"(none)");
    ASSERT_TRUE(Leave());
    EXPECT_EQ(context->working.bWatermarks, 1);
    EXPECT_EQ(context->working.dwWatermarkOrder, 1u);
    EXPECT_STREQ(context->working.wmFirst.szName, L"(none)");
    EXPECT_STREQ(context->working.wmFirst.szText, L"(none) text");
}

// Kept on purpose: a job whose watermark has gone opens with No Watermarks, and leaving then
// stores no watermarks. The second name counts only for the orders that use it.
TEST_F(WatermarkPage, AStoredNameThatIsGoneSwitchesToNoWatermarks) {
    Use(3, L"Draft", L"Gone");
    Open();
    EXPECT_TRUE(Checked(IDC_WM_ORDER_NONE));
    EXPECT_FALSE(Checked(IDC_WM_ORDER_FIRST));
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"(None)");
    EXPECT_FALSE(Enabled(IDC_WM_FIRST_LIST));
    EXPECT_EQ(context->shownOrder, 0u);
    ASSERT_TRUE(Leave());
    EXPECT_EQ(context->working.bWatermarks, 0);
    EXPECT_EQ(context->working.dwWatermarkOrder, 0u);
    EXPECT_STREQ(context->working.wmFirst.szName, L"");

    Use(1, L"Draft", L"Gone");
    Open();
    EXPECT_TRUE(Checked(IDC_WM_ORDER_ALL));
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"Draft");

    Use(2, L"gone too", L"Secret");
    Open();
    EXPECT_TRUE(Checked(IDC_WM_ORDER_NONE));
}

TEST_F(WatermarkPage, LeavingNeedsAWatermarkInAShownList) {
    Use(1, L"", L"");
    Open();
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"(None)");
    ExpectRefusedWithFocusOn(IDC_WM_FIRST_LIST);

    Click(IDC_WM_ORDER_FIRST);  // "(None)" in both lists
    ExpectRefusedWithFocusOn(IDC_WM_OTHER_LIST);
    SendMessageW(Item(IDC_WM_OTHER_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ExpectRefusedWithFocusOn(IDC_WM_OTHER_LIST);

    // "(None)" on one side and a watermark on the other is a job with one watermark.
    Choose(IDC_WM_OTHER_LIST, L"Secret");
    Click(IDC_WM_OVER);
    ASSERT_TRUE(Leave());
    const JobSettings& working = context->working;
    EXPECT_EQ(working.bWatermarks, 1);
    EXPECT_EQ(working.dwWatermarkOrder, 3u);
    EXPECT_STREQ(working.wmFirst.szName, L"");
    EXPECT_STREQ(working.wmOther.szName, L"Secret");
    EXPECT_STREQ(working.wmOther.szText, L"Secret text");
    EXPECT_EQ(working.bWatermarkOverPage, 1);

    // Back on the page it shows the working copy; No Watermarks is never refused.
    ASSERT_TRUE(host->select(0));
    EXPECT_TRUE(Checked(IDC_WM_ORDER_FIRST));
    EXPECT_EQ(Selected(IDC_WM_OTHER_LIST), L"Secret");
    Click(IDC_WM_ORDER_NONE);
    const size_t boxesBefore = boxes.shown.size();
    ASSERT_TRUE(Leave());
    EXPECT_EQ(boxes.shown.size(), boxesBefore);
    EXPECT_EQ(context->working.bWatermarks, 0);
    EXPECT_EQ(context->working.bWatermarkOverPage, 1);  // kept as it was
}

// The sheet's result comes from the pages that report it applied (colour, Profiles); this one
// only writes the record.
TEST_F(WatermarkPage, ApplyWritesTheDriversRecordByValueAndLeavesTheAppliedFlag) {
    Use(1, L"Draft", L"", 1);
    Open();
    Click(IDC_WM_UNDER);
    Click(IDC_WM_ORDER_NONE);
    EXPECT_TRUE(host->apply());
    EXPECT_EQ(driverRecord.bWatermarks, 0);
    EXPECT_EQ(driverRecord.bWatermarkOverPage, 1);  // No Watermarks writes no placement
    EXPECT_EQ(context->applied, 0u);

    // Apply makes the page active again, from the working copy: its placement came back.
    EXPECT_TRUE(Checked(IDC_WM_OVER));
    Click(IDC_WM_ORDER_ODD);
    Click(IDC_WM_UNDER);
    Choose(IDC_WM_FIRST_LIST, L"Confidential");
    Choose(IDC_WM_OTHER_LIST, L"Draft");
    EXPECT_TRUE(host->apply());
    EXPECT_EQ(driverRecord.bWatermarks, 1);
    EXPECT_EQ(driverRecord.dwWatermarkOrder, 2u);
    EXPECT_EQ(driverRecord.bWatermarkOverPage, 0);
    EXPECT_STREQ(driverRecord.wmFirst.szText, L"Confidential text");
    EXPECT_STREQ(driverRecord.wmOther.szText, L"Draft text");

    // A watermark removed behind the page's back switches watermarks off in what is written.
    ASSERT_TRUE(DeleteWatermark(printer_, L"Draft"));
    EXPECT_TRUE(host->apply());
    EXPECT_EQ(driverRecord.bWatermarks, 0);
    EXPECT_EQ(driverRecord.dwWatermarkOrder, 0u);
}

TEST_F(WatermarkPage, AddAppendsToBothListsWithoutMovingTheSelectionsOrMarkingChanged) {
    for (const auto& name : Names(HKEY_CURRENT_USER, corvtest::kWatermarksPath)) DeleteWatermark(printer_, name.c_str());
    Use(0, L"", L"");
    Open();
    EXPECT_FALSE(Enabled(IDC_WM_EDIT));
    EXPECT_FALSE(Enabled(IDC_WM_REMOVE_BUTTON));
    corvtest::SheetChanges changes(host->sheet());

    nested.drive([](HWND dialog) { corvtest::Click(dialog, IDCANCEL); });
    Click(IDC_WM_ADD);
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST), std::vector<std::wstring>{L"(None)"});
    EXPECT_FALSE(Enabled(IDC_WM_EDIT));

    const std::wstring longName(100, L'W');
    nested.drive([&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_WME_NAME, longName.c_str());
        SetDlgItemTextW(dialog, IDC_WME_TEXT, L"URGENT");
        corvtest::Click(dialog, IDOK);
    });
    Click(IDC_WM_ADD);
    ASSERT_EQ(nested.calls.size(), 2u);
    EXPECT_EQ(nested.calls[1].templateId, static_cast<UINT>(IDD_WM_EDIT));
    EXPECT_EQ(nested.calls[1].result, IDOK);
    EXPECT_EQ(context->addMode, 1u);
    const std::vector<std::wstring> lists{L"(None)", longName};
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST), lists);
    EXPECT_EQ(Entries(IDC_WM_OTHER_LIST), lists);
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"(None)");
    EXPECT_EQ(Selected(IDC_WM_OTHER_LIST), L"(None)");
    EXPECT_TRUE(Enabled(IDC_WM_EDIT));
    EXPECT_TRUE(Enabled(IDC_WM_REMOVE_BUTTON));
    // Both lists can scroll sideways over the new name.
    const LRESULT extent = SendMessageW(Item(IDC_WM_FIRST_LIST), LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_GE(extent, 100);
    EXPECT_EQ(SendMessageW(Item(IDC_WM_OTHER_LIST), LB_GETHORIZONTALEXTENT, 0, 0), extent);
    EXPECT_EQ(changes.count(), 0);
}

// The picker, then the Create/Edit dialog in Edit mode, each driven as a user would.
TEST_F(WatermarkPage, RenamingTheSelectedWatermarkKeepsItSelectedUnderItsNewName) {
    Use(3, L"Draft", L"Secret");
    Open();
    corvtest::SheetChanges changes(host->sheet());
    auto pick = [](const wchar_t* name) {
        return [name](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_WM_PICK_LIST);
            SendMessageW(list, LB_SETCURSEL,
                         SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)),
                         0);
            corvtest::Click(dialog, IDOK);
        };
    };
    auto rename = [](const wchar_t* name) {
        return [name](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_WME_NAME, name);
            corvtest::Click(dialog, IDOK);
        };
    };
    nested.drive(pick(L"Draft"));
    nested.drive(rename(L"Entwurf"));
    Click(IDC_WM_EDIT);
    ASSERT_EQ(nested.calls.size(), 2u);
    EXPECT_EQ(nested.calls[0].templateId, static_cast<UINT>(IDD_WM_PICK));
    EXPECT_EQ(nested.calls[1].result, IDOK);
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"Entwurf");
    EXPECT_EQ(Selected(IDC_WM_OTHER_LIST), L"Secret");
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST), Expected());
    EXPECT_EQ(changes.count(), 1);  // the job's watermark was edited

    // Editing one that no list selects, without a new name: nothing is marked or moved.
    nested.drive(pick(L"Confidential"));
    nested.drive([](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_WME_TEXT, L"TOP");
        corvtest::Click(dialog, IDOK);
    });
    Click(IDC_WM_EDIT);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"Entwurf");
    ASSERT_TRUE(Leave());
    EXPECT_STREQ(context->working.wmFirst.szName, L"Entwurf");
    EXPECT_STREQ(context->working.wmFirst.szText, L"Draft text");

    // The second list's watermark renamed under First Page/Other Pages.
    nested.drive(pick(L"Secret"));
    nested.drive(rename(L"Geheim"));
    ASSERT_TRUE(host->select(0));
    Click(IDC_WM_EDIT);
    EXPECT_EQ(Selected(IDC_WM_OTHER_LIST), L"Geheim");
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"Entwurf");
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(WatermarkPage, RemovingTheSelectedWatermarkSelectsNoneAndMarksChanged) {
    Use(3, L"Draft", L"Secret");
    Open();
    corvtest::SheetChanges changes(host->sheet());
    auto removeNamed = [](std::vector<const wchar_t*> names) {
        return [names](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_WM_REMOVE_LIST);
            for (const wchar_t* name : names)
                SendMessageW(list, LB_SETSEL, TRUE,
                             SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)));
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WM_REMOVE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
            corvtest::Click(dialog, IDC_WM_REMOVE);
            corvtest::Click(dialog, IDCANCEL);
        };
    };
    // Answered No: nothing goes, nothing changes.
    boxes.answers.push_back(IDNO);
    nested.drive(removeNamed({L"Draft"}));
    Click(IDC_WM_REMOVE_BUTTON);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Are you sure you want to permanently remove the selected watermark(s)?");
    EXPECT_EQ(boxes.shown[0].caption, L"Warning");
    EXPECT_EQ(boxes.shown[0].icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(boxes.shown[0].buttons(), static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"Draft");
    EXPECT_EQ(changes.count(), 0);

    boxes.answers.push_back(IDYES);
    nested.drive(removeNamed({L"Draft"}));
    Click(IDC_WM_REMOVE_BUTTON);
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"(None)");
    EXPECT_EQ(Selected(IDC_WM_OTHER_LIST), L"Secret");
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST), Expected());
    EXPECT_EQ(Entries(IDC_WM_OTHER_LIST), Expected());
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST).size(), 3u);
    EXPECT_EQ(changes.count(), 1);

    // Removing one no list selects keeps both selections and the sheet as it was.
    boxes.answers.push_back(IDYES);
    nested.drive(removeNamed({L"Confidential"}));
    Click(IDC_WM_REMOVE_BUTTON);
    EXPECT_EQ(Selected(IDC_WM_OTHER_LIST), L"Secret");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(Enabled(IDC_WM_EDIT));

    // The last one: Edit and Remove go off and the focus goes to Add.
    boxes.answers.push_back(IDYES);
    nested.drive(removeNamed({L"Secret"}));
    corvtest::FocusWatch focus;
    Click(IDC_WM_REMOVE_BUTTON);
    EXPECT_EQ(Selected(IDC_WM_OTHER_LIST), L"(None)");
    EXPECT_EQ(changes.count(), 2);
    EXPECT_FALSE(Enabled(IDC_WM_EDIT));
    EXPECT_FALSE(Enabled(IDC_WM_REMOVE_BUTTON));
    EXPECT_EQ(focus.last(), Item(IDC_WM_ADD));
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST), std::vector<std::wstring>{L"(None)"});
}

// A watermark picked for editing that another program removed meanwhile opens no dialog; the
// lists drop it as after a removal.
TEST_F(WatermarkPage, AWatermarkGoneBeforeItsEditOpensNothingAndLeavesTheLists) {
    Use(1, L"Draft", L"");
    Open();
    nested.drive([&](HWND dialog) {
        DeleteWatermark(printer_, L"Draft");
        HWND list = GetDlgItem(dialog, IDC_WM_PICK_LIST);
        SendMessageW(list, LB_SETCURSEL,
                     SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Draft")), 0);
        corvtest::Click(dialog, IDOK);
    });
    Click(IDC_WM_EDIT);
    ASSERT_EQ(nested.calls.size(), 1u);
    EXPECT_EQ(Selected(IDC_WM_FIRST_LIST), L"(None)");
    EXPECT_EQ(Entries(IDC_WM_FIRST_LIST), Expected());
    EXPECT_EQ(Names(HKEY_CURRENT_USER, corvtest::kWatermarksPath).size(), 2u);
}

TEST_F(WatermarkPage, NoPermissionDisablesEveryControlAtCreationAndActivation) {
    context->noPermission = 1;
    Use(3, L"Draft", L"Secret");
    Open();
    auto allOff = [&] {
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            EXPECT_FALSE(IsWindowEnabled(child)) << GetDlgCtrlID(child);
    };
    allOff();
    ASSERT_TRUE(Leave());
    SetWindowLongPtrW(host->sheet(), GWL_EXSTYLE, GetWindowLongPtrW(host->sheet(), GWL_EXSTYLE) | WS_EX_CONTEXTHELP);
    corvtest::FrameRepaints repaints(host->sheet());
    ASSERT_TRUE(host->select(0));
    allOff();
    EXPECT_FALSE(GetWindowLongPtrW(host->sheet(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
    EXPECT_EQ(repaints.count(), 1);
}

}  // namespace
}  // namespace corv::ui
