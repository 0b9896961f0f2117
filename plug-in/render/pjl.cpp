#include "plug-in/render/pjl.h"

#include "common/coreboundary.h"
#include "common/text.h"
#include "plug-in/render/jobstate.h"
#include "plug-in/render/narrow.h"

#include <cstdarg>
#include <iterator>

namespace corv::render {
namespace {

#define UEL "\x1b%-12345X"

using Line = TextBuf<kPjlLineSize>;

// The system's names are at most this long (user names 256 bytes, computer names 16): a longer
// one would push the job information past its line, cut there without its quote and line end.
constexpr size_t kUserNameBytes = 257;
constexpr size_t kComputerNameBytes = 17;

// The sanitised form of one quoted value, for use as a format argument; cut to capacity bytes
// with the terminator.
struct Quoted {
    char text[kPjlLineSize];
    explicit Quoted(const char* value, size_t capacity = kPjlLineSize) {
        CopyPjlQuotable(text, capacity < sizeof text ? capacity : sizeof text, value);
    }
};

void Emit(Sink& out, const Line& line) {
    if (size_t n = line.length()) out.Write(line.text, static_cast<DWORD>(n));
}

__attribute__((format(gnu_printf, 2, 3))) void WriteLine(Sink& out, const char* format, ...) {
    Line line;
    va_list args;
    va_start(args, format);
    FormatTextV(line.text, sizeof line.text, format, args);
    va_end(args);
    Emit(out, line);
}

bool IsHeld(DWORD outputTo) { return outputTo >= kOutputConfidential && outputTo <= kOutputVerify; }

const char* RgbWord(DWORD value) {
    static const char* const words[] = {nullptr, "SRGBDISPLAY", "SRGBVIVID", "VIVID", "OFF", "DISPLAYREALBLACK"};
    return value < std::size(words) ? words[value] : nullptr;
}

// 5 is a value the record accepts that the printer has no word for.
const char* CmykWord(DWORD value) {
    static const char* const words[] = {nullptr, "USCMYK", "EUROCMYK", "VIVIDCMYK", "OFF"};
    return value < std::size(words) ? words[value] : nullptr;
}

void WriteFax(const PjlJob& job, Sink& out) {
    const FaxRecord& fax = job.record->fax;
    HeapArray<char> number = NarrowCopy(fax.szFaxNumber, std::size(fax.szFaxNumber), job.language);
    HeapArray<char> station = NarrowCopy(fax.szFaxStation, std::size(fax.szFaxStation), job.language);
    if (number && station)
        WriteLine(out, "@PJL QFAX PHONENUMBER = \"%s\" STATIONID = \"%s\"\n", Quoted(number.get()).text,
                  Quoted(station.get()).text);
    // The record's resolution field has a single value; the printer is always told FINE.
    WriteLine(out, "@PJL SET QFAXRESOLUTION = %s\n", "FINE");
}

void WriteHold(const PjlJob& job, Sink& out) {
    const JobSettings& r = *job.record;
    char user[100];
    NarrowInto(user, sizeof user, r.szHoldUserName, std::size(r.szHoldUserName), job.language);
    WriteLine(out, "@PJL SET USERNAME = \"%s\"\n", Quoted(user).text);
    switch (r.dwOutputTo) {
    case kOutputConfidential: {
        out.Write("@PJL SET HOLD = ON\n");
        out.Write("@PJL SET HOLDTYPE = PRIVATE\n");
        HeapArray<char> pin = NarrowCopy(r.szHoldPin, std::size(r.szHoldPin), job.language);
        WriteLine(out, "@PJL SET HOLDKEY = \"%s\"\n", Quoted(pin ? pin.get() : "").text);
        break;
    }
    case kOutputReserve:
        out.Write("@PJL SET HOLD = STORE\n");
        break;
    case kOutputRepeat:
        out.Write("@PJL SET HOLD = ON\n");
        out.Write("@PJL SET HOLDTYPE = PUBLIC\n");
        break;
    case kOutputVerify:
        out.Write("@PJL SET HOLD = PROOF\n");
        WriteLine(out, "@PJL SET QTY = %d\n", job.dmCopies);
        break;
    }
}

void WriteColourCorrection(const JobSettings& r, Sink& out) {
    DWORD mode = r.dwColorCorrection;
    if (!mode) return;
    WriteLine(out, "@PJL SET QCOLORCORRECTION = %s\n", mode == 1 ? "OFF" : mode == 2 ? "AUTO" : "MANUAL");
    if (mode != 4) return;
    const struct {
        const char* key;
        const char* word;
    } manual[] = {
        {"RGBTEXT", RgbWord(r.dwRgbText)},   {"RGBGRAPHICS", RgbWord(r.dwRgbGraphics)},
        {"RGBIMAGE", RgbWord(r.dwRgbImage)}, {"CMYKTEXT", CmykWord(r.dwCmykText)},
        {"CMYKGRAPHICS", CmykWord(r.dwCmykGraphics)}, {"CMYKIMAGE", CmykWord(r.dwCmykImage)},
    };
    for (const auto& m : manual)
        if (m.word) WriteLine(out, "@PJL SET QMANUALCOLOR%s = %s\n", m.key, m.word);
}

// What every shell half needs of the device; false when a piece is missing.
bool JobFromDevice(PDEVOBJ device, IPrintCorePS2* helper, PjlJob& job) {
    if (!device || !helper || !device->pOEMDM || !device->pdevOEM) return false;
    job.record = static_cast<const JobSettings*>(device->pOEMDM);
    job.docName = static_cast<const JobState*>(device->pdevOEM)->docName;
    if (const DEVMODEW* dm = device->pPublicDM) {
        job.dmCopies = dm->dmCopies;
        job.dmColor = dm->dmColor;
    }
    job.language = GetSystemDefaultLangID();
    return true;
}

}  // namespace

void CopyPjlQuotable(char* dst, size_t capacity, const char* src) {
    CopyText(dst, capacity, src ? src : "");
    for (char* p = dst; p && *p; ++p)
        if (*p == '"' || static_cast<unsigned char>(*p) < 0x20) *p = ' ';
}

void WriteJobStart(const PjlJob& job, Sink& out) {
    if (!job.record) return;
    const JobSettings& r = *job.record;
    out.Write(UEL "@PJL JOB\n@PJL SET QMULTIPAGEPRINT=OFF\n");

    Line info;
    const Quoted host(job.computerName, kComputerNameBytes);
    if (job.userName)
        info.appendf("@PJL QJOBINFO USERID = \"%s\" HOSTID = \"%s\"", Quoted(job.userName, kUserNameBytes).text,
                     host.text);
    else
        info.appendf("@PJL QJOBINFO HOSTID = \"%s\"", host.text);
    if (r.bAccountNumber) {
        HeapArray<char> account = NarrowCopy(r.szAccountNumber, std::size(r.szAccountNumber), job.language);
        if (account) info.appendf(" ACCOUNTNUMBER = \"%s\"", Quoted(account.get()).text);
    }
    info.append("\n");
    Emit(out, info);

    HeapArray<char> name = NarrowCopy(job.docName, kDocNameUnits, job.language);
    if (name) WriteLine(out, "@PJL SET JOBNAME = \"%s\"\n", Quoted(name.get()).text);

    Line quality;
    quality.appendf("@PJL SET QIMAGEBRIGHTNESS=%ld\n", r.lBrightness);
    quality.appendf("@PJL SET QIMAGECONTRAST=%ld\n", r.lContrast);
    if (job.hasManualColorCorrection) {
        quality.appendf("@PJL SET QIMAGESATURATION=%ld\n", r.lSaturation);
        quality.append(job.dmColor == DMCOLOR_MONOCHROME ? "@PJL SET QCOLORMODEL=BLACK\n" : "@PJL SET QCOLORMODEL=CMYK\n");
    }
    quality.append(r.bFineLines ? "@PJL SET QLINEDETAIL=ON\n" : "@PJL SET QLINEDETAIL=OFF\n");
    quality.append(r.bGrayCorrection ? "@PJL SET QCOLORCORRECTION=AUTO\n" : "@PJL SET QCOLORCORRECTION=OFF\n");
    Emit(out, quality);
}

void WriteRoutingAndColour(const PjlJob& job, Sink& out) {
    if (!job.record) return;
    const JobSettings& r = *job.record;
    if (r.dwOutputTo == kOutputFax) WriteFax(job, out);
    if (IsHeld(r.dwOutputTo)) WriteHold(job, out);

    WriteColourCorrection(r, out);
    if (r.bColorBalance) {
        WriteLine(out, "@PJL SET QCOLORBALANCECYAN = %ld\n", r.lBalanceCyan);
        WriteLine(out, "@PJL SET QCOLORBALANCEMAGENTA = %ld\n", r.lBalanceMagenta);
        WriteLine(out, "@PJL SET QCOLORBALANCEYELLOW = %ld\n", r.lBalanceYellow);
        WriteLine(out, "@PJL SET QCOLORBALANCEBLACK = %ld\n", r.lBalanceBlack);
    }
    if (r.dwPallidor) WriteLine(out, "@PJL SET QPALLIDOR = %s\n", r.dwPallidor == 2 ? "ON" : "OFF");
    if (IsHeld(r.dwOutputTo) && job.hasKeepPreviousPHJobs)
        WriteLine(out, "@PJL SET QDUPLICATEHELDJOBS = %s\n", r.bKeepDuplicateJobs ? "SAVE" : "DELETE");

    HeapArray<char> name = NarrowCopy(job.docName, kDocNameUnits, job.language);
    if (name) WriteLine(out, "@PJL RDYMSG DISPLAY = \"%s\"\n", Quoted(name.get()).text);
    out.Write("@PJL ENTER LANGUAGE = Postscript \n");
}

void WriteJobEnd(Sink& out) {
    out.Write(UEL "@PJL RDYMSG DISPLAY = \"\"\n");
    out.Write(UEL "@PJL EOJ\n" UEL);
}

int BeginStream(PDEVOBJ device, IPrintCorePS2* helper) {
    PjlJob job;
    if (!JobFromDevice(device, helper, job)) return 0;
    char user[2048];
    DWORD userSize = sizeof user;
    if (GetUserNameA(user, &userSize)) job.userName = user;
    char computer[17];
    DWORD computerSize = sizeof computer;
    if (!GetComputerNameA(computer, &computerSize)) computer[0] = 0;
    job.computerName = computer;
    job.hasManualColorCorrection = HasFeatureAttribute(helper, device, "HasManualColorCorrection");
    SpoolSink sink(helper, device);
    WriteJobStart(job, sink);
    return 1;
}

int RoutingAndColour(PDEVOBJ device, IPrintCorePS2* helper) {
    PjlJob job;
    if (!JobFromDevice(device, helper, job)) return 0;
    job.hasKeepPreviousPHJobs = HasFeature(helper, device, "HasKeepPreviousPHJobs");
    SpoolSink sink(helper, device);
    WriteRoutingAndColour(job, sink);
    return 1;
}

int EndStream(PDEVOBJ device, IPrintCorePS2* helper) {
    PjlJob job;
    if (!JobFromDevice(device, helper, job)) return 0;
    SpoolSink sink(helper, device);
    WriteJobEnd(sink);
    return 1;
}

}  // namespace corv::render
