#include "plug-in/inboxui/core/dyndialog.h"

#include "common/text.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "ids.h"

#include "tests/support/pagekit/modal.h"
#include "tests/support/pagekit/patches.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using corv::ui::SheetContext;

namespace {

std::wstring TextOf(HWND window) {
    WCHAR text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

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

class DynamicDialog : public testing::Test {
protected:
    void SetUp() override { corv::CopyText(context_->dynamicText, L"Draft"); }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
    }

    HWND Open() {
        dialog_ = CreateDialogParamW(corv::ui::ResourceModule(), MAKEINTRESOURCEW(IDD_DYNAMIC_WATERMARKS), nullptr,
                                     corv::ui::DynamicWatermarksProc, reinterpret_cast<LPARAM>(context_.get()));
        EXPECT_NE(dialog_, nullptr) << GetLastError();
        return dialog_;
    }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::wstring EditText() const { return TextOf(Item(IDC_DYN_TEXT)); }
    void Type(const wchar_t* text) const { SetWindowTextW(Item(IDC_DYN_TEXT), text); }

    // Selects a description as a click in the list would, with its notification.
    void Pick(const wchar_t* description) const {
        const LRESULT index = SendMessageW(Item(IDC_DYN_LIST), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(description));
        ASSERT_NE(index, LB_ERR) << testing::PrintToString(std::wstring(description));
        SendMessageW(Item(IDC_DYN_LIST), LB_SETCURSEL, index, 0);
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDC_DYN_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Item(IDC_DYN_LIST)));
    }
    // A click reaches only an enabled button.
    void Click(int id) const {
        ASSERT_TRUE(Enabled(id)) << id;
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }

    std::unique_ptr<SheetContext> context_ = std::make_unique<SheetContext>();
    HWND dialog_ = nullptr;
};

// Opens the dialog as a page does, through DialogBoxParamW; script drives it inside its modal
// loop.
INT_PTR RunModal(SheetContext* context, std::function<void(HWND)> script) {
    corvtest::NestedDialogs dialogs;
    EXPECT_TRUE(dialogs.active());
    dialogs.drive(std::move(script));
    const INT_PTR result = corv::ui::ConfigureDynamicWatermarks(nullptr, context);
    EXPECT_EQ(dialogs.calls.size(), 1u);
    if (!dialogs.calls.empty()) {
        EXPECT_EQ(dialogs.calls[0].templateId, static_cast<UINT>(IDD_DYNAMIC_WATERMARKS));
        EXPECT_EQ(dialogs.calls[0].param, reinterpret_cast<LPARAM>(context));
    }
    return result;
}

}  // namespace

TEST_F(DynamicDialog, TemplateHasItsControlsInPlace) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(TextOf(dialog_), L"Configure Dynamic Watermarks");
    const struct {
        int id;
        const wchar_t* text;
        RECT place;  // dialog units: left, top, width, height
        DWORD style;
    } controls[] = {
        {IDC_DYN_LIST, L"", {15, 53, 225, 97}, LBS_SORT | LBS_NOTIFY},
        {IDC_DYN_ADD, L"&Add", {278, 95, 104, 14}, BS_PUSHBUTTON},
        {IDC_DYN_TEXT, L"Draft", {51, 163, 294, 14}, ES_AUTOHSCROLL | ES_NOHIDESEL},
        {IDOK, L"OK", {107, 188, 50, 14}, BS_DEFPUSHBUTTON},
        {IDCANCEL, L"Cancel", {240, 188, 50, 14}, BS_PUSHBUTTON},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        HWND control = Item(c.id);
        ASSERT_NE(control, nullptr);
        if (c.id != IDC_DYN_LIST) {
            EXPECT_EQ(TextOf(control), c.text);
        }
        const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        EXPECT_EQ(style & c.style, c.style);
        if (c.id == IDC_DYN_TEXT) {
            EXPECT_EQ(style & ES_MULTILINE, 0u);
        }

        // Dialog units are mapped per value, as the dialog manager places controls.
        RECT expected = c.place;
        MapDialogRect(dialog_, &expected);
        RECT actual;
        GetWindowRect(control, &actual);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right - actual.left, expected.right);
        // A list box shortens itself to whole items.
        if (c.id == IDC_DYN_LIST) {
            EXPECT_LE(actual.bottom - actual.top, expected.bottom);
        } else {
            EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
        }
    }
    // The explanation is the one static control.
    HWND label = FindWindowExW(dialog_, nullptr, L"Static", nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(TextOf(label),
              L"To insert a dynamic watermark variable, select one from the list below and select the Add button.  "
              L"You may also add any other text to the watermark in the edit box, just as you would for a regular "
              L"watermark.");
}

