// The Position Watermark dialog, driven inside its modal loop as the Create/Edit dialog opens it.
#include "plug-in/inboxui/pages/wmposition.h"

#include "common/record.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "ids.h"

#include "tests/support/pagekit/modal.h"
#include "tests/support/pagekit/patches.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

namespace {

std::wstring TextOf(HWND dialog, int id) {
    WCHAR text[64] = {};
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// A real click: the radio button checks itself and notifies the dialog.
void Press(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Typed over the whole field, a character at a time, so every keystroke is judged.
void TypeOver(HWND dialog, int id, const wchar_t* text) {
    HWND edit = GetDlgItem(dialog, id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (const wchar_t* c = text; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
}

void Spin(HWND dialog, int spin, int delta) {
    NMUPDOWN change{};
    change.hdr.hwndFrom = GetDlgItem(dialog, spin);
    change.hdr.idFrom = static_cast<UINT_PTR>(spin);
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = delta;
    SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(spin), reinterpret_cast<LPARAM>(&change));
}

class PositionDialog : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(boxes_.active());
        params_.cbSize = sizeof(params_);
        params_.hPrinter = reinterpret_cast<HANDLE>(0x5123);
        params_.pPublicDM = &devmode_;
        params_.pOEMDM = &context_->working;
        context_->pageParams = &params_;
        // Never called by this dialog; it only has to be there, as in a real sheet.
        context_->core = reinterpret_cast<IPrintCoreUI2*>(&params_);
        corv::InitWatermarkRecord(&context_->dialogRecord);
        context_->dialogRecord.dwPosition = 7;
        context_->dialogRecord.bInches = 1;
        context_->dialogRecord.dblOffsetY = 1.0;
        context_->dialogRecord.dblOffsetX = 2.5;
        context_->position = {-1.0, -1.0, 9, 99};
    }

    INT_PTR Run(std::function<void(HWND)> script) {
        corvtest::ModalDriver driver(std::move(script));
        const INT_PTR result = corv::ui::PositionWatermark(nullptr, context_.get());
        EXPECT_TRUE(driver.ran());
        return result;
    }

    corvtest::MessageBoxes boxes_;
    DEVMODEW devmode_{};
    OEMUIPSPARAM params_{};
    std::unique_ptr<corv::ui::SheetContext> context_ = std::make_unique<corv::ui::SheetContext>();
};

TEST_F(PositionDialog, OpensOnTheRecordAndOkHandsBackWhatTheControlsSay) {
    EXPECT_EQ(Run([](HWND dialog) {
                  EXPECT_TRUE(Checked(dialog, IDC_POS_TOP));
                  EXPECT_TRUE(Checked(dialog, IDC_POS_RIGHT));
                  EXPECT_TRUE(Checked(dialog, IDC_POS_INCHES));
                  EXPECT_FALSE(Checked(dialog, IDC_POS_MILLIMETRES));
                  EXPECT_EQ(TextOf(dialog, IDC_POS_VOFFSET), L"1.0");
                  EXPECT_EQ(TextOf(dialog, IDC_POS_HOFFSET), L"2.5");
                  Press(dialog, IDC_POS_BOTTOM);
                  Press(dialog, IDC_POS_HCENTER);
                  corvtest::Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(context_->position.dwPosition, 4u);
    EXPECT_EQ(context_->position.bInches, 1);
    EXPECT_DOUBLE_EQ(context_->position.dblOffsetY, 1.0);
    EXPECT_DOUBLE_EQ(context_->position.dblOffsetX, 2.5);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(PositionDialog, EveryAnchorGivesItsCode) {
    const struct {
        int vertical, horizontal;
        DWORD code;
    } anchors[] = {{IDC_POS_VCENTER, IDC_POS_HCENTER, 0}, {IDC_POS_BOTTOM, IDC_POS_LEFT, 1},
                   {IDC_POS_TOP, IDC_POS_LEFT, 2},       {IDC_POS_VCENTER, IDC_POS_LEFT, 3},
                   {IDC_POS_BOTTOM, IDC_POS_HCENTER, 4}, {IDC_POS_TOP, IDC_POS_HCENTER, 5},
                   {IDC_POS_BOTTOM, IDC_POS_RIGHT, 6},   {IDC_POS_TOP, IDC_POS_RIGHT, 7},
                   {IDC_POS_VCENTER, IDC_POS_RIGHT, 8}};
    Run([&](HWND dialog) {
        for (const auto& a : anchors) {
            Press(dialog, a.vertical);
            Press(dialog, a.horizontal);
            corv::ui::WorkingPosition read{};
            ASSERT_TRUE(corv::ui::ReadPositionControls(dialog, &read));
            EXPECT_EQ(read.dwPosition, a.code);
        }
        corvtest::Click(dialog, IDCANCEL);
    });
    // An unknown stored code checks no anchor at all.
    context_->dialogRecord.dwPosition = 12;
    Run([](HWND dialog) {
        for (int id : {IDC_POS_TOP, IDC_POS_VCENTER, IDC_POS_BOTTOM, IDC_POS_LEFT, IDC_POS_HCENTER, IDC_POS_RIGHT})
            EXPECT_FALSE(Checked(dialog, id)) << id;
        corvtest::Click(dialog, IDCANCEL);
    });
}

TEST_F(PositionDialog, UnitsConvertTheShownNumbers) {
    std::wstring millimetres, inches;
    EXPECT_EQ(Run([&](HWND dialog) {
                  Press(dialog, IDC_POS_MILLIMETRES);
                  millimetres = TextOf(dialog, IDC_POS_VOFFSET) + L" " + TextOf(dialog, IDC_POS_HOFFSET);
                  Press(dialog, IDC_POS_MILLIMETRES);  // the unit already shown does nothing
                  Press(dialog, IDC_POS_INCHES);
                  inches = TextOf(dialog, IDC_POS_VOFFSET) + L" " + TextOf(dialog, IDC_POS_HOFFSET);
                  Press(dialog, IDC_POS_MILLIMETRES);
                  corvtest::Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(millimetres, L"25.4 63.5");
    EXPECT_EQ(inches, L"1.0 2.5");
    EXPECT_EQ(context_->position.bInches, 0);
    EXPECT_DOUBLE_EQ(context_->position.dblOffsetY, 25.4);
}

TEST_F(PositionDialog, TypingBeyondTheLimitsRestoresTheLastAcceptedNumber) {
    Run([](HWND dialog) {
        TypeOver(dialog, IDC_POS_VOFFSET, L"10000");
        EXPECT_EQ(TextOf(dialog, IDC_POS_VOFFSET), L"1000.0");
        TypeOver(dialog, IDC_POS_VOFFSET, L"9999.9");
        EXPECT_EQ(TextOf(dialog, IDC_POS_VOFFSET), L"9999.9");
        TypeOver(dialog, IDC_POS_HOFFSET, L"-");
        EXPECT_EQ(TextOf(dialog, IDC_POS_HOFFSET), L"-");
        TypeOver(dialog, IDC_POS_HOFFSET, L"1x");
        EXPECT_EQ(TextOf(dialog, IDC_POS_HOFFSET), L"1.0");
        Press(dialog, IDC_POS_MILLIMETRES);
        TypeOver(dialog, IDC_POS_VOFFSET, L"253997");
        EXPECT_EQ(TextOf(dialog, IDC_POS_VOFFSET), L"253997");
        TypeOver(dialog, IDC_POS_VOFFSET, L"254000");
        EXPECT_EQ(TextOf(dialog, IDC_POS_VOFFSET), L"25400.0");
        corvtest::Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(context_->position.bInches, 9);  // Cancel hands nothing back
}

TEST_F(PositionDialog, SpinStepsAreATenthOfAnInchOrOneMillimetre) {
    context_->dialogRecord.dblOffsetX = 0.0;
    Run([](HWND dialog) {
        Spin(dialog, IDC_POS_HSPIN, -1);
        EXPECT_EQ(TextOf(dialog, IDC_POS_HOFFSET), L"0.1");
        Spin(dialog, IDC_POS_HSPIN, 1);
        Spin(dialog, IDC_POS_HSPIN, 1);
        EXPECT_EQ(TextOf(dialog, IDC_POS_HOFFSET), L"-0.1");
        Spin(dialog, IDC_POS_VSPIN, -1);
        EXPECT_EQ(TextOf(dialog, IDC_POS_VOFFSET), L"1.1");
        Press(dialog, IDC_POS_CENTER);
        Press(dialog, IDC_POS_MILLIMETRES);
        Spin(dialog, IDC_POS_HSPIN, -1);
        EXPECT_EQ(TextOf(dialog, IDC_POS_HOFFSET), L"1.0");
        TypeOver(dialog, IDC_POS_HOFFSET, L"253997");
        Spin(dialog, IDC_POS_HSPIN, -1);  // 253998 mm would pass 9999.9 in
        EXPECT_EQ(TextOf(dialog, IDC_POS_HOFFSET), L"253997");
        corvtest::Click(dialog, IDCANCEL);
    });
}

TEST_F(PositionDialog, CenterWatermarkThenOkGivesCodeZeroAndNoOffsets) {
    EXPECT_EQ(Run([](HWND dialog) {
                  Press(dialog, IDC_POS_CENTER);
                  EXPECT_EQ(TextOf(dialog, IDC_POS_VOFFSET), L"0.0");
                  corvtest::Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(context_->position.dwPosition, 0u);
    EXPECT_EQ(context_->position.dblOffsetY, 0.0);
    EXPECT_EQ(context_->position.dblOffsetX, 0.0);
}

TEST_F(PositionDialog, StoredOffsetsBeyondTheLimitsOpenAsZero) {
    context_->dialogRecord.dblOffsetY = 20000.0;
    context_->dialogRecord.dblOffsetX = -1e300;
    Run([](HWND dialog) {
        EXPECT_EQ(TextOf(dialog, IDC_POS_VOFFSET), L"0.0");
        EXPECT_EQ(TextOf(dialog, IDC_POS_HOFFSET), L"0.0");
        corvtest::Click(dialog, IDCANCEL);
    });
}

TEST_F(PositionDialog, OkAndCancelEndItEvenWithoutItsInputs) {
    context_->core = nullptr;
    EXPECT_EQ(Run([](HWND dialog) { corvtest::Click(dialog, IDCANCEL); }), IDCANCEL);
    EXPECT_EQ(Run([](HWND dialog) { corvtest::Click(dialog, IDOK); }), IDOK);
    EXPECT_EQ(context_->position.bInches, 9);
    context_->pageParams = nullptr;
    EXPECT_EQ(Run([](HWND dialog) { corvtest::Click(dialog, IDOK); }), IDOK);
}

TEST_F(PositionDialog, ABadOffsetIsReportedAtOkButNeverByThePreview) {
    // Without its inputs the dialog does not judge typing, so the fields can hold anything.
    params_.pPublicDM = nullptr;
    Run([&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_POS_VOFFSET, L"1,5");
        SetDlgItemTextW(dialog, IDC_POS_HOFFSET, L"");
        corv::ui::WorkingPosition read{};
        EXPECT_FALSE(corv::ui::ReadPositionControls(dialog, &read, false));
        EXPECT_TRUE(boxes_.shown.empty());
        corvtest::FocusWatch focus;
        EXPECT_FALSE(corv::ui::ReadPositionControls(dialog, &read));
        ASSERT_EQ(boxes_.shown.size(), 2u);  // one for each bad field
        EXPECT_EQ(boxes_.shown[0].text, L"Please specify a proper decimal value for the offsets.");
        EXPECT_EQ(boxes_.shown[0].icon(), static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(focus.last(), GetDlgItem(dialog, IDC_POS_HOFFSET));
        corvtest::Click(dialog, IDCANCEL);
    });
}

TEST_F(PositionDialog, OkWithABadOffsetKeepsTheDialogOpen) {
    // Nothing closes the dialog after the refused OK, so only the driver's time-out ends it.
    EXPECT_EQ(Run([&](HWND dialog) {
                  // The field refuses bad typing, so the bad text is put in behind the dialog's back.
                  HWND edit = GetDlgItem(dialog, IDC_POS_VOFFSET);
                  SetWindowLongPtrW(edit, GWLP_ID, 0);
                  SetWindowTextW(edit, L"-1-");
                  SetWindowLongPtrW(edit, GWLP_ID, IDC_POS_VOFFSET);
                  corvtest::Click(dialog, IDOK);
              }),
              corvtest::ModalDriver::kNotClosed);
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(context_->position.bInches, 9);  // left as it was
}

}  // namespace
