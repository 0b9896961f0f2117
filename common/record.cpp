#include "common/record.h"

#include "common/text.h"

#include <cstring>
#include <iterator>

namespace corv {
namespace {

template <size_t N>
void Terminate(WCHAR (&s)[N]) {
    s[N - 1] = 0;
}

void RepairFlag(BOOL& value, BOOL fallback) {
    if (value != 0 && value != 1) value = fallback;
}

template <typename T>
void CapUnsigned(T& value, T max, T fallback) {
    if (value > max) value = fallback;
}

void ClampSigned(LONG& value, LONG min, LONG max) {
    if (value < min || value > max) value = 0;
}

void ValidateWatermark(WatermarkRecord& wm) {
    TerminateStrings(wm);
    // NaN fails both comparisons of the written rule; it is no angle either.
    if (!(wm.dblAngle >= -180.0 && wm.dblAngle <= 180.0)) wm.dblAngle = 0.0;
    CapUnsigned<DWORD>(wm.dwStyle, 3, 0);
    CapUnsigned<DWORD>(wm.dwEffects, 7, 0);
    if (wm.wIntensity == 0 || wm.wIntensity > 100) wm.wIntensity = 100;
    CapUnsigned<DWORD>(wm.dwPosition, 8, 0);
    CapUnsigned<BYTE>(wm.bInches, 1, 1);
}

void DefaultFax(FaxRecord& fax) {
    fax.szFaxNumber[0] = 0;
    fax.szFaxStation[0] = 0;
    fax.wFaxResolution = 0;
    fax.bFaxCoverPage = 0;
    fax.szRecipientName[0] = 0;
    fax.szSenderName[0] = 0;
    fax.szSenderCompany[0] = 0;
    fax.szSenderAddress[0] = 0;
    fax.szReserved[0] = 0;
    fax.szSenderFax[0] = 0;
    fax.szSenderVoice[0] = 0;
    fax.szSenderEmail[0] = 0;
    fax.szComments[0] = 0;
    fax.dwCoverParts = 7;
}

}  // namespace

void TerminateStrings(WatermarkRecord& wm) {
    Terminate(wm.szName);
    Terminate(wm.szText);
    Terminate(wm.szFontName);
}

void TerminateStrings(FaxRecord& fax) {
    Terminate(fax.szFaxNumber);
    Terminate(fax.szFaxStation);
    Terminate(fax.szRecipientName);
    Terminate(fax.szSenderName);
    Terminate(fax.szSenderCompany);
    Terminate(fax.szSenderAddress);
    Terminate(fax.szReserved);
    Terminate(fax.szSenderFax);
    Terminate(fax.szSenderVoice);
    Terminate(fax.szSenderEmail);
    Terminate(fax.szComments);
}

void InitWatermarkRecord(WatermarkRecord* wm) {
    if (!wm) return;
    wm->szName[0] = 0;
    wm->szText[0] = 0;
    wm->dblAngle = 0.0;
    std::memset(wm->rgbColor, 0, sizeof wm->rgbColor);
    std::memcpy(wm->szFontName, L"Arial", sizeof L"Arial");
    wm->lPointSize = 72;
    wm->dwStyle = 0;
    wm->dwEffects = 0;
    wm->wIntensity = 100;
    wm->dwPosition = 0;
    wm->bInches = 1;
    wm->dblOffsetY = 0.0;
    wm->dblOffsetX = 0.0;
    wm->dwCharSet = 0;
    wm->bDynamic = 0;
}

bool DefaultRecord(JobSettings* r) {
    if (!r) return false;
    r->dwSize = kRecordSize;
    r->dwSignature = kRecordSignature;
    r->dwVersion = kRecordVersion;
    r->bWatermarks = 0;
    r->dwWatermarkOrder = 0;
    InitWatermarkRecord(&r->wmFirst);
    InitWatermarkRecord(&r->wmOther);
    r->bRotate180 = 0;
    r->dwOutputTo = kOutputPrinter;
    r->wPageSizePolicy = 2;
    r->szOutputFile[0] = 0;
    r->szHoldUserName[0] = 0;
    r->szHoldPin[0] = 0;
    r->bBlockAppPostScript = 0;
    r->bWatermarkPhysicalPage = 1;
    r->bAccountNumber = 0;
    r->szAccountNumber[0] = 0;
    DefaultFax(r->fax);
    r->bDiscardOutput = 0;
    std::memset(reinterpret_cast<BYTE*>(r) + kColorBlockOffset, 0, kColorBlockSize);
    r->bKeepDuplicateJobs = 0;
    r->bWatermarkOnEscape = 0;
    r->lBrightness = 0;
    r->lContrast = 0;
    r->bGrayCorrection = 1;
    r->bFineLines = 0;
    return true;
}

bool ConvertRecord(const JobSettings* source, JobSettings* destination) {
    if (!source || !destination) return false;
    if (destination->dwSignature == source->dwSignature) {
        // Taken aside first: the driver may hand the same buffer as source and destination, and
        // the defaults written below must not wipe the record being converted.
        size_t keep = source->dwSize < kRecordSize ? source->dwSize : kRecordSize;
        JobSettings copy;
        std::memcpy(&copy, source, keep);
        DefaultRecord(destination);
        std::memcpy(destination, &copy, keep);
        destination->dwSize = kRecordSize;
    } else {
        DefaultRecord(destination);
    }
    destination->dwVersion = kRecordVersion;
    return true;
}

bool ValidateRecord(JobSettings* r) {
    if (!r) return false;
    r->dwSize = kRecordSize;
    r->dwSignature = kRecordSignature;
    r->dwVersion = kRecordVersion;

    RepairFlag(r->bWatermarks, 0);
    RepairFlag(r->bWatermarkOverPage, 0);
    RepairFlag(r->bRotate180, 0);
    RepairFlag(r->bBlockAppPostScript, 0);
    RepairFlag(r->bAccountNumber, 0);
    RepairFlag(r->fax.bFaxCoverPage, 0);
    RepairFlag(r->bDiscardOutput, 0);
    RepairFlag(r->bKeepDuplicateJobs, 0);
    RepairFlag(r->bWatermarkOnEscape, 0);
    RepairFlag(r->bWatermarkPhysicalPage, 1);

    CapUnsigned<DWORD>(r->dwWatermarkOrder, 3, 0);
    CapUnsigned<DWORD>(r->dwOutputTo, 7, 0);
    CapUnsigned<WORD>(r->wPageSizePolicy, 7, 2);

    Terminate(r->szOutputFile);
    Terminate(r->szHoldUserName);
    Terminate(r->szHoldPin);
    Terminate(r->szAccountNumber);
    FaxRecord& fax = r->fax;
    TerminateStrings(fax);
    if (fax.wFaxResolution != 0) fax.wFaxResolution = 0;
    CapUnsigned<DWORD>(fax.dwCoverParts, 7, 7);

    CapUnsigned<DWORD>(r->dwColorCorrection, 4, 0);
    CapUnsigned<DWORD>(r->dwRgbImage, 5, 0);
    CapUnsigned<DWORD>(r->dwRgbText, 5, 0);
    CapUnsigned<DWORD>(r->dwRgbGraphics, 5, 0);
    CapUnsigned<DWORD>(r->dwCmykImage, 5, 0);
    CapUnsigned<DWORD>(r->dwCmykText, 5, 0);
    CapUnsigned<DWORD>(r->dwCmykGraphics, 5, 0);
    CapUnsigned<DWORD>(r->bColorBalance, 1, 0);
    ClampSigned(r->lBalanceCyan, -5, 5);
    ClampSigned(r->lBalanceMagenta, -5, 5);
    ClampSigned(r->lBalanceYellow, -5, 5);
    ClampSigned(r->lBalanceBlack, -5, 5);
    CapUnsigned<DWORD>(r->dwPallidor, 2, 0);
    ClampSigned(r->lBrightness, -6, 6);
    ClampSigned(r->lContrast, 0, 5);
    ClampSigned(r->lSaturation, 0, 5);

    ValidateWatermark(r->wmFirst);
    ValidateWatermark(r->wmOther);
    return true;
}

bool MergeRecord(const JobSettings* source, JobSettings* destination) {
    return ConvertRecord(source, destination) && ValidateRecord(destination);
}

bool CopyWatermarkRecord(WatermarkRecord* target, const WatermarkRecord* source) {
    if (!target || !source) return false;
    CopyText(target->szName, source->szName, std::size(source->szName));
    CopyText(target->szText, source->szText, std::size(source->szText));
    target->dblAngle = source->dblAngle;
    std::memcpy(target->rgbColor, source->rgbColor, sizeof target->rgbColor);
    CopyText(target->szFontName, source->szFontName, std::size(source->szFontName));
    target->lPointSize = source->lPointSize;
    target->dwStyle = source->dwStyle;
    target->dwEffects = source->dwEffects;
    target->wIntensity = source->wIntensity;
    target->dwPosition = source->dwPosition;
    target->bInches = source->bInches;
    target->dblOffsetY = source->dblOffsetY;
    target->dblOffsetX = source->dblOffsetX;
    target->dwCharSet = source->dwCharSet;
    target->bDynamic = source->bDynamic;
    return true;
}

bool CopyFaxRecord(FaxRecord* target, const FaxRecord* source) {
    if (!target || !source) return false;
    CopyText(target->szFaxNumber, source->szFaxNumber, std::size(source->szFaxNumber));
    CopyText(target->szFaxStation, source->szFaxStation, std::size(source->szFaxStation));
    target->wFaxResolution = source->wFaxResolution;
    target->bFaxCoverPage = source->bFaxCoverPage;
    CopyText(target->szRecipientName, source->szRecipientName, std::size(source->szRecipientName));
    CopyText(target->szSenderName, source->szSenderName, std::size(source->szSenderName));
    CopyText(target->szSenderCompany, source->szSenderCompany, std::size(source->szSenderCompany));
    CopyText(target->szSenderAddress, source->szSenderAddress, std::size(source->szSenderAddress));
    CopyText(target->szReserved, source->szReserved, std::size(source->szReserved));
    CopyText(target->szSenderFax, source->szSenderFax, std::size(source->szSenderFax));
    CopyText(target->szSenderVoice, source->szSenderVoice, std::size(source->szSenderVoice));
    CopyText(target->szSenderEmail, source->szSenderEmail, std::size(source->szSenderEmail));
    CopyText(target->szComments, source->szComments, std::size(source->szComments));
    target->dwCoverParts = source->dwCoverParts;
    return true;
}

void CopyProfileFieldSet(JobSettings* target, const JobSettings* source) {
    if (!target || !source || target == source) return;
    target->dwSize = source->dwSize;
    target->dwSignature = source->dwSignature;
    target->dwVersion = source->dwVersion;
    target->bWatermarks = source->bWatermarks;
    target->dwWatermarkOrder = source->dwWatermarkOrder;
    target->bWatermarkOverPage = source->bWatermarkOverPage;
    CopyWatermarkRecord(&target->wmFirst, &source->wmFirst);
    CopyWatermarkRecord(&target->wmOther, &source->wmOther);
    target->bRotate180 = source->bRotate180;
    target->dwOutputTo = source->dwOutputTo;
    target->wPageSizePolicy = source->wPageSizePolicy;
    CopyText(target->szOutputFile, source->szOutputFile, std::size(source->szOutputFile));
    CopyText(target->szHoldUserName, source->szHoldUserName, std::size(source->szHoldUserName));
    CopyText(target->szHoldPin, source->szHoldPin, std::size(source->szHoldPin));
    target->bWatermarkPhysicalPage = source->bWatermarkPhysicalPage;
    target->bAccountNumber = source->bAccountNumber;
    CopyText(target->szAccountNumber, source->szAccountNumber, std::size(source->szAccountNumber));
    target->bDiscardOutput = source->bDiscardOutput;
    CopyFaxRecord(&target->fax, &source->fax);
    target->dwColorCorrection = source->dwColorCorrection;
    target->dwRgbImage = source->dwRgbImage;
    target->dwRgbText = source->dwRgbText;
    target->dwRgbGraphics = source->dwRgbGraphics;
    target->dwCmykImage = source->dwCmykImage;
    target->dwCmykText = source->dwCmykText;
    target->dwCmykGraphics = source->dwCmykGraphics;
    target->bColorBalance = source->bColorBalance;
    target->lBalanceCyan = source->lBalanceCyan;
    target->lBalanceMagenta = source->lBalanceMagenta;
    target->lBalanceYellow = source->lBalanceYellow;
    target->lBalanceBlack = source->lBalanceBlack;
    target->dwPallidor = source->dwPallidor;
    target->bKeepDuplicateJobs = source->bKeepDuplicateJobs;
    target->bWatermarkOnEscape = source->bWatermarkOnEscape;
    CopyText(target->szProfileName, source->szProfileName, std::size(source->szProfileName));
    target->bProfileLoaded = source->bProfileLoaded;
    target->lBrightness = source->lBrightness;
    target->lContrast = source->lContrast;
    target->lSaturation = source->lSaturation;
    target->bGrayCorrection = source->bGrayCorrection;
    target->bFineLines = source->bFineLines;
}

HRESULT RecordDevMode(DWORD mode, POEMDMPARAM param) {
    if (!param) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    auto* in = static_cast<const JobSettings*>(param->pOEMDMIn);
    auto* out = static_cast<JobSettings*>(param->pOEMDMOut);
    switch (mode) {
    case OEMDM_SIZE:
        param->cbBufSize = kRecordSize;
        return S_OK;
    case OEMDM_DEFAULT:
        DefaultRecord(out);
        return S_OK;
    case OEMDM_CONVERT:
        ConvertRecord(in, out);
        return S_OK;
    case OEMDM_MERGE:
        MergeRecord(in, out);
        return S_OK;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
}

}  // namespace corv
