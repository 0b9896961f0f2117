// The Watermark page's pickers, driven inside their modal loops over a scratch registry store.
#include "plug-in/inboxui/pages/wmpickers.h"

#include "common/record.h"
#include "common/text.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/watermarks/store.h"
#include "ids.h"

#include "tests/inboxui/watermarks/store_fixture.h"
#include "tests/support/pagekit/modal.h"
#include "tests/support/pagekit/patches.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> ListItems(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR item[256] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 256) SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

LPARAM PointOf(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// A double-click as the list receives it: the first click selects, the second is the double-click.
void DoubleClick(HWND list, int x, int y) {
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, PointOf(x, y));
    SendMessageW(list, WM_LBUTTONUP, 0, PointOf(x, y));
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, PointOf(x, y));
    SendMessageW(list, WM_LBUTTONUP, 0, PointOf(x, y));
}

class WatermarkPickers : public corvtest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        params_.cbSize = sizeof(params_);
        params_.hPrinter = printer_;
        params_.pOEMDM = &context_->working;
        context_->pageParams = &params_;
        for (const wchar_t* name : {L"Draft", L"Confidential", L"Urgent"}) Store(name);
    }

    void Store(const wchar_t* name) {
        corv::WatermarkRecord record;
        corv::InitWatermarkRecord(&record);
        corv::CopyText(record.szName, name);
        ASSERT_TRUE(corv::ui::SaveWatermark(printer_, &record));
    }
    std::vector<std::wstring> Stored() const { return Names(HKEY_CURRENT_USER, corvtest::kWatermarksPath); }

    // Opens one picker as the page does; script drives it inside its modal loop.
    INT_PTR Run(INT_PTR (*open)(HWND, corv::ui::SheetContext*), std::function<void(HWND)> script) {
        corvtest::ModalDriver driver(std::move(script));
        const INT_PTR result = open(nullptr, context_.get());
        EXPECT_TRUE(driver.ran());
        return result;
    }

    OEMUIPSPARAM params_{};
    std::unique_ptr<corv::ui::SheetContext> context_ = std::make_unique<corv::ui::SheetContext>();
};

TEST_F(WatermarkPickers, EditPickerListsTheStoreAndOkPicksTheSelection) {
    context_->addMode = 1;
    context_->dialogRecord.wIntensity = 7;
    std::vector<std::wstring> listed;
    const INT_PTR result = Run(corv::ui::PickWatermarkToEdit, [&](HWND dialog) {
        listed = ListItems(GetDlgItem(dialog, IDC_WM_PICK_LIST));
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_WM_PICK_LIST, LB_GETCURSEL, 0, 0), 0);
        corvtest::SelectListItem(dialog, IDC_WM_PICK_LIST, 2);
        corvtest::Click(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(listed, Stored());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(std::wstring(context_->pickedName), listed[2]);
    EXPECT_EQ(context_->addMode, 0u);
    corv::WatermarkRecord fresh;
    corv::InitWatermarkRecord(&fresh);
    EXPECT_EQ(context_->dialogRecord.wIntensity, fresh.wIntensity);
}

TEST_F(WatermarkPickers, EditPickerWithNothingSelectedIsACancelThatForgetsTheEarlierPick) {
    corv::CopyText(context_->pickedName, L"Earlier");
    EXPECT_EQ(Run(corv::ui::PickWatermarkToEdit,
                  [](HWND dialog) {
                      SendDlgItemMessageW(dialog, IDC_WM_PICK_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                      corvtest::Click(dialog, IDOK);
                  }),
              IDCANCEL);
    EXPECT_STREQ(context_->pickedName, L"");

    corv::CopyText(context_->pickedName, L"Earlier");
    EXPECT_EQ(Run(corv::ui::PickWatermarkToEdit, [](HWND dialog) { corvtest::Click(dialog, IDCANCEL); }), IDCANCEL);
    EXPECT_STREQ(context_->pickedName, L"Earlier");  // Cancel leaves the context alone
}

TEST_F(WatermarkPickers, DoubleClickOnAnEntryOrBelowTheLastOnePicksAtOnce) {
    std::wstring second;
    EXPECT_EQ(Run(corv::ui::PickWatermarkToEdit,
                  [&](HWND dialog) {
                      HWND list = GetDlgItem(dialog, IDC_WM_PICK_LIST);
                      second = ListItems(list).at(1);
                      RECT entry{};
                      SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&entry));
                      DoubleClick(list, entry.left + 4, (entry.top + entry.bottom) / 2);
                  }),
              IDOK);
    EXPECT_EQ(std::wstring(context_->pickedName), second);

    // Below the last entry the selection stays as it is (entry 0 after the start).
    std::wstring first;
    EXPECT_EQ(Run(corv::ui::PickWatermarkToEdit,
                  [&](HWND dialog) {
                      HWND list = GetDlgItem(dialog, IDC_WM_PICK_LIST);
                      first = ListItems(list).at(0);
                      RECT client{}, last{};
                      GetClientRect(list, &client);
                      SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
                      ASSERT_GT(client.bottom - 2, last.bottom);
                      SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, PointOf(4, client.bottom - 2));
                  }),
              IDOK);
    EXPECT_EQ(std::wstring(context_->pickedName), first);
}

