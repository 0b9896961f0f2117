#include "plug-in/inboxui/profiles/store.h"

#include "common/text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using corv::JobSettings;
using corv::ui::RecordsMatch;

JobSettings Defaults() {
    JobSettings r{};
    corv::DefaultRecord(&r);
    return r;
}

struct Change {
    const char* field;
    std::function<void(JobSettings&)> apply;
};

TEST(ProfileRecordComparison, EveryComparedFieldMakesADifference) {
    const std::vector<Change> compared = {
        {"bDiscardOutput", [](JobSettings& r) { r.bDiscardOutput = 1; }},
        {"bBlockAppPostScript", [](JobSettings& r) { r.bBlockAppPostScript = 1; }},
        {"bKeepDuplicateJobs", [](JobSettings& r) { r.bKeepDuplicateJobs = 1; }},
        {"bProfileLoaded", [](JobSettings& r) { r.bProfileLoaded = 1; }},
        {"bRotate180", [](JobSettings& r) { r.bRotate180 = 1; }},
        {"bAccountNumber", [](JobSettings& r) { r.bAccountNumber = 1; }},
        {"bWatermarkPhysicalPage", [](JobSettings& r) { r.bWatermarkPhysicalPage = 0; }},
        {"bWatermarkOnEscape", [](JobSettings& r) { r.bWatermarkOnEscape = 1; }},
        {"bWatermarkOverPage", [](JobSettings& r) { r.bWatermarkOverPage = 1; }},
        {"bWatermarks", [](JobSettings& r) { r.bWatermarks = 1; }},
        {"dwOutputTo", [](JobSettings& r) { r.dwOutputTo = 4; }},
        {"dwWatermarkOrder", [](JobSettings& r) { r.dwWatermarkOrder = 2; }},
        {"wPageSizePolicy", [](JobSettings& r) { r.wPageSizePolicy = 1; }},
        {"bFaxCoverPage", [](JobSettings& r) { r.fax.bFaxCoverPage = 1; }},
        {"wFaxResolution", [](JobSettings& r) { r.fax.wFaxResolution = 1; }},
        {"dwColorCorrection", [](JobSettings& r) { r.dwColorCorrection = 2; }},
        {"dwRgbImage", [](JobSettings& r) { r.dwRgbImage = 1; }},
        {"dwRgbText", [](JobSettings& r) { r.dwRgbText = 1; }},
        {"dwRgbGraphics", [](JobSettings& r) { r.dwRgbGraphics = 1; }},
        {"dwCmykImage", [](JobSettings& r) { r.dwCmykImage = 1; }},
        {"dwCmykText", [](JobSettings& r) { r.dwCmykText = 1; }},
        {"dwCmykGraphics", [](JobSettings& r) { r.dwCmykGraphics = 1; }},
        {"bColorBalance", [](JobSettings& r) { r.bColorBalance = 1; }},
        {"lBalanceCyan", [](JobSettings& r) { r.lBalanceCyan = -2; }},
        {"lBalanceMagenta", [](JobSettings& r) { r.lBalanceMagenta = 3; }},
        {"lBalanceYellow", [](JobSettings& r) { r.lBalanceYellow = 1; }},
        {"lBalanceBlack", [](JobSettings& r) { r.lBalanceBlack = -5; }},
        {"dwPallidor", [](JobSettings& r) { r.dwPallidor = 2; }},
        {"lBrightness", [](JobSettings& r) { r.lBrightness = 4; }},
        {"lContrast", [](JobSettings& r) { r.lContrast = 3; }},
        {"lSaturation", [](JobSettings& r) { r.lSaturation = 5; }},
        {"bGrayCorrection", [](JobSettings& r) { r.bGrayCorrection = 0; }},
        {"bFineLines", [](JobSettings& r) { r.bFineLines = 1; }},
        {"wmFirst.szName", [](JobSettings& r) { corv::CopyText(r.wmFirst.szName, L"Draft"); }},
        {"wmOther.szName", [](JobSettings& r) { corv::CopyText(r.wmOther.szName, L"Draft"); }},
        {"szOutputFile", [](JobSettings& r) { corv::CopyText(r.szOutputFile, L"C:\\out.prn"); }},
        {"szHoldPin", [](JobSettings& r) { corv::CopyText(r.szHoldPin, L"1234"); }},
        {"szHoldUserName", [](JobSettings& r) { corv::CopyText(r.szHoldUserName, L"anna"); }},
        {"szFaxNumber", [](JobSettings& r) { corv::CopyText(r.fax.szFaxNumber, L"555"); }},
        {"szFaxStation", [](JobSettings& r) { corv::CopyText(r.fax.szFaxStation, L"desk"); }},
        {"szRecipientName", [](JobSettings& r) { corv::CopyText(r.fax.szRecipientName, L"Bo"); }},
        {"szSenderName", [](JobSettings& r) { corv::CopyText(r.fax.szSenderName, L"Al"); }},
        {"szSenderCompany", [](JobSettings& r) { corv::CopyText(r.fax.szSenderCompany, L"Co"); }},
        {"szSenderAddress", [](JobSettings& r) { corv::CopyText(r.fax.szSenderAddress, L"Road 1"); }},
        {"szReserved", [](JobSettings& r) { corv::CopyText(r.fax.szReserved, L"x"); }},
        {"szSenderFax", [](JobSettings& r) { corv::CopyText(r.fax.szSenderFax, L"556"); }},
        {"szSenderVoice", [](JobSettings& r) { corv::CopyText(r.fax.szSenderVoice, L"557"); }},
        {"szSenderEmail", [](JobSettings& r) { corv::CopyText(r.fax.szSenderEmail, L"a@b"); }},
        {"szComments", [](JobSettings& r) { corv::CopyText(r.fax.szComments, L"hello"); }},
    };
    const JobSettings base = Defaults();
    ASSERT_TRUE(RecordsMatch(base, base));
    for (const auto& change : compared) {
        JobSettings other = base;
        change.apply(other);
        EXPECT_FALSE(RecordsMatch(base, other)) << change.field;
        EXPECT_FALSE(RecordsMatch(other, base)) << change.field;
    }
}

