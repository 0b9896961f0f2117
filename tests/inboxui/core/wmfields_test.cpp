#include "plug-in/inboxui/core/wmfields.h"

#include <gtest/gtest.h>

#include <string>

using namespace corv::ui;

namespace {

TEST(WatermarkFields, IntensityIsOneToAHundredInDigits) {
    WORD value = 7;
    EXPECT_TRUE(AcceptIntensityText(L"1", &value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(AcceptIntensityText(L"100", &value));
    EXPECT_EQ(value, 100);
    value = 7;
    for (const wchar_t* bad : {L"0", L"101", L"", L"-5", L"5a", L" 5"}) {
        EXPECT_FALSE(AcceptIntensityText(bad, &value)) << bad;
    }
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(AcceptIntensityText(L"0501", &value));  // only the first three count
    EXPECT_EQ(value, 50);
}

TEST(WatermarkFields, AngleTakesOneLeadingMinusButNotAlone) {
    int value = 0;
    EXPECT_TRUE(AcceptAngleText(L"-45", &value));
    EXPECT_EQ(value, -45);
    EXPECT_TRUE(AcceptAngleText(L"180", &value));
    EXPECT_TRUE(AcceptAngleText(L"-180", &value));
    EXPECT_EQ(value, -180);
    for (const wchar_t* bad : {L"-", L"181", L"-181", L"", L"    ", L"4-5", L"--4", L"+4"}) {
        EXPECT_FALSE(AcceptAngleText(bad, &value)) << bad;
    }
}

TEST(WatermarkFields, SizeIsOneToFiveHundred) {
    LONG value = 0;
    EXPECT_TRUE(AcceptSizeText(L"500", &value));
    EXPECT_EQ(value, 500);
    for (const wchar_t* bad : {L"501", L"0", L"", L"12x"}) {
        EXPECT_FALSE(AcceptSizeText(bad, &value)) << bad;
    }
}

TEST(WatermarkFields, NamesStyleAndVisibleText) {
    WCHAR name[] = L"Draft   ";
    TrimTrailingSpaces(name);
    EXPECT_STREQ(name, L"Draft");
    WCHAR spaces[] = L"   ";
    TrimTrailingSpaces(spaces);
    EXPECT_STREQ(spaces, L"");
    EXPECT_FALSE(HasVisibleText(L" \t "));
    EXPECT_TRUE(HasVisibleText(L" x "));
    EXPECT_EQ(StyleOf(false, false), 0u);
    EXPECT_EQ(StyleOf(false, true), 1u);
    EXPECT_EQ(StyleOf(true, false), 2u);
    EXPECT_EQ(StyleOf(true, true), 3u);
}

TEST(WatermarkFields, StoredValuesTheRulesWouldRefuseAreRepaired) {
    corv::WatermarkRecord record;
    corv::InitWatermarkRecord(&record);
    record.wIntensity = 0;
    record.lPointSize = -4;
    record.dblAngle = 250.0;
    RepairForEditing(&record);
    EXPECT_EQ(record.wIntensity, 100);
    EXPECT_EQ(record.lPointSize, 72);
    EXPECT_EQ(record.dblAngle, 0.0);
    record.wIntensity = 250;
    record.lPointSize = 500;
    record.dblAngle = -180.0;
    RepairForEditing(&record);
    EXPECT_EQ(record.wIntensity, 100);
    EXPECT_EQ(record.lPointSize, 500);
    EXPECT_EQ(record.dblAngle, -180.0);
}

TEST(WatermarkFields, FontContextDriverIsTheConfigModulesBaseName) {
    WCHAR name[64];
    ConfigModuleBaseName(L"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\PS5UI.DLL", name, 64);
    EXPECT_STREQ(name, L"PS5UI");
    ConfigModuleBaseName(L"C:\\drv\\corv.ui.dll", name, 64);
    EXPECT_STREQ(name, L"corv.ui");
    ConfigModuleBaseName(L"OTHERUI.DLL", name, 64);
    EXPECT_STREQ(name, L"OTHERUI");
    for (const wchar_t* none : {L"C:\\drv\\noextension", L"", L"C:\\drv\\.dll"}) {
        ConfigModuleBaseName(none, name, 64);
        EXPECT_STREQ(name, L"PS5UI") << none;
    }
    ConfigModuleBaseName(nullptr, name, 64);
    EXPECT_STREQ(name, L"PS5UI");
}

}  // namespace
