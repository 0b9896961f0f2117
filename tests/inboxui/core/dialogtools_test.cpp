// The helpers every page and dialog uses: no-permission state, the context-help button, message
// boxes from the string table, focus, list texts and list extents.
#include "plug-in/inboxui/core/dialogtools.h"

#include "common/handles.h"
#include "plug-in/inboxui/core/dialogbase.h"

#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/resources/ids.h"
#include "tests/support/pagekit/modal.h"
#include "tests/support/pagekit/patches.h"
#include "tests/support/pagekit/sheethost.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace corv::ui {
namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

TEST(NoPermission, EveryControlOfTheDialogIsDisabled) {
    RegisterCommonControls();
    corv::UniqueWindow dialog(
        CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_DYNAMIC_WATERMARKS), nullptr, &PlainDialog, 0));
    ASSERT_NE(dialog.get(), nullptr);
    std::vector<HWND> children = Children(dialog.get());
    ASSERT_GE(children.size(), 4u);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog.get(), IDC_DYN_LIST)));
    DisableAllControls(dialog.get());
    for (HWND child : children) EXPECT_FALSE(IsWindowEnabled(child)) << GetDlgCtrlID(child);
    EXPECT_TRUE(IsWindowEnabled(dialog.get()));  // the page itself stays
}


TEST(ContextHelpButton, SetAndClearedWithOneRepaintPerChange) {
    corv::UniqueWindow sheet(
        CreateWindowExW(0, L"STATIC", L"sheet", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(sheet.get(), nullptr);
    corvtest::FrameRepaints repaints(sheet.get());
    auto hasButton = [&] { return (GetWindowLongPtrW(sheet.get(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0; };
    EXPECT_TRUE(SetContextHelpButton(sheet.get(), true));
    EXPECT_TRUE(hasButton());
    EXPECT_EQ(repaints.count(), 1);
    EXPECT_FALSE(SetContextHelpButton(sheet.get(), true));
    EXPECT_EQ(repaints.count(), 1);
    EXPECT_TRUE(SetContextHelpButton(sheet.get(), false));
    EXPECT_FALSE(hasButton());
    EXPECT_EQ(repaints.count(), 2);
    EXPECT_FALSE(SetContextHelpButton(sheet.get(), false));
    EXPECT_EQ(repaints.count(), 2);
    EXPECT_FALSE(SetContextHelpButton(nullptr, true));
}

constexpr UINT kMissingString = 9999;

TEST(MessageBoxes, AnErrorIsTheStringWithTheErrorIcon) {
    corvtest::MessageBoxes boxes;
    ASSERT_TRUE(boxes.active());
    HWND owner = reinterpret_cast<HWND>(0x1234);
    ShowError(owner, IDS_ERR_SELECT_WATERMARK);
    ShowError(owner, IDS_ERR_REMOVE_REGISTRY, IDS_CAPTION_WARNING);
    ShowError(owner, kMissingString);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].owner, owner);
    EXPECT_EQ(boxes.shown[0].text, L"Please select at least one watermark.");
    EXPECT_FALSE(boxes.shown[0].hasCaption);  // the system's own caption
    EXPECT_EQ(boxes.shown[0].icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes.shown[0].buttons(), static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes.shown[1].caption, L"Warning");
    EXPECT_EQ(boxes.shown[1].icon(), static_cast<UINT>(MB_ICONERROR));
}

TEST(MessageBoxes, AQuestionIsAnsweredYesOrNo) {
    corvtest::MessageBoxes boxes;
    boxes.answers = {IDYES, IDNO};
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(AskYesNo(owner, IDS_CONFIRM_REMOVE_WATERMARKS, IDS_CAPTION_WARNING, MB_ICONWARNING), Answer::Yes);
    EXPECT_EQ(AskYesNo(owner, IDS_CONFIRM_REMOVE_WATERMARKS, IDS_CAPTION_WARNING, MB_ICONQUESTION), Answer::No);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, L"Are you sure you want to permanently remove the selected watermark(s)?");
    EXPECT_EQ(boxes.shown[0].caption, L"Warning");
    EXPECT_EQ(boxes.shown[0].icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(boxes.shown[0].buttons(), static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(boxes.shown[1].icon(), static_cast<UINT>(MB_ICONQUESTION));
}

TEST(MessageBoxes, AQuestionTakesItsInsertAndIsNotAskedWithoutItsStrings) {
    corvtest::MessageBoxes boxes;
    boxes.answers = {IDYES};
    EXPECT_EQ(AskYesNo(nullptr, IDS_ABOUT_DRIVER_FORMAT, IDS_CAPTION_WARNING, MB_ICONQUESTION, L"Mine"), Answer::Yes);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Mine Driver");
    EXPECT_EQ(AskYesNo(nullptr, kMissingString, IDS_CAPTION_WARNING, MB_ICONWARNING), Answer::NotAsked);
    EXPECT_EQ(AskYesNo(nullptr, IDS_CONFIRM_REMOVE_WATERMARKS, kMissingString, MB_ICONWARNING), Answer::NotAsked);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST(Focus, MovesLikeTheDialogManagerDoesIt) {
    corv::UniqueWindow dialog(
        CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_DYNAMIC_WATERMARKS), nullptr, &PlainDialog, 0));
    ASSERT_NE(dialog.get(), nullptr);
    ShowWindow(dialog.get(), SW_SHOW);
    SetForegroundWindow(dialog.get());
    corvtest::FocusWatch focus;
    HWND list = GetDlgItem(dialog.get(), IDC_DYN_LIST);
    MoveFocus(dialog.get(), list);
    EXPECT_EQ(focus.last(), list);
    HWND edit = GetDlgItem(dialog.get(), IDC_DYN_TEXT);
    SetWindowTextW(edit, L"Draft");
    MoveFocus(dialog.get(), edit);
    EXPECT_EQ(focus.last(), edit);
    DWORD start = 9, end = 9;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);  // the text is selected, ready to be typed over
    EXPECT_EQ(end, 5u);
}

// A dialog on DialogBase that uses the helpers as a page does.
class ProbeDialog : public DialogBase<ProbeDialog> {
public:
    using DialogBase::DialogBase;
    INT_PTR onInit() {
        disableAllIfNoPermission();
        return TRUE;
    }
    INT_PTR onCommand(WORD id, WORD, HWND) {
        if (id != IDC_DYN_ADD) return FALSE;
        error(IDS_ERR_SELECT_WATERMARK, IDC_DYN_LIST);
        return TRUE;
    }
};

TEST(DialogBaseHelpers, NoPermissionAndAnErrorThatPointsAtItsField) {
    auto context = std::make_unique<SheetContext>();
    for (DWORD noPermission : {1u, 0u}) {
        context->noPermission = noPermission;
        corv::UniqueWindow dialog(
            CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_DYNAMIC_WATERMARKS), nullptr,
                                         &ProbeDialog::DialogProc, reinterpret_cast<LPARAM>(context.get())));
        ASSERT_NE(dialog.get(), nullptr);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog.get(), IDC_DYN_LIST)) == FALSE, noPermission == 1);
        if (noPermission) continue;

        ShowWindow(dialog.get(), SW_SHOW);
        SetForegroundWindow(dialog.get());
        corvtest::MessageBoxes boxes;
        corvtest::FocusWatch focus;
        SendMessageW(dialog.get(), WM_COMMAND, MAKEWPARAM(IDC_DYN_ADD, BN_CLICKED), 0);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].owner, dialog.get());
        EXPECT_EQ(boxes.shown[0].icon(), static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(focus.last(), GetDlgItem(dialog.get(), IDC_DYN_LIST));
    }
}

