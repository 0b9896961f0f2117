#include "host/kit/fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using corv::JobSettings;
using corv::WatermarkRecord;
using corv::FaxRecord;
using namespace corv::host;

struct Member {
    size_t offset, size;
};

#define MEMBER(type, name) {#name, {offsetof(type, name), sizeof(type::name)}}

const std::map<std::string, Member> kRecordMembers = {
    MEMBER(JobSettings, dwSize), MEMBER(JobSettings, dwSignature), MEMBER(JobSettings, dwVersion),
    MEMBER(JobSettings, bWatermarks), MEMBER(JobSettings, dwWatermarkOrder), MEMBER(JobSettings, bWatermarkOverPage),
    MEMBER(JobSettings, wmFirst), MEMBER(JobSettings, wmOther), MEMBER(JobSettings, bRotate180),
    MEMBER(JobSettings, dwOutputTo), MEMBER(JobSettings, wPageSizePolicy), MEMBER(JobSettings, szOutputFile),
    MEMBER(JobSettings, szHoldUserName), MEMBER(JobSettings, szHoldPin), MEMBER(JobSettings, bBlockAppPostScript),
    MEMBER(JobSettings, bWatermarkPhysicalPage), MEMBER(JobSettings, bAccountNumber),
    MEMBER(JobSettings, szAccountNumber), MEMBER(JobSettings, bDiscardOutput), MEMBER(JobSettings, fax),
    MEMBER(JobSettings, dwColorCorrection), MEMBER(JobSettings, dwRgbImage), MEMBER(JobSettings, dwRgbText),
    MEMBER(JobSettings, dwRgbGraphics), MEMBER(JobSettings, dwCmykImage), MEMBER(JobSettings, dwCmykText),
    MEMBER(JobSettings, dwCmykGraphics), MEMBER(JobSettings, bColorBalance), MEMBER(JobSettings, lBalanceCyan),
    MEMBER(JobSettings, lBalanceMagenta), MEMBER(JobSettings, lBalanceYellow), MEMBER(JobSettings, lBalanceBlack),
    MEMBER(JobSettings, dwPallidor), MEMBER(JobSettings, bKeepDuplicateJobs), MEMBER(JobSettings, bWatermarkOnEscape),
    MEMBER(JobSettings, szProfileName), MEMBER(JobSettings, bProfileLoaded), MEMBER(JobSettings, lBrightness),
    MEMBER(JobSettings, lContrast), MEMBER(JobSettings, lSaturation), MEMBER(JobSettings, bGrayCorrection),
    MEMBER(JobSettings, bFineLines),
};

const std::map<std::string, Member> kWatermarkMembers = {
    MEMBER(WatermarkRecord, szName), MEMBER(WatermarkRecord, szText), MEMBER(WatermarkRecord, dblAngle),
    MEMBER(WatermarkRecord, rgbColor), MEMBER(WatermarkRecord, szFontName), MEMBER(WatermarkRecord, lPointSize),
    MEMBER(WatermarkRecord, dwStyle), MEMBER(WatermarkRecord, dwEffects), MEMBER(WatermarkRecord, wIntensity),
    MEMBER(WatermarkRecord, dwPosition), MEMBER(WatermarkRecord, bInches), MEMBER(WatermarkRecord, dblOffsetY),
    MEMBER(WatermarkRecord, dblOffsetX), MEMBER(WatermarkRecord, dwCharSet), MEMBER(WatermarkRecord, bDynamic),
};

const std::map<std::string, Member> kFaxMembers = {
    MEMBER(FaxRecord, szFaxNumber), MEMBER(FaxRecord, szFaxStation), MEMBER(FaxRecord, wFaxResolution),
    MEMBER(FaxRecord, bFaxCoverPage), MEMBER(FaxRecord, szRecipientName), MEMBER(FaxRecord, szSenderName),
    MEMBER(FaxRecord, szSenderCompany), MEMBER(FaxRecord, szSenderAddress), MEMBER(FaxRecord, szReserved),
    MEMBER(FaxRecord, szSenderFax), MEMBER(FaxRecord, szSenderVoice), MEMBER(FaxRecord, szSenderEmail),
    MEMBER(FaxRecord, szComments), MEMBER(FaxRecord, dwCoverParts),
};

