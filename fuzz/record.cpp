// Any stored record, of any dwSize, through Convert and Merge as the driver calls DevMode.
// Input: one byte that chooses the call, then the source record, then the destination's bytes
// on entry (each up to 7672 bytes, zero beyond the input).
#include "check.h"
#include "common/record.h"

#include <cmath>

using namespace corv;

namespace {

// Every text field holds a string that ends within its array.
bool AllTerminated(const WatermarkRecord& wm) {
    return fuzz::Terminated(wm.szName) && fuzz::Terminated(wm.szText) && fuzz::Terminated(wm.szFontName);
}

bool AllTerminated(const JobSettings& r) {
    const FaxRecord& f = r.fax;
    return AllTerminated(r.wmFirst) && AllTerminated(r.wmOther) && fuzz::Terminated(r.szOutputFile) &&
           fuzz::Terminated(r.szHoldUserName) && fuzz::Terminated(r.szHoldPin) && fuzz::Terminated(r.szAccountNumber) &&
           fuzz::Terminated(f.szFaxNumber) && fuzz::Terminated(f.szFaxStation) && fuzz::Terminated(f.szRecipientName) &&
           fuzz::Terminated(f.szSenderName) && fuzz::Terminated(f.szSenderCompany) &&
           fuzz::Terminated(f.szSenderAddress) && fuzz::Terminated(f.szReserved) && fuzz::Terminated(f.szSenderFax) &&
           fuzz::Terminated(f.szSenderVoice) && fuzz::Terminated(f.szSenderEmail) && fuzz::Terminated(f.szComments);
}

bool Flag(BOOL b) { return b == 0 || b == 1; }

// The value ranges of the record's documented fields, checked field by field.
bool InRange(const WatermarkRecord& wm) {
    return wm.dblAngle >= -180.0 && wm.dblAngle <= 180.0 && wm.dwStyle <= 3 && wm.dwEffects <= 7 &&
           wm.wIntensity >= 1 && wm.wIntensity <= 100 && wm.dwPosition <= 8 && wm.bInches <= 1;
}

bool InRange(const JobSettings& r) {
    auto within = [](LONG v, LONG lo, LONG hi) { return v >= lo && v <= hi; };
    return r.dwSize == kRecordSize && r.dwSignature == kRecordSignature && r.dwVersion == kRecordVersion &&
           Flag(r.bWatermarks) && Flag(r.bWatermarkOverPage) && Flag(r.bRotate180) && Flag(r.bBlockAppPostScript) &&
           Flag(r.bAccountNumber) && Flag(r.fax.bFaxCoverPage) && Flag(r.bDiscardOutput) &&
           Flag(r.bKeepDuplicateJobs) && Flag(r.bWatermarkOnEscape) && Flag(r.bWatermarkPhysicalPage) &&
           r.dwWatermarkOrder <= 3 && r.dwOutputTo <= 7 && r.wPageSizePolicy <= 7 && r.fax.wFaxResolution == 0 &&
           r.fax.dwCoverParts <= 7 && r.dwColorCorrection <= 4 && r.dwRgbImage <= 5 && r.dwRgbText <= 5 &&
           r.dwRgbGraphics <= 5 && r.dwCmykImage <= 5 && r.dwCmykText <= 5 && r.dwCmykGraphics <= 5 &&
           r.bColorBalance <= 1 && within(r.lBalanceCyan, -5, 5) && within(r.lBalanceMagenta, -5, 5) &&
           within(r.lBalanceYellow, -5, 5) && within(r.lBalanceBlack, -5, 5) && r.dwPallidor <= 2 &&
           within(r.lBrightness, -6, 6) && within(r.lContrast, 0, 5) && within(r.lSaturation, 0, 5) &&
           InRange(r.wmFirst) && InRange(r.wmOther);
}

void CheckMerged(const JobSettings& merged) {
    FUZZ_CHECK(AllTerminated(merged));
    FUZZ_CHECK(InRange(merged));
    // Validate is idempotent: a merged record passes its own validation unchanged.
    JobSettings again;
    std::memcpy(&again, &merged, sizeof again);
    FUZZ_CHECK(ValidateRecord(&again));
    FUZZ_CHECK(std::memcmp(&again, &merged, sizeof again) == 0);
}

void CheckConverted(const JobSettings& out, const uint8_t* source, size_t kept, bool sameSignature) {
    FUZZ_CHECK(out.dwSize == kRecordSize && out.dwVersion == kRecordVersion);
    if (!sameSignature) {
        FUZZ_CHECK(out.dwSignature == kRecordSignature);
        return;
    }
    // The source's own bytes up to its size survive, the header aside.
    const auto* bytes = reinterpret_cast<const uint8_t*>(&out);
    if (kept > 12) FUZZ_CHECK(std::memcmp(bytes + 12, source + 12, kept - 12) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    JobSettings sourceImage, destination;
    fuzz::TakeBytes(data, size, 1, &sourceImage, sizeof sourceImage);
    fuzz::TakeBytes(data, size, 1 + sizeof sourceImage, &destination, sizeof destination);

    // The driver's buffer of the old record is as long as that record says, its header always
    // there: Convert may read no more of it.
    size_t sourceBytes = sourceImage.dwSize < kRecordSize ? sourceImage.dwSize : kRecordSize;
    if (sourceBytes < sizeof(OEM_DMEXTRAHEADER)) sourceBytes = sizeof(OEM_DMEXTRAHEADER);
    fuzz::Exact<uint8_t> source(&sourceImage, sourceBytes, sourceBytes);
    const auto* in = reinterpret_cast<const JobSettings*>(source.get());
    const bool sameSignature = destination.dwSignature == sourceImage.dwSignature;
    const size_t kept = sourceImage.dwSize < kRecordSize ? sourceImage.dwSize : kRecordSize;

    fuzz::Exact<JobSettings> out(&destination, sizeof destination, 1);
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pOEMDMIn = const_cast<JobSettings*>(in);
    param.pOEMDMOut = out.get();
    switch (mode % 4) {
    case 0:
        FUZZ_CHECK(RecordDevMode(OEMDM_CONVERT, &param) == S_OK);
        CheckConverted(*out.get(), source.get(), kept, sameSignature);
        break;
    case 1:
        FUZZ_CHECK(RecordDevMode(OEMDM_MERGE, &param) == S_OK);
        CheckConverted(*out.get(), source.get(), 0, sameSignature);
        CheckMerged(*out.get());
        break;
    case 2: {
        // The driver may hand one buffer as both source and destination.
        fuzz::Exact<JobSettings> both(&sourceImage, sizeof sourceImage, 1);
        param.pOEMDMIn = param.pOEMDMOut = both.get();
        FUZZ_CHECK(RecordDevMode(OEMDM_MERGE, &param) == S_OK);
        CheckMerged(*both.get());
        break;
    }
    default:
        // A record from anywhere is repaired in place, whatever it held.
        FUZZ_CHECK(ValidateRecord(out.get()));
        CheckMerged(*out.get());
        break;
    }
    return 0;
}