TEST(ListTexts, OnlyEntriesThatFitANameBuffer) {
    corv::UniqueWindow list(
        CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(list.get(), nullptr);
    std::wstring fits(127, L'a'), tooLong(128, L'b');
    for (const std::wstring* text : {&fits, &tooLong})
        SendMessageW(list.get(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text->c_str()));
    WCHAR text[kNameCapacity];
    EXPECT_TRUE(ListItemText(list.get(), 0, text));
    EXPECT_EQ(std::wstring(text), fits);
    EXPECT_FALSE(ListItemText(list.get(), 1, text));
    EXPECT_STREQ(text, L"");
    EXPECT_FALSE(ListItemText(list.get(), 2, text));
    EXPECT_FALSE(ListItemText(list.get(), LB_ERR, text));
}

TEST(ListTexts, ExtentIsTheWidestCharacterTimesTheLength) {
    corv::UniqueWindow list(
        CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_HSCROLL, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                nullptr));
    ASSERT_NE(list.get(), nullptr);
    auto widest = [&](HFONT font) {
        HDC dc = GetDC(list.get());
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        if (old) SelectObject(dc, old);
        ReleaseDC(list.get(), dc);
        return metrics.tmMaxCharWidth;
    };
    SetListExtent(list.get(), 12, nullptr);
    EXPECT_EQ(SendMessageW(list.get(), LB_GETHORIZONTALEXTENT, 0, 0), 12 * widest(nullptr));
    HFONT big = CreateFontW(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    ASSERT_NE(big, nullptr);
    ASSERT_NE(widest(big), widest(nullptr));
    SetListExtent(list.get(), 12, big);
    EXPECT_EQ(SendMessageW(list.get(), LB_GETHORIZONTALEXTENT, 0, 0), 12 * widest(big));
    DeleteObject(big);
}

}  // namespace
}  // namespace corv::ui
