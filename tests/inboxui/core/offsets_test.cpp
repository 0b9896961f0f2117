#include "plug-in/inboxui/core/offsets.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using namespace corv::ui;

namespace {

std::wstring Shown(double value) {
    WCHAR text[kOffsetChars + 1];
    FormatOffset(value, text);
    return text;
}

TEST(OffsetText, DigitsOnePointAndALeadingMinus) {
    for (const wchar_t* good : {L"0", L"12.5", L"-3", L"-.5", L"-", L".", L"9999.9", L"007."}) {
        EXPECT_TRUE(IsOffsetText(good)) << good;
    }
    for (const wchar_t* bad : {L"", L"1.2.3", L"1-", L"--1", L"1,5", L"+1", L" 1", L"1e3", L"0x1"}) {
        EXPECT_FALSE(IsOffsetText(bad)) << bad;
    }
    EXPECT_FALSE(IsOffsetText(nullptr));
}

TEST(OffsetText, ReadsAndPrintsWithAPointWhateverTheLocale) {
    // A locale whose decimal mark is a comma must not change either direction.
    std::setlocale(LC_NUMERIC, "German_Germany.1252");
    EXPECT_DOUBLE_EQ(ParseOffset(L"12.5"), 12.5);
    EXPECT_EQ(Shown(1.5), L"1.5");
    std::setlocale(LC_NUMERIC, "C");

    EXPECT_EQ(ParseOffset(L"-"), 0.0);
    EXPECT_EQ(ParseOffset(L"."), 0.0);
    EXPECT_EQ(ParseOffset(L"-.5"), -0.5);
    EXPECT_EQ(ParseOffset(L"9999.9"), 9999.9);  // exactly the limit, so it is accepted
    EXPECT_EQ(ParseOffset(L"1,5"), 0.0);
    EXPECT_EQ(Shown(0.0), L"0.0");
    EXPECT_EQ(Shown(-0.04), L"0.0");
    EXPECT_EQ(Shown(-2.26), L"-2.3");
    EXPECT_EQ(Shown(0.1 + 0.1 + 0.1), L"0.3");
    EXPECT_EQ(Shown(253997.0), L"253997.0");
    EXPECT_EQ(Shown(-253997.4), L"-253997.4");  // ten characters, the field's limit
    EXPECT_EQ(Shown(12345678901.0).size(), static_cast<size_t>(kOffsetChars));
}

TEST(OffsetRange, LimitsAreInInchesInEitherUnit) {
    EXPECT_TRUE(OffsetInRange(9999.9, false));
    EXPECT_TRUE(OffsetInRange(-9999.9, false));
    EXPECT_FALSE(OffsetInRange(10000.0, false));
    EXPECT_TRUE(OffsetInRange(253997.0, true));  // 9999.88 in
    EXPECT_FALSE(OffsetInRange(254000.0, true));
    EXPECT_FALSE(OffsetInRange(-254000.0, true));
}

TEST(OffsetSteps, UpAddsATenthOfAnInchOrAMillimetre) {
    EXPECT_DOUBLE_EQ(StepOffset(0.0, -1, false), 0.1);
    EXPECT_DOUBLE_EQ(StepOffset(0.0, 1, false), -0.1);
    EXPECT_DOUBLE_EQ(StepOffset(0.0, -1, true), 1.0);
    EXPECT_DOUBLE_EQ(StepOffset(5.0, 1, true), 4.0);
    EXPECT_DOUBLE_EQ(StepOffset(9999.9, -1, false), 9999.9);  // would leave the limits
    EXPECT_DOUBLE_EQ(StepOffset(-9999.9, 1, false), -9999.9);
}

TEST(OffsetUnits, OneInchIsTwentyFivePointFourMillimetresAndBack) {
    EXPECT_DOUBLE_EQ(ToMillimetres(1.0), 25.4);
    EXPECT_DOUBLE_EQ(ToInches(25.4), 1.0);
    EXPECT_DOUBLE_EQ(ToInches(-254.0), -10.0);
    // Rounding may not carry a number beyond the limits.
    EXPECT_TRUE(OffsetInRange(ToMillimetres(9999.9), true));
    EXPECT_TRUE(OffsetInRange(ToMillimetres(-9999.9), true));
    EXPECT_TRUE(OffsetInRange(ToInches(253998.0), false));
}

TEST(OffsetAnchors, NineCodesForThreeByThreeButtons) {
    const DWORD expected[3][3] = {{2, 5, 7}, {3, 0, 8}, {1, 4, 6}};
    bool seen[9] = {};
    for (int v = 0; v < 3; ++v)
        for (int h = 0; h < 3; ++h) {
            const DWORD code = PositionCode(v, h);
            EXPECT_EQ(code, expected[v][h]);
            int rv = -1, rh = -1;
            ASSERT_TRUE(PositionRows(code, &rv, &rh));
            EXPECT_EQ(rv, v);
            EXPECT_EQ(rh, h);
            seen[code] = true;
        }
    for (bool s : seen) EXPECT_TRUE(s);
    int v = 7, h = 7;
    EXPECT_FALSE(PositionRows(9, &v, &h));
}

}  // namespace
