#include "common/record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

namespace {

using namespace corv;

template <size_t N>
void FillUnterminated(WCHAR (&s)[N], WCHAR c) {
    for (auto& u : s) u = c;
}

TEST(CopyWatermarkRecord, CopiesFieldsCutsStringsAndLeavesPadding) {
    WatermarkRecord source;
    std::memset(&source, 0xAB, sizeof source);
    FillUnterminated(source.szName, L'n');
    wcscpy(source.szText, L"short");
    FillUnterminated(source.szFontName, L'f');
    source.dblAngle = -12.5;
    source.lPointSize = 44;
    source.dwStyle = 3;
    source.dwEffects = 5;
    source.wIntensity = 60;
    source.dwPosition = 8;
    source.bInches = 0;
    source.dblOffsetY = 1.25;
    source.dblOffsetX = -2.5;
    source.dwCharSet = 238;
    source.bDynamic = 1;

    WatermarkRecord target;
    std::memset(&target, 0xCD, sizeof target);
    ASSERT_TRUE(CopyWatermarkRecord(&target, &source));

    EXPECT_EQ(std::wstring(target.szName), std::wstring(127, L'n'));
    EXPECT_STREQ(target.szText, L"short");
    EXPECT_EQ(std::wstring(target.szFontName), std::wstring(63, L'f'));
    EXPECT_EQ(target.dblAngle, -12.5);
    EXPECT_EQ(std::memcmp(target.rgbColor, source.rgbColor, 4), 0);
    EXPECT_EQ(target.lPointSize, 44);
    EXPECT_EQ(target.dwStyle, 3u);
    EXPECT_EQ(target.dwEffects, 5u);
    EXPECT_EQ(target.wIntensity, 60);
    EXPECT_EQ(target.dwPosition, 8u);
    EXPECT_EQ(target.bInches, 0);
    EXPECT_EQ(target.dblOffsetY, 1.25);
    EXPECT_EQ(target.dblOffsetX, -2.5);
    EXPECT_EQ(target.dwCharSet, 238u);
    EXPECT_EQ(target.bDynamic, 1u);
    for (BYTE b : target.pad1) EXPECT_EQ(b, 0xCD);
    for (BYTE b : target.pad2) EXPECT_EQ(b, 0xCD);

    EXPECT_FALSE(CopyWatermarkRecord(nullptr, &source));
    EXPECT_FALSE(CopyWatermarkRecord(&target, nullptr));
}

TEST(CopyFaxRecord, CopiesFieldsCutsStringsAndLeavesPadding) {
    FaxRecord source;
    std::memset(&source, 0xAB, sizeof source);
    wcscpy(source.szFaxNumber, L"555");
    FillUnterminated(source.szFaxStation, L's');
    wcscpy(source.szRecipientName, L"Ann");
    wcscpy(source.szSenderName, L"Bo");
    FillUnterminated(source.szSenderAddress, L'a');
    wcscpy(source.szReserved, L"r");
    FillUnterminated(source.szSenderEmail, L'e');
    FillUnterminated(source.szComments, L'c');
    wcscpy(source.szSenderCompany, L"Co");
    wcscpy(source.szSenderFax, L"1");
    wcscpy(source.szSenderVoice, L"2");
    source.wFaxResolution = 0;
    source.bFaxCoverPage = 1;
    source.dwCoverParts = 6;

    FaxRecord target;
    std::memset(&target, 0xCD, sizeof target);
    ASSERT_TRUE(CopyFaxRecord(&target, &source));

    EXPECT_STREQ(target.szFaxNumber, L"555");
    EXPECT_EQ(std::wstring(target.szFaxStation), std::wstring(127, L's'));
    EXPECT_STREQ(target.szRecipientName, L"Ann");
    EXPECT_STREQ(target.szSenderName, L"Bo");
    EXPECT_STREQ(target.szSenderCompany, L"Co");
    EXPECT_EQ(std::wstring(target.szSenderAddress), std::wstring(255, L'a'));
    EXPECT_STREQ(target.szReserved, L"r");
    EXPECT_STREQ(target.szSenderFax, L"1");
    EXPECT_STREQ(target.szSenderVoice, L"2");
    EXPECT_EQ(std::wstring(target.szSenderEmail), std::wstring(63, L'e'));
    EXPECT_EQ(std::wstring(target.szComments), std::wstring(1023, L'c'));
    EXPECT_EQ(target.wFaxResolution, 0);
    EXPECT_EQ(target.bFaxCoverPage, 1);
    EXPECT_EQ(target.dwCoverParts, 6u);
    EXPECT_EQ(target.pad1[0], 0xCD);
    EXPECT_EQ(target.pad1[1], 0xCD);

    EXPECT_FALSE(CopyFaxRecord(nullptr, &source));
    EXPECT_FALSE(CopyFaxRecord(&target, nullptr));
}

}  // namespace
