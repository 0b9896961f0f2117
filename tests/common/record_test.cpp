#include "common/record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace corv;

namespace {

// A record buffer filled with a byte pattern, so that what an operation leaves alone shows.
struct Filled {
    JobSettings r;
    explicit Filled(BYTE b = 0xCD) { std::memset(&r, b, sizeof r); }
};

std::vector<BYTE> Bytes(const JobSettings& r) {
    auto p = reinterpret_cast<const BYTE*>(&r);
    return {p, p + sizeof r};
}

// Every Validate rule, as a predicate over the repaired record.
void ExpectValid(const JobSettings& r) {
    auto flag = [](BOOL v) { return v == 0 || v == 1; };
    ASSERT_EQ(r.dwSize, kRecordSize);
    ASSERT_EQ(r.dwSignature, kRecordSignature);
    ASSERT_EQ(r.dwVersion, kRecordVersion);
    for (BOOL b : {r.bWatermarks, r.bWatermarkOverPage, r.bRotate180, r.bBlockAppPostScript, r.bAccountNumber,
                   r.fax.bFaxCoverPage, r.bDiscardOutput, r.bKeepDuplicateJobs, r.bWatermarkOnEscape,
                   r.bWatermarkPhysicalPage})
        ASSERT_TRUE(flag(b));
    ASSERT_LE(r.dwWatermarkOrder, 3u);
    ASSERT_LE(r.dwOutputTo, 7u);
    ASSERT_LE(r.wPageSizePolicy, 7u);
    ASSERT_EQ(r.szOutputFile[511], 0);
    ASSERT_EQ(r.szHoldUserName[24], 0);
    ASSERT_EQ(r.szHoldPin[4], 0);
    ASSERT_EQ(r.szAccountNumber[16], 0);
    ASSERT_EQ(r.fax.szFaxNumber[127], 0);
    ASSERT_EQ(r.fax.szFaxStation[127], 0);
    ASSERT_EQ(r.fax.szRecipientName[127], 0);
    ASSERT_EQ(r.fax.szSenderName[127], 0);
    ASSERT_EQ(r.fax.szSenderCompany[127], 0);
    ASSERT_EQ(r.fax.szSenderAddress[255], 0);
    ASSERT_EQ(r.fax.szReserved[255], 0);
    ASSERT_EQ(r.fax.szSenderFax[63], 0);
    ASSERT_EQ(r.fax.szSenderVoice[63], 0);
    ASSERT_EQ(r.fax.szSenderEmail[63], 0);
    ASSERT_EQ(r.fax.szComments[1023], 0);
    ASSERT_EQ(r.fax.wFaxResolution, 0);
    ASSERT_LE(r.fax.dwCoverParts, 7u);
    ASSERT_LE(r.dwColorCorrection, 4u);
    for (DWORD v : {r.dwRgbImage, r.dwRgbText, r.dwRgbGraphics, r.dwCmykImage, r.dwCmykText, r.dwCmykGraphics})
        ASSERT_LE(v, 5u);
    ASSERT_LE(r.bColorBalance, 1u);
    for (LONG v : {r.lBalanceCyan, r.lBalanceMagenta, r.lBalanceYellow, r.lBalanceBlack}) {
        ASSERT_GE(v, -5);
        ASSERT_LE(v, 5);
    }
    ASSERT_LE(r.dwPallidor, 2u);
    ASSERT_GE(r.lBrightness, -6);
    ASSERT_LE(r.lBrightness, 6);
    ASSERT_GE(r.lContrast, 0);
    ASSERT_LE(r.lContrast, 5);
    ASSERT_GE(r.lSaturation, 0);
    ASSERT_LE(r.lSaturation, 5);
    for (const WatermarkRecord* wm : {&r.wmFirst, &r.wmOther}) {
        ASSERT_EQ(wm->szName[127], 0);
        ASSERT_EQ(wm->szText[127], 0);
        ASSERT_EQ(wm->szFontName[63], 0);
        ASSERT_TRUE(wm->dblAngle >= -180.0 && wm->dblAngle <= 180.0);
        ASSERT_LE(wm->dwStyle, 3u);
        ASSERT_LE(wm->dwEffects, 7u);
        ASSERT_GE(wm->wIntensity, 1);
        ASSERT_LE(wm->wIntensity, 100);
        ASSERT_LE(wm->dwPosition, 8u);
        ASSERT_LE(wm->bInches, 1);
    }
}

JobSettings Defaults() {
    Filled f(0);
    DefaultRecord(&f.r);
    return f.r;
}

HRESULT Merge(JobSettings* in, JobSettings* out) {
    OEMDMPARAM p{};
    p.cbSize = sizeof p;
    p.pOEMDMIn = in;
    p.pOEMDMOut = out;
    p.cbBufSize = kRecordSize;
    return RecordDevMode(OEMDM_MERGE, &p);
}

}  // namespace

