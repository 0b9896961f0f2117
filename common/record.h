// The job settings record: the private part both plug-ins append to the printer's DEVMODE.
// It is stored by the driver and the spooler, exchanged between the plug-ins and kept in
// personal profiles, so its layout is fixed to the byte.
#pragma once

#include "common/platform/oemintf.h"

#include <cstddef>
#include <cstdint>

namespace corv {

inline constexpr DWORD kRecordSize = 7672;
inline constexpr DWORD kRecordSignature = 0x51545256;  // the bytes "VRTQ"
inline constexpr DWORD kRecordVersion = 10;

enum OutputTo : DWORD {
    kOutputPrinter = 0,
    kOutputFile = 1,
    kOutputEps = 2,
    kOutputFax = 3,
    kOutputConfidential = 4,
    kOutputReserve = 5,
    kOutputRepeat = 6,
    kOutputVerify = 7,
};

struct WatermarkRecord {
    WCHAR szName[128];
    WCHAR szText[128];
    double dblAngle;
    BYTE rgbColor[4];  // red, green, blue, 0
    WCHAR szFontName[64];
    LONG lPointSize;
    DWORD dwStyle;    // 0 regular, 1 italic, 2 bold, 3 bold italic
    DWORD dwEffects;  // bit 0 strikeout, bit 1 underline, bit 2 outline
    WORD wIntensity;  // percent, 1..100
    BYTE pad1[2];
    DWORD dwPosition;
    BYTE bInches;
    BYTE pad2[7];
    double dblOffsetY;
    double dblOffsetX;
    DWORD dwCharSet;
    DWORD bDynamic;
};

struct FaxRecord {
    WCHAR szFaxNumber[128];
    WCHAR szFaxStation[128];
    WORD wFaxResolution;
    BYTE pad1[2];
    BOOL bFaxCoverPage;
    WCHAR szRecipientName[128];
    // From here to the end: the cover page block the UI copies as a unit.
    WCHAR szSenderName[128];
    WCHAR szSenderCompany[128];
    WCHAR szSenderAddress[256];
    WCHAR szReserved[256];
    WCHAR szSenderFax[64];
    WCHAR szSenderVoice[64];
    WCHAR szSenderEmail[64];
    WCHAR szComments[1024];
    DWORD dwCoverParts;  // bit 0 recipient, bit 1 sender, bit 2 comments
};

struct JobSettings {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
    BOOL bWatermarks;
    DWORD dwWatermarkOrder;
    BOOL bWatermarkOverPage;
    WatermarkRecord wmFirst;
    WatermarkRecord wmOther;
    BOOL bRotate180;
    DWORD dwOutputTo;
    WORD wPageSizePolicy;
    WCHAR szOutputFile[512];
    WCHAR szHoldUserName[25];
    WCHAR szHoldPin[5];
    BYTE pad1[2];
    BOOL bBlockAppPostScript;
    BOOL bWatermarkPhysicalPage;
    BOOL bAccountNumber;
    WCHAR szAccountNumber[17];
    BYTE pad2[2];
    BOOL bDiscardOutput;
    FaxRecord fax;
    // The colour block: thirteen fields the UI copies as a unit.
    DWORD dwColorCorrection;
    DWORD dwRgbImage;
    DWORD dwRgbText;
    DWORD dwRgbGraphics;
    DWORD dwCmykImage;
    DWORD dwCmykText;
    DWORD dwCmykGraphics;
    DWORD bColorBalance;
    LONG lBalanceCyan;
    LONG lBalanceMagenta;
    LONG lBalanceYellow;
    LONG lBalanceBlack;
    DWORD dwPallidor;
    // End of the colour block.
    BOOL bKeepDuplicateJobs;
    BOOL bWatermarkOnEscape;
    WCHAR szProfileName[128];
    BOOL bProfileLoaded;
    LONG lBrightness;
    LONG lContrast;
    LONG lSaturation;
    BOOL bGrayCorrection;
    BOOL bFineLines;
    BYTE pad3[4];
};

inline constexpr size_t kColorBlockOffset = 7328;
inline constexpr size_t kColorBlockSize = 52;
inline constexpr size_t kCoverBlockOffset = 776;  // within the fax record
inline constexpr size_t kCoverBlockSize = 3972;

// Fills one watermark record with its defaults; padding is left as it is.
void InitWatermarkRecord(WatermarkRecord* wm);

// Sets the last unit of every string array, so a record from elsewhere reads as terminated.
void TerminateStrings(WatermarkRecord& wm);
void TerminateStrings(FaxRecord& fax);

bool DefaultRecord(JobSettings* record);
bool ConvertRecord(const JobSettings* source, JobSettings* destination);
bool ValidateRecord(JobSettings* record);
// Convert, then validate: what the driver's merge of a record from elsewhere does, and the repair
// of any record that comes from outside the plug-ins (a stored profile, for one).
bool MergeRecord(const JobSettings* source, JobSettings* destination);

// Field-by-field copies: every string ends within its array (a source string without terminator
// is cut at the array's last unit) and padding is not copied.
bool CopyWatermarkRecord(WatermarkRecord* target, const WatermarkRecord* source);
bool CopyFaxRecord(FaxRecord* target, const FaxRecord* source);

// The profile field set: every field but bBlockAppPostScript, strings as terminated strings
// within their arrays. Loading a personal profile and applying the working copy use it.
void CopyProfileFieldSet(JobSettings* target, const JobSettings* source);

// The DevMode method both plug-in objects share.
HRESULT RecordDevMode(DWORD mode, POEMDMPARAM param);

static_assert(sizeof(WatermarkRecord) == 704);
static_assert(alignof(WatermarkRecord) == 8);
static_assert(offsetof(WatermarkRecord, szText) == 256);
static_assert(offsetof(WatermarkRecord, dblAngle) == 512);
static_assert(offsetof(WatermarkRecord, rgbColor) == 520);
static_assert(offsetof(WatermarkRecord, szFontName) == 524);
static_assert(offsetof(WatermarkRecord, lPointSize) == 652);
static_assert(offsetof(WatermarkRecord, dwStyle) == 656);
static_assert(offsetof(WatermarkRecord, dwEffects) == 660);
static_assert(offsetof(WatermarkRecord, wIntensity) == 664);
static_assert(offsetof(WatermarkRecord, dwPosition) == 668);
static_assert(offsetof(WatermarkRecord, bInches) == 672);
static_assert(offsetof(WatermarkRecord, dblOffsetY) == 680);
static_assert(offsetof(WatermarkRecord, dblOffsetX) == 688);
static_assert(offsetof(WatermarkRecord, dwCharSet) == 696);
static_assert(offsetof(WatermarkRecord, bDynamic) == 700);

static_assert(sizeof(FaxRecord) == 4748);
static_assert(offsetof(FaxRecord, szFaxStation) == 256);
static_assert(offsetof(FaxRecord, wFaxResolution) == 512);
static_assert(offsetof(FaxRecord, bFaxCoverPage) == 516);
static_assert(offsetof(FaxRecord, szRecipientName) == 520);
static_assert(offsetof(FaxRecord, szSenderName) == 776);
static_assert(offsetof(FaxRecord, szSenderCompany) == 1032);
static_assert(offsetof(FaxRecord, szSenderAddress) == 1288);
static_assert(offsetof(FaxRecord, szReserved) == 1800);
static_assert(offsetof(FaxRecord, szSenderFax) == 2312);
static_assert(offsetof(FaxRecord, szSenderVoice) == 2440);
static_assert(offsetof(FaxRecord, szSenderEmail) == 2568);
static_assert(offsetof(FaxRecord, szComments) == 2696);
static_assert(offsetof(FaxRecord, dwCoverParts) == 4744);
static_assert(sizeof(FaxRecord) - kCoverBlockOffset == kCoverBlockSize);

static_assert(sizeof(JobSettings) == kRecordSize);
static_assert(alignof(JobSettings) == 8);
static_assert(offsetof(JobSettings, dwSignature) == 4);
static_assert(offsetof(JobSettings, dwVersion) == 8);
static_assert(offsetof(JobSettings, bWatermarks) == 12);
static_assert(offsetof(JobSettings, dwWatermarkOrder) == 16);
static_assert(offsetof(JobSettings, bWatermarkOverPage) == 20);
static_assert(offsetof(JobSettings, wmFirst) == 24);
static_assert(offsetof(JobSettings, wmOther) == 728);
static_assert(offsetof(JobSettings, bRotate180) == 1432);
static_assert(offsetof(JobSettings, dwOutputTo) == 1436);
static_assert(offsetof(JobSettings, wPageSizePolicy) == 1440);
static_assert(offsetof(JobSettings, szOutputFile) == 1442);
static_assert(offsetof(JobSettings, szHoldUserName) == 2466);
static_assert(offsetof(JobSettings, szHoldPin) == 2516);
static_assert(offsetof(JobSettings, bBlockAppPostScript) == 2528);
static_assert(offsetof(JobSettings, bWatermarkPhysicalPage) == 2532);
static_assert(offsetof(JobSettings, bAccountNumber) == 2536);
static_assert(offsetof(JobSettings, szAccountNumber) == 2540);
static_assert(offsetof(JobSettings, bDiscardOutput) == 2576);
static_assert(offsetof(JobSettings, fax) == 2580);
static_assert(offsetof(JobSettings, dwColorCorrection) == kColorBlockOffset);
static_assert(offsetof(JobSettings, dwRgbImage) == 7332);
static_assert(offsetof(JobSettings, dwRgbText) == 7336);
static_assert(offsetof(JobSettings, dwRgbGraphics) == 7340);
static_assert(offsetof(JobSettings, dwCmykImage) == 7344);
static_assert(offsetof(JobSettings, dwCmykText) == 7348);
static_assert(offsetof(JobSettings, dwCmykGraphics) == 7352);
static_assert(offsetof(JobSettings, bColorBalance) == 7356);
static_assert(offsetof(JobSettings, lBalanceCyan) == 7360);
static_assert(offsetof(JobSettings, lBalanceMagenta) == 7364);
static_assert(offsetof(JobSettings, lBalanceYellow) == 7368);
static_assert(offsetof(JobSettings, lBalanceBlack) == 7372);
static_assert(offsetof(JobSettings, dwPallidor) == 7376);
static_assert(offsetof(JobSettings, bKeepDuplicateJobs) - kColorBlockOffset == kColorBlockSize);
static_assert(offsetof(JobSettings, bKeepDuplicateJobs) == 7380);
static_assert(offsetof(JobSettings, bWatermarkOnEscape) == 7384);
static_assert(offsetof(JobSettings, szProfileName) == 7388);
static_assert(offsetof(JobSettings, bProfileLoaded) == 7644);
static_assert(offsetof(JobSettings, lBrightness) == 7648);
static_assert(offsetof(JobSettings, lContrast) == 7652);
static_assert(offsetof(JobSettings, lSaturation) == 7656);
static_assert(offsetof(JobSettings, bGrayCorrection) == 7660);
static_assert(offsetof(JobSettings, bFineLines) == 7664);
static_assert(offsetof(JobSettings, pad3) == 7668);

}  // namespace corv