TEST_F(WatermarkPickers, DoubleClickOutsideTheListsClientAreaDoesNothing) {
    corv::CopyText(context_->pickedName, L"Earlier");
    EXPECT_EQ(Run(corv::ui::PickWatermarkToEdit,
                  [&](HWND dialog) {
                      HWND list = GetDlgItem(dialog, IDC_WM_PICK_LIST);
                      RECT client{};
                      GetClientRect(list, &client);
                      SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, PointOf(4, client.bottom + 6));
                      SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, PointOf(client.right + 3, 4));
                      corvtest::Click(dialog, IDCANCEL);
                  }),
              IDCANCEL);
    EXPECT_STREQ(context_->pickedName, L"Earlier");  // OK would have set or cleared it
}

class RemoveDialog : public WatermarkPickers {
protected:
    void SetUp() override {
        WatermarkPickers::SetUp();
        ASSERT_TRUE(boxes_.active());
    }
    static bool RemoveEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDC_WM_REMOVE)) != FALSE; }
    static void Toggle(HWND dialog, int index) {
        HWND list = GetDlgItem(dialog, IDC_WM_REMOVE_LIST);
        const LRESULT selected = SendMessageW(list, LB_GETSEL, index, 0);
        SendMessageW(list, LB_SETSEL, selected ? FALSE : TRUE, index);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WM_REMOVE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    static LRESULT SelectedCount(HWND dialog) { return SendDlgItemMessageW(dialog, IDC_WM_REMOVE_LIST, LB_GETSELCOUNT, 0, 0); }

    corvtest::MessageBoxes boxes_;
};