TEST(RecordDefault, WritesEveryTableDefault) {
    Filled f;
    ASSERT_TRUE(DefaultRecord(&f.r));
    const JobSettings& r = f.r;
    EXPECT_EQ(r.dwSize, 7672u);
    EXPECT_EQ(std::memcmp(&r.dwSignature, "VRTQ", 4), 0);
    EXPECT_EQ(r.dwVersion, 10u);
    EXPECT_EQ(r.bWatermarks, 0);
    EXPECT_EQ(r.dwWatermarkOrder, 0u);
    for (const WatermarkRecord* wm : {&r.wmFirst, &r.wmOther}) {
        EXPECT_EQ(wm->szName[0], 0);
        EXPECT_EQ(wm->szText[0], 0);
        EXPECT_STREQ(wm->szFontName, L"Arial");
        EXPECT_EQ(wm->dblAngle, 0.0);
        EXPECT_EQ(wm->lPointSize, 72);
        EXPECT_EQ(wm->dwStyle, 0u);
        EXPECT_EQ(wm->dwEffects, 0u);
        EXPECT_EQ(wm->wIntensity, 100);
        EXPECT_EQ(wm->dwPosition, 0u);
        EXPECT_EQ(wm->bInches, 1);
        EXPECT_EQ(wm->dblOffsetX, 0.0);
        EXPECT_EQ(wm->dblOffsetY, 0.0);
        EXPECT_EQ(wm->dwCharSet, 0u);
        EXPECT_EQ(wm->bDynamic, 0u);
        EXPECT_EQ(wm->rgbColor[0] | wm->rgbColor[1] | wm->rgbColor[2] | wm->rgbColor[3], 0);
    }
    EXPECT_EQ(r.bRotate180, 0);
    EXPECT_EQ(r.dwOutputTo, 0u);
    EXPECT_EQ(r.wPageSizePolicy, 2);
    EXPECT_EQ(r.szOutputFile[0], 0);
    EXPECT_EQ(r.szHoldUserName[0], 0);
    EXPECT_EQ(r.szHoldPin[0], 0);
    EXPECT_EQ(r.bBlockAppPostScript, 0);
    EXPECT_EQ(r.bWatermarkPhysicalPage, 1);
    EXPECT_EQ(r.bAccountNumber, 0);
    EXPECT_EQ(r.szAccountNumber[0], 0);
    EXPECT_EQ(r.bDiscardOutput, 0);
    EXPECT_EQ(r.fax.szFaxNumber[0], 0);
    EXPECT_EQ(r.fax.szComments[0], 0);
    EXPECT_EQ(r.fax.wFaxResolution, 0);
    EXPECT_EQ(r.fax.bFaxCoverPage, 0);
    EXPECT_EQ(r.fax.dwCoverParts, 7u);
    auto colour = reinterpret_cast<const BYTE*>(&r) + kColorBlockOffset;
    for (size_t i = 0; i < kColorBlockSize; ++i) ASSERT_EQ(colour[i], 0) << i;
    EXPECT_EQ(r.bKeepDuplicateJobs, 0);
    EXPECT_EQ(r.bWatermarkOnEscape, 0);
    EXPECT_EQ(r.lBrightness, 0);
    EXPECT_EQ(r.lContrast, 0);
    EXPECT_EQ(r.bGrayCorrection, 1);
    EXPECT_EQ(r.bFineLines, 0);
}

TEST(RecordDefault, LeavesTheUnwrittenFieldsAndPaddingAlone) {
    Filled f(0xCD);
    DefaultRecord(&f.r);
    auto b = Bytes(f.r);
    auto allCD = [&](size_t offset, size_t size) {
        for (size_t i = offset; i < offset + size; ++i)
            if (b[i] != 0xCD) return false;
        return true;
    };
    EXPECT_TRUE(allCD(20, 4));      // bWatermarkOverPage
    EXPECT_TRUE(allCD(7388, 256));  // szProfileName
    EXPECT_TRUE(allCD(7644, 4));    // bProfileLoaded
    EXPECT_TRUE(allCD(7656, 4));    // lSaturation
    EXPECT_TRUE(allCD(2526, 2));
    EXPECT_TRUE(allCD(2574, 2));
    EXPECT_TRUE(allCD(7668, 4));
    EXPECT_TRUE(allCD(24 + 666, 2));
    EXPECT_TRUE(allCD(24 + 673, 7));
    // An empty string is one NUL; the rest of the array is untouched.
    EXPECT_EQ(b[1442], 0);
    EXPECT_EQ(b[1443], 0);
    EXPECT_TRUE(allCD(1444, 4));
    EXPECT_FALSE(DefaultRecord(nullptr));
}

