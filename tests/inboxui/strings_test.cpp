// The string table is the system's own text: what the pages, messages and cover page show must
// arrive byte for byte, blanks included, through the same loader the code uses.
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

struct Expected {
    UINT id;
    const wchar_t* text;
};

// A few from every area that loads strings: cover page, colours, dynamic variables, default
// watermarks, watermark page and dialogs, About page, profiles.
constexpr Expected kTexts[] = {
    {IDS_FAX_TITLE, L"Facsimile Transmission Form"},
    {IDS_FAX_PAGES_TO_FOLLOW, L"Pages to Follow:   "},
    {IDS_FAX_RECIPIENT_NAME, L"Name:      "},
    {IDS_FAX_SENDER_COMPANY, L"Company:   "},
    {IDS_FAX_FONT_CHARSET, L"0"},
    {IDS_COLOR_GRAY, L"Gray"},
    {IDS_COLOR_BROWN, L"Brown"},
    {IDS_DYN_TOKEN_USERNAME, L"%Username%"},
    {IDS_DYN_TOKEN_PERCENT, L"%%"},
    {IDS_DYN_DELIMITER, L"%"},
    {IDS_DYN_DESC_PERCENT, L"Percent (%) symbol"},
    {IDS_DYN_INVALID_TEXT,
     L"The dynamic watermark text you have entered is not valid.  Please correct errors in the text.  "
     L"Please see the help for the exact syntax of dynamic watermark variables."},
    {IDS_DEFWM_USERNAME_TEXT, L"User:  %Username%"},
    {IDS_DEFWM_DATETIME_TEXT, L"%Time% %DateLong%"},
    {IDS_WATERMARK_NONE, L"(None)"},
    {IDS_LABEL_OTHER_PAGES, L"Other Page&s"},
    {IDS_ERR_SAVE_REGISTRY,
     L"There was an error saving the data to the registry.  Please make sure you have access rights to do so "
     L"and try again."},
    {IDS_CONFIRM_REMOVE_WATERMARKS, L"Are you sure you want to permanently remove the selected watermark(s)?"},
    {IDS_ERR_OFFSET_VALUE, L"Please specify a proper decimal value for the offsets."},
    {IDS_ABOUT_DRIVER_FORMAT, L"%s Driver"},
    {IDS_ABOUT_NOT_AVAILABLE, L"N/A"},
    {IDS_PROFILE_FACTORY_DEFAULTS, L"Factory Defaults"},
    {IDS_PROFILE_UNKNOWN, L"<Unknown Profile>"},
};

TEST(UiStrings, LoadExactlyAsWritten) {
    for (const auto& e : kTexts) {
        WCHAR text[2048] = L"stale";
        int n = corv::ui::LoadText(e.id, text);
        EXPECT_STREQ(text, e.text) << "string " << e.id;
        EXPECT_EQ(n, static_cast<int>(std::wcslen(e.text))) << "string " << e.id;
    }
}

TEST(UiStrings, NumbersAreTheFixedOnes) {
    // Other code and stored data refer to these by number.
    static_assert(IDS_FAX_TITLE == 10 && IDS_FAX_PAGES_TO_FOLLOW == 11 && IDS_FAX_RECIPIENT_NAME == 13);
    static_assert(IDS_DYN_TOKEN_USERNAME == 161 && IDS_DYN_TOKEN_PERCENT == 191 && IDS_DYN_DESC_PERCENT == 211);
    WCHAR text[32];
    ASSERT_GT(corv::ui::LoadText(13, text), 0);
    EXPECT_STREQ(text, L"Name:      ");
    ASSERT_GT(corv::ui::LoadText(16, text), 0);
    EXPECT_STREQ(text, L"Name:      ");
}

TEST(UiStrings, ShortBufferIsCutAndTerminated) {
    WCHAR text[6];
    int n = corv::ui::LoadText(IDS_FAX_PAGES_TO_FOLLOW, text);
    EXPECT_EQ(n, 5);
    EXPECT_STREQ(text, L"Pages");
}

TEST(UiStrings, EveryDynamicDescriptionLoads) {
    // The Configure Dynamic Watermarks dialog fills its list from the twelve in a row.
    for (UINT id = IDS_DYN_DESC_USERNAME; id <= IDS_DYN_DESC_PERCENT; ++id) {
        WCHAR text[128];
        EXPECT_GT(corv::ui::LoadText(id, text), 0) << "string " << id;
    }
}

}  // namespace