TEST_F(RemoveDialog, RemoveIsEnabledExactlyWhileSomethingIsSelected) {
    std::vector<bool> states;
    EXPECT_EQ(Run(corv::ui::RemoveWatermarks,
                  [&](HWND dialog) {
                      EXPECT_EQ(ListItems(GetDlgItem(dialog, IDC_WM_REMOVE_LIST)), Stored());
                      states.push_back(RemoveEnabled(dialog));
                      Toggle(dialog, 1);
                      states.push_back(RemoveEnabled(dialog));
                      Toggle(dialog, 2);
                      Toggle(dialog, 1);
                      states.push_back(RemoveEnabled(dialog));
                      Toggle(dialog, 2);
                      states.push_back(RemoveEnabled(dialog));
                      corvtest::Click(dialog, IDCANCEL);
                  }),
              IDCANCEL);
    EXPECT_EQ(states, (std::vector<bool>{false, true, true, false}));
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(RemoveDialog, AnsweringNoRemovesNothingAndKeepsTheSelection) {
    boxes_.answers.push_back(IDNO);
    LRESULT selectedAfter = -1;
    Run(corv::ui::RemoveWatermarks, [&](HWND dialog) {
        for (int i = 0; i < 3; ++i) Toggle(dialog, i);
        corvtest::Click(dialog, IDC_WM_REMOVE);
        selectedAfter = SelectedCount(dialog);
        corvtest::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(selectedAfter, 3);
    EXPECT_EQ(Stored().size(), 3u);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, L"Are you sure you want to permanently remove the selected watermark(s)?");
    EXPECT_EQ(boxes_.shown[0].caption, L"Warning");
    EXPECT_EQ(boxes_.shown[0].icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(boxes_.shown[0].buttons(), static_cast<UINT>(MB_YESNO));
    EXPECT_NE(boxes_.shown[0].owner, nullptr);
}

TEST_F(RemoveDialog, AnsweringYesRemovesTheSelectedOnesAndEmptiesTheSelection) {
    Store(L"Keep me");
    boxes_.answers.push_back(IDYES);
    std::vector<std::wstring> before, after;
    bool enabledAfter = true;
    HWND focusAfter = nullptr, close = nullptr;
    EXPECT_EQ(Run(corv::ui::RemoveWatermarks,
                  [&](HWND dialog) {
                      HWND list = GetDlgItem(dialog, IDC_WM_REMOVE_LIST);
                      before = ListItems(list);
                      for (size_t i = 0; i < before.size(); ++i)
                          if (before[i] != L"Keep me") Toggle(dialog, static_cast<int>(i));
                      corvtest::FocusWatch focus;
                      corvtest::Click(dialog, IDC_WM_REMOVE);
                      after = ListItems(list);
                      enabledAfter = RemoveEnabled(dialog);
                      focusAfter = focus.last();
                      close = GetDlgItem(dialog, IDCANCEL);
                      corvtest::Click(dialog, IDCANCEL);
                  }),
              IDCANCEL);
    EXPECT_EQ(before.size(), 4u);
    EXPECT_EQ(after, std::vector<std::wstring>{L"Keep me"});
    EXPECT_EQ(Stored(), std::vector<std::wstring>{L"Keep me"});
    EXPECT_FALSE(enabledAfter);
    EXPECT_EQ(focusAfter, close);
    EXPECT_EQ(boxes_.shown.size(), 1u);  // the question only: every delete succeeded
    EXPECT_EQ(corv::ui::ReadWatermarkCounter(printer_), 1);
}

TEST_F(RemoveDialog, AWatermarkDeletedMeanwhileIsReportedAloneAndTheOthersGo) {
    boxes_.answers.push_back(IDYES);
    Run(corv::ui::RemoveWatermarks, [&](HWND dialog) {
        for (int i = 0; i < 3; ++i) Toggle(dialog, i);
        ASSERT_TRUE(corv::ui::DeleteWatermark(printer_, L"Confidential"));  // another program
        corvtest::Click(dialog, IDC_WM_REMOVE);
        corvtest::Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(Stored().empty());
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text,
              L"There was an error removing the watermark from the registry.  Please make sure you have access "
              L"rights to do so and try again.");
    EXPECT_FALSE(boxes_.shown[1].hasCaption);
    EXPECT_EQ(boxes_.shown[1].icon(), static_cast<UINT>(MB_ICONERROR));
}

TEST_F(RemoveDialog, WithoutTheDriversRecordTheListsStayEmpty) {
    params_.pOEMDM = nullptr;
    size_t listed = 99;
    Run(corv::ui::RemoveWatermarks, [&](HWND dialog) {
        listed = ListItems(GetDlgItem(dialog, IDC_WM_REMOVE_LIST)).size();
        corvtest::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(listed, 0u);
    EXPECT_EQ(Stored().size(), 3u);
}

}  // namespace