TEST(RecordConvert, ForeignSignatureGivesDefaults) {
    JobSettings src = Defaults();
    src.dwSignature = 0x12345678;
    src.lBrightness = 3;
    JobSettings dst = Defaults();
    dst.lBrightness = 5;
    ASSERT_TRUE(ConvertRecord(&src, &dst));
    EXPECT_EQ(dst.lBrightness, 0);
    EXPECT_EQ(dst.dwSize, 7672u);
    EXPECT_EQ(dst.dwSignature, kRecordSignature);
    EXPECT_EQ(dst.dwVersion, 10u);
}

TEST(RecordConvert, ComparesWithTheDestinationsSignatureNotTheConstant) {
    // Both carry the same foreign signature: the source is copied, the signature kept.
    JobSettings src = Defaults(), dst = Defaults();
    src.dwSignature = dst.dwSignature = 0xAABBCCDD;
    src.lContrast = 4;
    src.dwVersion = 7;
    ConvertRecord(&src, &dst);
    EXPECT_EQ(dst.lContrast, 4);
    EXPECT_EQ(dst.dwSignature, 0xAABBCCDDu);
    EXPECT_EQ(dst.dwVersion, 10u);
}

TEST(RecordConvert, ShorterRecordKeepsItsBytesAndDefaultsTheRest) {
    Filled src(0x01);
    src.r.dwSize = 4000;
    src.r.dwSignature = kRecordSignature;
    JobSettings dst = Defaults();
    ConvertRecord(&src.r, &dst);
    auto b = Bytes(dst);
    for (size_t i = 12; i < 4000; ++i) ASSERT_EQ(b[i], 0x01) << i;
    EXPECT_EQ(dst.bGrayCorrection, 1);
    EXPECT_EQ(dst.fax.dwCoverParts, 7u);
    EXPECT_EQ(dst.dwSize, 7672u);
    EXPECT_EQ(dst.dwVersion, 10u);
}

TEST(RecordConvert, LongerRecordIsCutAtItsSize) {
    // The source claims 9000 bytes; only 7672 may be read, so the buffer is exactly a record.
    Filled src(0x02);
    src.r.dwSize = 9000;
    src.r.dwSignature = kRecordSignature;
    JobSettings dst = Defaults();
    ConvertRecord(&src.r, &dst);
    EXPECT_EQ(dst.dwSize, 7672u);
    EXPECT_EQ(dst.bFineLines, 0x02020202);
}

TEST(RecordConvert, SameBufferAsSourceAndDestinationKeepsTheRecord) {
    JobSettings r = Defaults();
    r.lBrightness = 4;
    r.dwOutputTo = kOutputFax;
    ASSERT_TRUE(ConvertRecord(&r, &r));
    EXPECT_EQ(r.lBrightness, 4);
    EXPECT_EQ(r.dwOutputTo, kOutputFax);
}

TEST(RecordConvert, RefusesNullPointers) {
    JobSettings r = Defaults();
    EXPECT_FALSE(ConvertRecord(nullptr, &r));
    EXPECT_FALSE(ConvertRecord(&r, nullptr));
    EXPECT_FALSE(ValidateRecord(nullptr));
}

TEST(RecordValidate, RepairsOutOfRangeFields) {
    JobSettings in = Defaults(), out = Defaults();
    in.dwOutputTo = 9;
    in.wPageSizePolicy = 8;
    in.fax.dwCoverParts = 12;
    in.lBrightness = -7;
    in.bWatermarkPhysicalPage = 2;
    in.bWatermarks = 2;
    in.wmFirst.dblAngle = 180.0;
    in.wmOther.dblAngle = 180.5;
    in.wmFirst.wIntensity = 0;
    in.wmFirst.dwEffects = 9;
    in.wmFirst.dwStyle = 3;
    in.dwColorCorrection = static_cast<DWORD>(-1);  // negative counts as large
    in.lBalanceCyan = 6;
    in.lBalanceBlack = -5;
    in.lContrast = 6;
    in.lSaturation = -1;
    in.wmOther.bInches = 2;
    in.wmOther.dwPosition = 9;
    in.fax.wFaxResolution = 1;
    in.dwPallidor = 3;
    in.bColorBalance = 2;
    ASSERT_EQ(Merge(&in, &out), S_OK);
    EXPECT_EQ(out.dwOutputTo, 0u);
    EXPECT_EQ(out.wPageSizePolicy, 2);
    EXPECT_EQ(out.fax.dwCoverParts, 7u);
    EXPECT_EQ(out.lBrightness, 0);
    EXPECT_EQ(out.bWatermarkPhysicalPage, 1);
    EXPECT_EQ(out.bWatermarks, 0);
    EXPECT_EQ(out.wmFirst.dblAngle, 180.0);
    EXPECT_EQ(out.wmOther.dblAngle, 0.0);
    EXPECT_EQ(out.wmFirst.wIntensity, 100);
    EXPECT_EQ(out.wmFirst.dwEffects, 0u);
    EXPECT_EQ(out.wmFirst.dwStyle, 3u);
    EXPECT_EQ(out.dwColorCorrection, 0u);
    EXPECT_EQ(out.lBalanceCyan, 0);
    EXPECT_EQ(out.lBalanceBlack, -5);
    EXPECT_EQ(out.lContrast, 0);
    EXPECT_EQ(out.lSaturation, 0);
    EXPECT_EQ(out.wmOther.bInches, 1);
    EXPECT_EQ(out.wmOther.dwPosition, 0u);
    EXPECT_EQ(out.fax.wFaxResolution, 0);
    EXPECT_EQ(out.dwPallidor, 0u);
    EXPECT_EQ(out.bColorBalance, 0u);
}

