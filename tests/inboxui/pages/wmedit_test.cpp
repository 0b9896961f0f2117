// The Create/Edit Watermark dialog, driven inside its modal loop over a scratch registry store and
// a printer whose fonts the kit lists.
#include "plug-in/inboxui/pages/wmedit.h"

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

std::wstring TextOf(HWND dialog, int id) {
    WCHAR text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

HWND Field(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    HWND edit = FindWindowExW(control, nullptr, L"Edit", nullptr);  // a combo box's own edit
    return edit ? edit : control;
}

// Typed over the whole field a character at a time, so limits and rules apply to each keystroke.
void TypeOver(HWND dialog, int id, const wchar_t* text) {
    HWND edit = Field(dialog, id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (const wchar_t* c = text; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::wstring Selected(HWND dialog, int id) {
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    WCHAR text[256] = {};
    if (index != CB_ERR) SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

class EditWatermarkDialog : public corvtest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_TRUE(boxes_.active());
        ASSERT_TRUE(fonts_.active());
        params_.cbSize = sizeof(params_);
        params_.hPrinter = printer_;
        params_.pPrinterName = const_cast<PWSTR>(L"Office");
        params_.pOEMDM = &context_->working;
        context_->pageParams = &params_;
        corv::WatermarkRecord draft;
        corv::InitWatermarkRecord(&draft);
        corv::CopyText(draft.szName, L"Draft");
        corv::CopyText(draft.szText, L"DRAFT");
        corv::CopyText(draft.szFontName, L"Courier");
        ASSERT_TRUE(corv::ui::SaveWatermark(printer_, &draft));
        AddMode();
    }

    void AddMode() {
        context_->addMode = 1;
        corv::InitWatermarkRecord(&context_->dialogRecord);
    }
    void EditMode(const wchar_t* name) {
        context_->addMode = 0;
        corv::CopyText(context_->pickedName, name);
        ASSERT_TRUE(corv::ui::ReadWatermark(printer_, name, &context_->dialogRecord));
    }

    INT_PTR Run(std::function<void(HWND)> script) {
        corvtest::ModalDriver driver(std::move(script));
        const INT_PTR result = corv::ui::EditWatermark(nullptr, context_.get());
        EXPECT_TRUE(driver.ran());
        return result;
    }
    std::vector<std::wstring> Stored() const { return Names(HKEY_CURRENT_USER, corvtest::kWatermarksPath); }
    corv::WatermarkRecord StoredRecord(const wchar_t* name) const {
        corv::WatermarkRecord record{};
        EXPECT_TRUE(corv::ui::ReadWatermark(printer_, name, &record)) << name;
        return record;
    }

    corvtest::MessageBoxes boxes_;
    corvtest::PrinterFonts fonts_{{{L"Courier"}, {L"Helvetica"}, {L"COURIER", EASTEUROPE_CHARSET}, {L"Times"}}};
    OEMUIPSPARAM params_{};
    std::unique_ptr<corv::ui::SheetContext> context_ = std::make_unique<corv::ui::SheetContext>();
};

TEST_F(EditWatermarkDialog, AddModeStartsWithOkOffUntilNameAndTextHoldSomething) {
    std::vector<bool> ok;
    std::wstring title;
    EXPECT_EQ(Run([&](HWND dialog) {
                  WCHAR caption[64] = {};
                  GetWindowTextW(dialog, caption, 64);
                  title = caption;
                  ok.push_back(Enabled(dialog, IDOK));
                  TypeOver(dialog, IDC_WME_NAME, L"   ");
                  TypeOver(dialog, IDC_WME_TEXT, L"Hello");
                  ok.push_back(Enabled(dialog, IDOK));
                  TypeOver(dialog, IDC_WME_NAME, L"Stamp  ");
                  ok.push_back(Enabled(dialog, IDOK));
                  corvtest::Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(title, L"Add Watermark");
    EXPECT_EQ(ok, (std::vector<bool>{false, false, true}));
    EXPECT_STREQ(StoredRecord(L"Stamp").szText, L"Hello");
    EXPECT_STREQ(context_->dialogRecord.szName, L"Stamp");
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(EditWatermarkDialog, TheFontListIsThePrintersEachFaceOnce) {
    std::vector<std::wstring> faces;
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_WME_FONT);
        for (LRESULT i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
            WCHAR face[64] = {};
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
            faces.push_back(face);
        }
        EXPECT_EQ(Selected(dialog, IDC_WME_FONT), L"Courier");  // Arial is not the printer's: entry 0
        corvtest::Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(faces, (std::vector<std::wstring>{L"Courier", L"Helvetica", L"Times"}));
    EXPECT_EQ(fonts_.devices, std::vector<std::wstring>{L"Office"});
}

TEST_F(EditWatermarkDialog, TypingRulesPutBackTheLastValidValue) {
    EditMode(L"Draft");
    EXPECT_EQ(Run([](HWND dialog) {
                  EXPECT_EQ(TextOf(dialog, IDC_WME_INTENSITY), L"100");
                  TypeOver(dialog, IDC_WME_INTENSITY, L"101");
                  EXPECT_EQ(TextOf(dialog, IDC_WME_INTENSITY), L"10");
                  TypeOver(dialog, IDC_WME_INTENSITY, L"0");
                  EXPECT_EQ(TextOf(dialog, IDC_WME_INTENSITY), L"10");
                  TypeOver(dialog, IDC_WME_INTENSITY, L"55");
                  TypeOver(dialog, IDC_WME_ANGLE, L"45");
                  HWND angle = GetDlgItem(dialog, IDC_WME_ANGLE);
                  SendMessageW(angle, EM_SETSEL, 0, 0);
                  SendMessageW(angle, WM_CHAR, L'-', 1);
                  EXPECT_EQ(TextOf(dialog, IDC_WME_ANGLE), L"-45");
                  TypeOver(dialog, IDC_WME_ANGLE, L"-");
                  EXPECT_EQ(TextOf(dialog, IDC_WME_ANGLE), L"-45");
                  TypeOver(dialog, IDC_WME_ANGLE, L"181");
                  EXPECT_EQ(TextOf(dialog, IDC_WME_ANGLE), L"18");
                  TypeOver(dialog, IDC_WME_SIZE, L"501");
                  EXPECT_EQ(TextOf(dialog, IDC_WME_SIZE), L"50");
                  TypeOver(dialog, IDC_WME_SIZE, L"500");
                  corvtest::Click(dialog, IDOK);
              }),
              IDOK);
    const corv::WatermarkRecord stored = StoredRecord(L"Draft");
    EXPECT_EQ(stored.wIntensity, 55);
    EXPECT_EQ(stored.dblAngle, 18.0);
    EXPECT_EQ(stored.lPointSize, 500);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(EditWatermarkDialog, OkRefusesInItsOrderAndStaysOpen) {
    std::vector<HWND> focus;
    std::vector<HWND> fields;
    EXPECT_EQ(Run([&](HWND dialog) {
                  corvtest::FocusWatch focused;
                  TypeOver(dialog, IDC_WME_TEXT, L"Hello %bogus%");
                  TypeOver(dialog, IDC_WME_NAME, L"Draft ");
                  corvtest::Click(dialog, IDOK);  // the name exists without its trailing space
                  focus.push_back(focused.last());
                  TypeOver(dialog, IDC_WME_NAME, L"(None)");
                  corvtest::Click(dialog, IDOK);
                  focus.push_back(focused.last());
                  TypeOver(dialog, IDC_WME_NAME, L"Size");
                  SendDlgItemMessageW(dialog, IDC_WME_SIZE, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                  SetDlgItemTextW(dialog, IDC_WME_SIZE, L"0");  // no typing gets a 0 past the rule
                  corvtest::Click(dialog, IDOK);
                  focus.push_back(focused.last());
                  TypeOver(dialog, IDC_WME_SIZE, L"24");
                  SendMessageW(GetDlgItem(dialog, IDC_WME_DYNAMIC), BM_CLICK, 0, 0);
                  corvtest::Click(dialog, IDOK);
                  focus.push_back(focused.last());
                  fields = {Field(dialog, IDC_WME_NAME), Field(dialog, IDC_WME_NAME), Field(dialog, IDC_WME_SIZE),
                            Field(dialog, IDC_WME_TEXT)};
                  SendMessageW(GetDlgItem(dialog, IDC_WME_DYNAMIC), BM_CLICK, 0, 0);
                  corvtest::Click(dialog, IDOK);  // not dynamic: the text is taken as it is
              }),
              IDOK);
    ASSERT_EQ(boxes_.shown.size(), 4u);
    EXPECT_EQ(boxes_.shown[0].text, L"The name of the watermark you have entered already exists.  Please enter another name.");
    EXPECT_EQ(boxes_.shown[1].text, L"You may not create a watermark named (None).  Please enter a new name.");
    EXPECT_EQ(boxes_.shown[2].text,
              L"The font size must be a positive number.  Please enter a font size greater than zero.");
    EXPECT_EQ(boxes_.shown[3].text.substr(0, 50), L"The dynamic watermark text you have entered is not");
    for (const auto& box : boxes_.shown) {
        EXPECT_EQ(box.icon(), static_cast<UINT>(MB_ICONERROR));
        EXPECT_FALSE(box.hasCaption);
    }
    EXPECT_EQ(focus, fields);
    const corv::WatermarkRecord stored = StoredRecord(L"Size");
    EXPECT_STREQ(stored.szText, L"Hello %bogus%");
    EXPECT_EQ(stored.lPointSize, 24);
    EXPECT_EQ(Stored().size(), 2u);
}

TEST_F(EditWatermarkDialog, NoneInLowerCaseIsAName) {
    EXPECT_EQ(Run([](HWND dialog) {
                  TypeOver(dialog, IDC_WME_NAME, L"(none)");
                  TypeOver(dialog, IDC_WME_TEXT, L"x");
                  corvtest::Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_TRUE(corv::ui::WatermarkExists(printer_, L"(none)"));
}

TEST_F(EditWatermarkDialog, EditingKeepsOrRenamesTheStoredWatermark) {
    EditMode(L"Draft");
    EXPECT_EQ(Run([](HWND dialog) { corvtest::Click(dialog, IDOK); }), IDOK);
    EXPECT_EQ(Stored(), std::vector<std::wstring>{L"Draft"});

    EditMode(L"Draft");
    EXPECT_EQ(Run([](HWND dialog) {
                  TypeOver(dialog, IDC_WME_NAME, L"Entwurf");
                  corvtest::Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(Stored(), std::vector<std::wstring>{L"Entwurf"});
    EXPECT_STREQ(StoredRecord(L"Entwurf").szText, L"DRAFT");
}

TEST_F(EditWatermarkDialog, OkWithoutChangeKeepsAWatermarkWhoseNameDiffersInCase) {
    EditMode(L"Draft");
    corv::CopyText(context_->dialogRecord.szName, L"DRAFT");  // as an older version stored it
    EXPECT_EQ(Run([](HWND dialog) { corvtest::Click(dialog, IDOK); }), IDOK);
    EXPECT_TRUE(corv::ui::WatermarkExists(printer_, L"Draft"));
    EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(EditWatermarkDialog, WithoutPrinterFontsTheRecordKeepsItsFont) {
    fonts_.fonts.clear();
    EditMode(L"Draft");
    EXPECT_EQ(Run([](HWND dialog) {
                  TypeOver(dialog, IDC_WME_TEXT, L"Only the text");
                  corvtest::Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_STREQ(StoredRecord(L"Draft").szFontName, L"Courier");
}

TEST_F(EditWatermarkDialog, RepairedAndUnknownValuesOpenAsTheDialogCanShowThem) {
    EditMode(L"Draft");
    context_->dialogRecord.wIntensity = 250;
    context_->dialogRecord.lPointSize = -3;
    context_->dialogRecord.dblAngle = 400.0;
    context_->dialogRecord.rgbColor[0] = 1;  // no colour of the list
    Run([](HWND dialog) {
        EXPECT_EQ(TextOf(dialog, IDC_WME_INTENSITY), L"100");
        EXPECT_EQ(TextOf(dialog, IDC_WME_SIZE), L"72");
        EXPECT_EQ(TextOf(dialog, IDC_WME_ANGLE), L"0");
        EXPECT_EQ(Selected(dialog, IDC_WME_COLOR), L"Aqua");
        TypeOver(dialog, IDC_WME_INTENSITY, L"0");
        EXPECT_EQ(TextOf(dialog, IDC_WME_INTENSITY), L"100");
        corvtest::Click(dialog, IDOK);
    });
    const corv::WatermarkRecord stored = StoredRecord(L"Draft");
    EXPECT_EQ(stored.rgbColor[0], 0);
    EXPECT_EQ(stored.rgbColor[1], 255);
    EXPECT_EQ(stored.rgbColor[2], 255);
}

// A store that cannot be written (here the spooler does not know the printer, so there is no
// model key) is reported with message 99; the dialog stays open and nothing is stored.
TEST_F(EditWatermarkDialog, ASaveThatFailsIsReportedAndTheDialogStaysOpen) {
    params_.hPrinter = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x5999));
    EXPECT_EQ(Run([](HWND dialog) {
                  TypeOver(dialog, IDC_WME_NAME, L"Kept");
                  TypeOver(dialog, IDC_WME_TEXT, L"x");
                  corvtest::Click(dialog, IDOK);
                  corvtest::Click(dialog, IDCANCEL);  // still open: this ends it
              }),
              IDCANCEL);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text,
              L"There was an error saving the data to the registry.  Please make sure you have access rights to do so "
              L"and try again.");
    EXPECT_EQ(boxes_.shown[0].icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_FALSE(boxes_.shown[0].hasCaption);
    EXPECT_EQ(Stored(), std::vector<std::wstring>{L"Draft"});
}

}  // namespace