void ExpectTableMatchesCompiler(const FieldTable& table, const std::map<std::string, Member>& members,
                                size_t recordSize) {
    EXPECT_EQ(table.size, recordSize);
    EXPECT_EQ(table.count, members.size()) << "every named member has exactly one entry";
    for (const FieldInfo& f : table) {
        auto it = members.find(f.name);
        ASSERT_NE(it, members.end()) << f.name << " is not a member";
        EXPECT_EQ(f.offset, it->second.offset) << f.name;
        EXPECT_EQ(f.size, it->second.size) << f.name;
    }
}

// The bytes no entry covers, as [begin, end) ranges: they must be exactly the record's padding.
std::vector<std::pair<size_t, size_t>> Gaps(const FieldTable& table) {
    std::vector<std::pair<size_t, size_t>> spans;
    for (const FieldInfo& f : table) spans.push_back({f.offset, f.offset + f.size});
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<size_t, size_t>> gaps;
    size_t at = 0;
    for (auto [b, e] : spans) {
        EXPECT_GE(b, at) << "entries overlap at " << b;
        if (b > at) gaps.push_back({at, b});
        at = std::max(at, e);
    }
    if (at < table.size) gaps.push_back({at, table.size});
    return gaps;
}

using Spans = std::vector<std::pair<size_t, size_t>>;

TEST(FieldTable, AgreesWithTheCompilersLayout) {
    ExpectTableMatchesCompiler(JobSettingsFields(), kRecordMembers, sizeof(JobSettings));
    ExpectTableMatchesCompiler(WatermarkFields(), kWatermarkMembers, sizeof(WatermarkRecord));
    ExpectTableMatchesCompiler(FaxFields(), kFaxMembers, sizeof(FaxRecord));
}

TEST(FieldTable, LeavesOnlyThePaddingUncovered) {
    EXPECT_EQ(Gaps(JobSettingsFields()), (Spans{{2526, 2528}, {2574, 2576}, {7668, 7672}}));
    EXPECT_EQ(Gaps(WatermarkFields()), (Spans{{666, 668}, {673, 680}}));
    EXPECT_EQ(Gaps(FaxFields()), (Spans{{514, 516}}));
}

TEST(FieldTable, TypesMatchTheMembersWidths) {
    for (const FieldTable* table : {&JobSettingsFields(), &WatermarkFields(), &FaxFields()})
        for (const FieldInfo& f : *table) {
            switch (f.type) {
                case FieldType::U8: EXPECT_EQ(f.size, 1u) << f.name; break;
                case FieldType::U16: EXPECT_EQ(f.size, 2u) << f.name; break;
                case FieldType::U32:
                case FieldType::I32: EXPECT_EQ(f.size, 4u) << f.name; break;
                case FieldType::F64: EXPECT_EQ(f.size, 8u) << f.name; break;
                case FieldType::Text: EXPECT_EQ(f.size % 2, 0u) << f.name; break;
                case FieldType::Bytes: EXPECT_EQ(f.size, 4u) << f.name; break;
                case FieldType::Record: ASSERT_NE(f.record, nullptr) << f.name; EXPECT_EQ(f.record->size, f.size); break;
            }
        }
}

class SetFieldTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(corv::DefaultRecord(&record)); }
    JobSettings record{};
    std::string error;
};

TEST_F(SetFieldTest, StoresNumbersOfEveryWidth) {
    ASSERT_TRUE(ApplySetting(&record, L"dwOutputTo=4", &error)) << error;
    ASSERT_TRUE(ApplySetting(&record, L"wPageSizePolicy=7", &error)) << error;
    ASSERT_TRUE(ApplySetting(&record, L"lBalanceCyan=-5", &error)) << error;
    ASSERT_TRUE(ApplySetting(&record, L"wmFirst.bInches=0", &error)) << error;
    ASSERT_TRUE(ApplySetting(&record, L"wmOther.dblAngle=-45.5", &error)) << error;
    ASSERT_TRUE(ApplySetting(&record, L"fax.dwCoverParts=0x5", &error)) << error;
    EXPECT_EQ(record.dwOutputTo, 4u);
    EXPECT_EQ(record.wPageSizePolicy, 7);
    EXPECT_EQ(record.lBalanceCyan, -5);
    EXPECT_EQ(record.wmFirst.bInches, 0);
    EXPECT_EQ(record.wmOther.dblAngle, -45.5);
    EXPECT_EQ(record.wmFirst.dblAngle, 0.0) << "the other watermark is untouched";
    EXPECT_EQ(record.fax.dwCoverParts, 5u);
}