TEST(RecordValidate, CutsUnterminatedStringsAtTheirLastUnit) {
    JobSettings in = Defaults(), out = Defaults();
    for (auto& c : in.szAccountNumber) c = L'7';  // 17 characters, no terminator
    ASSERT_EQ(Merge(&in, &out), S_OK);
    EXPECT_EQ(std::wstring(out.szAccountNumber), std::wstring(16, L'7'));
}

TEST(RecordValidate, LeavesUncheckedFieldsAlone) {
    JobSettings r = Defaults();
    r.wmFirst.lPointSize = -5;
    r.wmFirst.dblOffsetX = 1e9;
    r.wmFirst.dwCharSet = 999;
    r.wmFirst.bDynamic = 5;
    r.bGrayCorrection = 7;
    r.bFineLines = 9;
    r.bProfileLoaded = 3;
    r.wmFirst.rgbColor[3] = 0x55;
    ValidateRecord(&r);
    EXPECT_EQ(r.wmFirst.lPointSize, -5);
    EXPECT_EQ(r.wmFirst.dblOffsetX, 1e9);
    EXPECT_EQ(r.wmFirst.dwCharSet, 999u);
    EXPECT_EQ(r.wmFirst.bDynamic, 5u);
    EXPECT_EQ(r.bGrayCorrection, 7);
    EXPECT_EQ(r.bFineLines, 9);
    EXPECT_EQ(r.bProfileLoaded, 3);
    EXPECT_EQ(r.wmFirst.rgbColor[3], 0x55);
}

TEST(RecordValidate, ANanAngleIsNoAngle) {
    JobSettings r = Defaults();
    r.wmFirst.dblAngle = std::numeric_limits<double>::quiet_NaN();
    ValidateRecord(&r);
    EXPECT_EQ(r.wmFirst.dblAngle, 0.0);
}

TEST(RecordDevMode, ModesAndErrors) {
    OEMDMPARAM p{};
    EXPECT_EQ(RecordDevMode(OEMDM_SIZE, &p), S_OK);
    EXPECT_EQ(p.cbBufSize, 7672u);
    for (DWORD mode : {0u, 5u}) {
        SetLastError(0);
        EXPECT_EQ(RecordDevMode(mode, &p), E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    SetLastError(0);
    EXPECT_EQ(RecordDevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // A refused null record inside a known mode is still S_OK.
    EXPECT_EQ(RecordDevMode(OEMDM_DEFAULT, &p), S_OK);
    EXPECT_EQ(RecordDevMode(OEMDM_CONVERT, &p), S_OK);
    EXPECT_EQ(RecordDevMode(OEMDM_MERGE, &p), S_OK);

    Filled out;
    p.pOEMDMOut = &out.r;
    EXPECT_EQ(RecordDevMode(OEMDM_DEFAULT, &p), S_OK);
    EXPECT_EQ(out.r.dwSize, 7672u);
    EXPECT_EQ(out.r.wPageSizePolicy, 2);
}

TEST(RecordMerge, RandomBuffersAlwaysComeOutValidAndValidateIsIdempotent) {
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 5000; ++round) {
        Filled in, out;
        auto p = reinterpret_cast<BYTE*>(&in.r);
        for (size_t i = 0; i < sizeof in.r; ++i) p[i] = static_cast<BYTE>(byte(rng));
        auto q = reinterpret_cast<BYTE*>(&out.r);
        for (size_t i = 0; i < sizeof out.r; ++i) q[i] = static_cast<BYTE>(byte(rng));
        // Half the rounds share the signature, so the random bytes reach Validate.
        if (round % 2 == 0) in.r.dwSignature = out.r.dwSignature;
        ASSERT_EQ(Merge(&in.r, &out.r), S_OK);
        ExpectValid(out.r);
        auto once = Bytes(out.r);
        ValidateRecord(&out.r);
        ASSERT_EQ(Bytes(out.r), once) << "round " << round;
    }
}