TEST_F(DynamicDialog, OpensWithTheTextAndTheSortedDescriptionsAndBothButtonsOff) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(EditText(), L"Draft");
    const std::vector<std::wstring> sorted = {
        L"Date (dd/mm/yyyy format)", L"Date (long format)",   L"Date (short format)",  L"Host/computer name",
        L"Page number",              L"Percent (%) symbol",   L"Printer model name",   L"Printer name",
        L"Time (hh:mm format)",      L"Time (military format)", L"Time (standard format)", L"User name"};
    EXPECT_EQ(ListItems(Item(IDC_DYN_LIST)), sorted);
    EXPECT_EQ(SendMessageW(Item(IDC_DYN_LIST), LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_FALSE(Enabled(IDOK));
    EXPECT_FALSE(Enabled(IDC_DYN_ADD));
    EXPECT_TRUE(Enabled(IDCANCEL));
}

TEST_F(DynamicDialog, OkFollowsWhetherThereIsText) {
    ASSERT_TRUE(Open());
    Type(L"x");
    EXPECT_TRUE(Enabled(IDOK));
    Type(L"");
    EXPECT_FALSE(Enabled(IDOK));
    // Real typing goes the same way.
    SendMessageW(Item(IDC_DYN_TEXT), WM_CHAR, L'y', 0);
    EXPECT_TRUE(Enabled(IDOK));
}

TEST_F(DynamicDialog, AddFollowsTheListSelection) {
    ASSERT_TRUE(Open());
    Pick(L"Page number");
    EXPECT_TRUE(Enabled(IDC_DYN_ADD));
    SendMessageW(Item(IDC_DYN_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDC_DYN_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_DYN_LIST)));
    EXPECT_FALSE(Enabled(IDC_DYN_ADD));
}

TEST_F(DynamicDialog, AddAppendsTheTokenWhereverTheCaretStands) {
    ASSERT_TRUE(Open());
    SendMessageW(Item(IDC_DYN_TEXT), EM_SETSEL, 2, 2);
    Pick(L"Page number");
    Click(IDC_DYN_ADD);
    EXPECT_EQ(EditText(), L"Draft%pagenumber%");
    Pick(L"Percent (%) symbol");
    Click(IDC_DYN_ADD);
    Pick(L"user name");  // found in the table whatever the case
    Click(IDC_DYN_ADD);
    EXPECT_EQ(EditText(), L"Draft%pagenumber%%%%Username%");
}

TEST_F(DynamicDialog, EveryDescriptionAddsItsOwnToken) {
    ASSERT_TRUE(Open());
    const struct {
        const wchar_t* description;
        const wchar_t* token;
    } rows[] = {
        {L"User name", L"%Username%"},         {L"Date (short format)", L"%dateshort%"},
        {L"Date (long format)", L"%datelong%"}, {L"Date (dd/mm/yyyy format)", L"%dateddmmyyyy%"},
        {L"Time (standard format)", L"%time%"}, {L"Time (military format)", L"%timemil%"},
        {L"Time (hh:mm format)", L"%timehrmn%"}, {L"Page number", L"%pagenumber%"},
        {L"Host/computer name", L"%hostname%"}, {L"Printer name", L"%printer%"},
        {L"Printer model name", L"%modelname%"}, {L"Percent (%) symbol", L"%%"},
    };
    for (const auto& row : rows) {
        Type(L"");
        Pick(row.description);
        Click(IDC_DYN_ADD);
        EXPECT_EQ(EditText(), row.token) << testing::PrintToString(std::wstring(row.description));
    }
}

TEST_F(DynamicDialog, AppendingIsCutAt127Characters) {
    ASSERT_TRUE(Open());
    const std::wstring start(120, L'w');
    Type(start.c_str());
    Pick(L"Page number");
    Click(IDC_DYN_ADD);
    EXPECT_EQ(EditText(), start + L"%pagenu");
}

TEST_F(DynamicDialog, AddReplacesTheSelectedText) {
    ASSERT_TRUE(Open());
    Type(L"Page N of M");
    SendMessageW(Item(IDC_DYN_TEXT), EM_SETSEL, 5, 6);
    Pick(L"Page number");
    Click(IDC_DYN_ADD);
    EXPECT_EQ(EditText(), L"Page %pagenumber% of M");
}

TEST_F(DynamicDialog, OkCarriesTheTextOut) {
    context_->dialogResult = 0;
    const INT_PTR result = RunModal(context_.get(), [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DYN_TEXT, L"Copy %pagenumber%");
        corvtest::Click(dialog, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(context_->dialogResult, 1u);
    EXPECT_STREQ(context_->dynamicText, L"Copy %pagenumber%");
}

TEST_F(DynamicDialog, OkKeepsAt127Characters) {
    const std::wstring typed(200, L'k');
    RunModal(context_.get(), [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DYN_TEXT, typed.c_str());
        corvtest::Click(dialog, IDOK);
    });
    EXPECT_EQ(std::wstring(context_->dynamicText), typed.substr(0, 127));
}

TEST_F(DynamicDialog, CancelLeavesTheTextAndSaysSo) {
    context_->dialogResult = 0;
    const INT_PTR result = RunModal(context_.get(), [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_DYN_TEXT, L"changed");
        corvtest::Click(dialog, IDCANCEL);
    });
    // The caller restores its text from the buffer in either case.
    EXPECT_EQ(result, 1);
    EXPECT_EQ(context_->dialogResult, 2u);
    EXPECT_STREQ(context_->dynamicText, L"Draft");
}

TEST_F(DynamicDialog, WithoutAContextItOnlyCloses) {
    const INT_PTR result = RunModal(nullptr, [](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_DYN_LIST, LB_GETCOUNT, 0, 0), 0);
        corvtest::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
}