TEST_F(SetFieldTest, StoresWhatAForeignRecordCouldHold) {
    ASSERT_TRUE(ApplySetting(&record, L"dwOutputTo=-1", &error)) << error;
    EXPECT_EQ(record.dwOutputTo, 0xFFFFFFFFu);
    ASSERT_TRUE(ApplySetting(&record, L"wmFirst.wIntensity=65535", &error)) << error;
    EXPECT_EQ(record.wmFirst.wIntensity, 65535);
    ASSERT_TRUE(ApplySetting(&record, L"bWatermarks=2", &error)) << error;
    EXPECT_EQ(record.bWatermarks, 2);
}

TEST_F(SetFieldTest, StoresTextsTerminated) {
    ASSERT_TRUE(ApplySetting(&record, L"szHoldPin=1234", &error)) << error;
    ASSERT_TRUE(ApplySetting(&record, L"fax.szFaxNumber=+49 30 1234", &error)) << error;
    ASSERT_TRUE(ApplySetting(&record, L"wmFirst.szText=Entwurf = Draft \u00fc", &error)) << error;
    EXPECT_STREQ(record.szHoldPin, L"1234");
    EXPECT_STREQ(record.fax.szFaxNumber, L"+49 30 1234");
    EXPECT_STREQ(record.wmFirst.szText, L"Entwurf = Draft \u00fc") << "only the first '=' separates";
    ASSERT_TRUE(ApplySetting(&record, L"szHoldPin=", &error)) << error;
    EXPECT_STREQ(record.szHoldPin, L"");
}

TEST_F(SetFieldTest, StoresColours) {
    ASSERT_TRUE(ApplySetting(&record, L"wmFirst.rgbColor=255,128,0", &error)) << error;
    EXPECT_EQ(0, std::memcmp(record.wmFirst.rgbColor, "\xff\x80\x00\x00", 4));
    ASSERT_TRUE(ApplySetting(&record, L"wmOther.rgbColor=0x102030", &error)) << error;
    EXPECT_EQ(0, std::memcmp(record.wmOther.rgbColor, "\x10\x20\x30\x00", 4));
}

TEST_F(SetFieldTest, RefusesBadInputAndLeavesTheRecordAsItWas) {
    JobSettings before = record;
    const wchar_t* bad[] = {
        L"noSuchField=1",           L"wmFirst=1",         L"wmFirst.noSuch=1",   L"dwOutputTo.x=1",
        L"wPageSizePolicy=65536",   L"wmFirst.bInches=256", L"dwOutputTo=0x100000000", L"dwOutputTo=12abc",
        L"dwOutputTo=",             L"szHoldPin=12345",   L"wmFirst.dblAngle=ten", L"wmFirst.rgbColor=1,2",
        L"wmFirst.rgbColor=1,2,300", L"=3",               L"dwOutputTo",
    };
    for (const wchar_t* assignment : bad) {
        error.clear();
        EXPECT_FALSE(ApplySetting(&record, assignment, &error)) << std::string(assignment, assignment + wcslen(assignment));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(0, std::memcmp(&before, &record, sizeof record));
}

TEST_F(SetFieldTest, FormatsWhatItStores) {
    const wchar_t* settings[] = {L"dwOutputTo=3",    L"lBrightness=-6",       L"wmFirst.dblAngle=12.5",
                                 L"fax.szFaxStation=Desk 4", L"wmOther.rgbColor=1,2,3", L"wPageSizePolicy=0"};
    for (const wchar_t* s : settings) {
        ASSERT_TRUE(ApplySetting(&record, s, &error)) << error;
        std::wstring assignment(s);
        size_t eq = assignment.find(L'=');
        FieldRef ref;
        ASSERT_TRUE(FindField(std::string(assignment.begin(), assignment.begin() + eq), &ref));
        EXPECT_EQ(FormatField(record, ref), assignment.substr(eq + 1));
    }
}

TEST(FindField, ResolvesNestedNamesToRecordOffsets) {
    FieldRef ref;
    ASSERT_TRUE(FindField("wmOther.szText", &ref));
    EXPECT_EQ(ref.offset, offsetof(JobSettings, wmOther) + offsetof(WatermarkRecord, szText));
    ASSERT_TRUE(FindField("fax.szComments", &ref));
    EXPECT_EQ(ref.offset, offsetof(JobSettings, fax) + offsetof(FaxRecord, szComments));
    EXPECT_EQ(ref.info->size, sizeof(FaxRecord::szComments));
    EXPECT_FALSE(FindField("fax", &ref));
    EXPECT_FALSE(FindField("fax.", &ref));
    EXPECT_FALSE(FindField("", &ref));
}

}  // namespace