TEST(ProfileRecordComparison, FieldsOutsideTheComparisonDoNotCount) {
    const std::vector<Change> ignored = {
        {"dwSize", [](JobSettings& r) { r.dwSize = 4000; }},
        {"dwSignature", [](JobSettings& r) { r.dwSignature = 1; }},
        {"dwVersion", [](JobSettings& r) { r.dwVersion = 9; }},
        {"szAccountNumber", [](JobSettings& r) { corv::CopyText(r.szAccountNumber, L"4711"); }},
        {"dwCoverParts", [](JobSettings& r) { r.fax.dwCoverParts = 1; }},
        {"szProfileName", [](JobSettings& r) { corv::CopyText(r.szProfileName, L"Mine"); }},
        {"wmFirst.szText", [](JobSettings& r) { corv::CopyText(r.wmFirst.szText, L"DRAFT"); }},
        {"wmFirst.dblAngle", [](JobSettings& r) { r.wmFirst.dblAngle = 45.0; }},
        {"wmOther.lPointSize", [](JobSettings& r) { r.wmOther.lPointSize = 8; }},
        {"wmOther.szFontName", [](JobSettings& r) { corv::CopyText(r.wmOther.szFontName, L"Courier"); }},
        {"padding", [](JobSettings& r) { r.pad3[0] = 0x5A; }},
    };
    const JobSettings base = Defaults();
    for (const auto& change : ignored) {
        JobSettings other = base;
        change.apply(other);
        EXPECT_TRUE(RecordsMatch(base, other)) << change.field;
    }
}

TEST(ProfileRecordComparison, WatermarkNamesIgnoreCaseOtherTextsDoNot) {
    JobSettings a = Defaults(), b = Defaults();
    corv::CopyText(a.wmFirst.szName, L"Confidential");
    corv::CopyText(b.wmFirst.szName, L"CONFIDENTIAL");
    corv::CopyText(a.wmOther.szName, L"draft");
    corv::CopyText(b.wmOther.szName, L"Draft");
    EXPECT_TRUE(RecordsMatch(a, b));

    corv::CopyText(a.szHoldUserName, L"Anna");
    corv::CopyText(b.szHoldUserName, L"anna");
    EXPECT_FALSE(RecordsMatch(a, b));
    corv::CopyText(b.szHoldUserName, L"Anna");
    corv::CopyText(a.fax.szComments, L"Call me");
    corv::CopyText(b.fax.szComments, L"call me");
    EXPECT_FALSE(RecordsMatch(a, b));
}

TEST(ProfileRecordComparison, UnterminatedTextsCompareWithinTheirArrays) {
    JobSettings a = Defaults(), b = Defaults();
    for (auto& c : a.szHoldPin) c = L'9';
    for (auto& c : b.szHoldPin) c = L'9';
    // The field after the PIN differs: a comparison running past the array would see it.
    a.pad1[0] = 1;
    b.pad1[0] = 2;
    EXPECT_TRUE(RecordsMatch(a, b));
    b.szHoldPin[4] = L'8';
    EXPECT_FALSE(RecordsMatch(a, b));
}

TEST(ProfileFieldSet, EverythingButBlockAppPostScriptWithTextsEndedInTheirArrays) {
    JobSettings source = Defaults();
    source.bBlockAppPostScript = 1;
    source.dwOutputTo = corv::kOutputFax;
    source.fax.dwCoverParts = 3;
    source.lSaturation = 4;
    source.bProfileLoaded = 1;
    corv::CopyText(source.szProfileName, L"Mine");
    corv::CopyText(source.wmOther.szText, L"DRAFT");
    source.wmOther.dblAngle = 30.0;
    for (auto& c : source.szHoldPin) c = L'7';  // no terminator
    for (auto& c : source.szAccountNumber) c = L'1';

    JobSettings target = Defaults();
    corv::CopyProfileFieldSet(&target, &source);
    EXPECT_EQ(target.bBlockAppPostScript, 0);
    EXPECT_EQ(target.dwOutputTo, corv::kOutputFax);
    EXPECT_EQ(target.fax.dwCoverParts, 3u);
    EXPECT_EQ(target.lSaturation, 4);
    EXPECT_EQ(target.bProfileLoaded, 1);
    EXPECT_STREQ(target.szProfileName, L"Mine");
    EXPECT_STREQ(target.wmOther.szText, L"DRAFT");
    EXPECT_EQ(target.wmOther.dblAngle, 30.0);
    EXPECT_STREQ(target.szHoldPin, L"7777");
    EXPECT_STREQ(target.szAccountNumber, std::wstring(16, L'1').c_str());
    EXPECT_TRUE(RecordsMatch(target, [&] {
        JobSettings expected = source;
        expected.bBlockAppPostScript = 0;
        expected.szHoldPin[4] = 0;
        return expected;
    }()));
}

}  // namespace
