#include "common/record.h"

#include <cstring>

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
        if (ConvertRecord(in, out)) ValidateRecord(out);
        return S_OK;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
}

}  // namespace corv
