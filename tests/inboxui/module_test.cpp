#include "plug-in/inboxui/core/module.h"

#include <gtest/gtest.h>

TEST(UiModule, ResourcesComeFromTheModuleThatLinksTheCode) {
    EXPECT_EQ(corv::ui::ResourceModule(), GetModuleHandleW(nullptr));
    WCHAR text[8] = L"x";
    EXPECT_EQ(corv::ui::LoadText(65000, text), 0);  // no such string
    EXPECT_STREQ(text, L"");
}
