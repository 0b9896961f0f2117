// Any record, document name and user and computer names through the PJL job header and trailer.
// Every piece must be whole lines, each a "@PJL" command (the UEL may open a line and closes the
// job), no quoted value may hold a double quote or a control byte, and the lines must be exactly
// the commands the record asks for.
#include "check.h"
#include "common/record.h"
#include "plug-in/render/pjl.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <iterator>
#include <string>

using namespace corv;
using namespace corv::render;

namespace {

const std::string kUel = "\x1b%-12345X";

struct Capture final : Sink {
    using Sink::Write;
    void Write(const void* data, DWORD size) override {
        FUZZ_CHECK(data && size > 0);
        pieces.emplace_back(static_cast<const char*>(data), size);
    }
    std::vector<std::string> pieces;
};

// One expected line: literal text and quoted values, in order.
struct Part {
    std::string literal;
    bool quoted = false;
    std::u16string wide;  // a value converted from wide text
    std::string narrow;   // a value given narrow
    bool fromWide = false;
};
using Line = std::vector<Part>;

Part Text(std::string s) { return Part{std::move(s)}; }
Part Wide(const WCHAR* s, size_t capacity) {
    Part p;
    p.quoted = p.fromWide = true;
    for (size_t i = 0; i < capacity && s[i]; ++i) p.wide.push_back(static_cast<char16_t>(s[i]));
    return p;
}
// A narrow value cut to the longest the system gives (user names 256 bytes, computer names 16).
Part Narrow(const char* s, size_t longest) {
    Part p;
    p.quoted = true;
    p.narrow = std::string(s ? s : "").substr(0, longest);
    return p;
}

// A quoted value's bytes as the narrow conversion and the quoting must leave them: ASCII as it is,
// a double quote or a control character as a blank, any other character as one byte of the code
// page's upper half or its default character.
bool MatchesWide(const std::string& got, const std::u16string& wide) {
    if (got.size() != wide.size()) return false;
    for (size_t i = 0; i < got.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(got[i]);
        const char16_t u = wide[i];
        if (u < 0x80) {
            if (b != ((u == '"' || u < 0x20) ? ' ' : u)) return false;
        } else if (b < 0x80 && b != '?') {
            return false;
        }
    }
    return true;
}

bool MatchesNarrow(const std::string& got, const std::string& narrow) {
    if (got.size() != narrow.size()) return false;
    for (size_t i = 0; i < got.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(narrow[i]);
        if (static_cast<unsigned char>(got[i]) != ((c == '"' || c < 0x20) ? ' ' : c)) return false;
    }
    return true;
}

// A number as the platform prints a 32-bit LONG; natively the low 32 bits of what was printed.
std::string Number(LONG value) { return std::to_string(value); }

bool MatchesLine(std::string got, const Line& want) {
    for (const Part& p : want) {
        if (!p.quoted) {
            if (got.compare(0, p.literal.size(), p.literal) == 0) {
                got.erase(0, p.literal.size());
                continue;
            }
            // A printed LONG: "%ld" reads 64 bits natively, of which the low 32 are the value.
            char* end = nullptr;
            long long n = std::strtoll(got.c_str(), &end, 10);
            std::string digits = got.substr(0, static_cast<size_t>(end - got.c_str()));
            if (digits.empty() || Number(static_cast<LONG>(static_cast<uint32_t>(n))) != p.literal) return false;
            got.erase(0, digits.size());
            continue;
        }
        size_t close = got.find('"');
        if (close == std::string::npos) return false;
        std::string value = got.substr(0, close);
        if (p.fromWide ? !MatchesWide(value, p.wide) : !MatchesNarrow(value, p.narrow)) return false;
        got.erase(0, close);
    }
    return got.empty();
}

// The pieces of one call: each ends a line, every line is a command, no value breaks its quotes.
std::vector<std::string> Lines(const std::vector<std::string>& pieces, bool endsWithUel) {
    std::vector<std::string> lines;
    for (size_t k = 0; k < pieces.size(); ++k) {
        std::string piece = pieces[k];
        if (endsWithUel && k + 1 == pieces.size()) {
            FUZZ_CHECK(piece.size() >= kUel.size() &&
                       piece.compare(piece.size() - kUel.size(), kUel.size(), kUel) == 0);
            piece.erase(piece.size() - kUel.size());
        }
        FUZZ_CHECK(!piece.empty() && piece.back() == '\n');
        size_t start = 0;
        for (size_t end; (end = piece.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = piece.substr(start, end - start);
            if (line.compare(0, kUel.size(), kUel) == 0) line.erase(0, kUel.size());
            FUZZ_CHECK(line.compare(0, 5, "@PJL ") == 0);
            size_t quotes = 0;
            for (unsigned char c : line) {
                FUZZ_CHECK(c >= 0x20);
                quotes += c == '"';
            }
            FUZZ_CHECK(quotes % 2 == 0);
            lines.push_back(line);
        }
    }
    return lines;
}

void CheckLines(const std::vector<std::string>& got, const std::vector<Line>& want) {
    FUZZ_CHECK(got.size() == want.size());
    for (size_t i = 0; i < got.size(); ++i) FUZZ_CHECK(MatchesLine(got[i], want[i]));
}

const char* RgbWordOf(DWORD v) {
    static const char* const w[] = {nullptr, "SRGBDISPLAY", "SRGBVIVID", "VIVID", "OFF", "DISPLAYREALBLACK"};
    return v < std::size(w) ? w[v] : nullptr;
}
const char* CmykWordOf(DWORD v) {
    static const char* const w[] = {nullptr, "USCMYK", "EUROCMYK", "VIVIDCMYK", "OFF"};
    return v < std::size(w) ? w[v] : nullptr;
}

std::vector<Line> ExpectedStart(const PjlJob& job) {
    const JobSettings& r = *job.record;
    std::vector<Line> want;
    want.push_back({Text("@PJL JOB")});
    want.push_back({Text("@PJL SET QMULTIPAGEPRINT=OFF")});
    Line info;
    if (job.userName) {
        info = {Text("@PJL QJOBINFO USERID = \""), Narrow(job.userName, 256), Text("\" HOSTID = \""),
                Narrow(job.computerName, 16), Text("\"")};
    } else {
        info = {Text("@PJL QJOBINFO HOSTID = \""), Narrow(job.computerName, 16), Text("\"")};
    }
    if (r.bAccountNumber) {
        info.push_back(Text(" ACCOUNTNUMBER = \""));
        info.push_back(Wide(r.szAccountNumber, std::size(r.szAccountNumber)));
        info.push_back(Text("\""));
    }
    want.push_back(info);
    want.push_back({Text("@PJL SET JOBNAME = \""), Wide(job.docName, kDocNameUnits), Text("\"")});
    want.push_back({Text("@PJL SET QIMAGEBRIGHTNESS="), Text(Number(r.lBrightness))});
    want.push_back({Text("@PJL SET QIMAGECONTRAST="), Text(Number(r.lContrast))});
    if (job.hasManualColorCorrection) {
        want.push_back({Text("@PJL SET QIMAGESATURATION="), Text(Number(r.lSaturation))});
        want.push_back({Text(job.dmColor == 1 ? "@PJL SET QCOLORMODEL=BLACK" : "@PJL SET QCOLORMODEL=CMYK")});
    }
    want.push_back({Text(r.bFineLines ? "@PJL SET QLINEDETAIL=ON" : "@PJL SET QLINEDETAIL=OFF")});
    want.push_back({Text(r.bGrayCorrection ? "@PJL SET QCOLORCORRECTION=AUTO" : "@PJL SET QCOLORCORRECTION=OFF")});
    return want;
}

std::vector<Line> ExpectedRouting(const PjlJob& job) {
    const JobSettings& r = *job.record;
    std::vector<Line> want;
    const bool held = r.dwOutputTo >= 4 && r.dwOutputTo <= 7;
    if (r.dwOutputTo == 3) {
        want.push_back({Text("@PJL QFAX PHONENUMBER = \""), Wide(r.fax.szFaxNumber, std::size(r.fax.szFaxNumber)),
                        Text("\" STATIONID = \""), Wide(r.fax.szFaxStation, std::size(r.fax.szFaxStation)),
                        Text("\"")});
        want.push_back({Text("@PJL SET QFAXRESOLUTION = FINE")});
    }
    if (held) {
        want.push_back(
            {Text("@PJL SET USERNAME = \""), Wide(r.szHoldUserName, std::size(r.szHoldUserName)), Text("\"")});
        switch (r.dwOutputTo) {
        case 4:
            want.push_back({Text("@PJL SET HOLD = ON")});
            want.push_back({Text("@PJL SET HOLDTYPE = PRIVATE")});
            want.push_back({Text("@PJL SET HOLDKEY = \""), Wide(r.szHoldPin, std::size(r.szHoldPin)), Text("\"")});
            break;
        case 5: want.push_back({Text("@PJL SET HOLD = STORE")}); break;
        case 6:
            want.push_back({Text("@PJL SET HOLD = ON")});
            want.push_back({Text("@PJL SET HOLDTYPE = PUBLIC")});
            break;
        default:
            want.push_back({Text("@PJL SET HOLD = PROOF")});
            want.push_back({Text("@PJL SET QTY = "), Text(Number(job.dmCopies))});
            break;
        }
    }
    if (r.dwColorCorrection) {
        const DWORD m = r.dwColorCorrection;
        const char* word = m == 1 ? "OFF" : m == 2 ? "AUTO" : "MANUAL";
        want.push_back({Text(std::string("@PJL SET QCOLORCORRECTION = ") + word)});
        if (m == 4) {
            const std::pair<const char*, const char*> manual[] = {
                {"RGBTEXT", RgbWordOf(r.dwRgbText)},     {"RGBGRAPHICS", RgbWordOf(r.dwRgbGraphics)},
                {"RGBIMAGE", RgbWordOf(r.dwRgbImage)},   {"CMYKTEXT", CmykWordOf(r.dwCmykText)},
                {"CMYKGRAPHICS", CmykWordOf(r.dwCmykGraphics)}, {"CMYKIMAGE", CmykWordOf(r.dwCmykImage)}};
            for (const auto& [key, word] : manual)
                if (word) want.push_back({Text(std::string("@PJL SET QMANUALCOLOR") + key + " = " + word)});
        }
    }
    if (r.bColorBalance) {
        want.push_back({Text("@PJL SET QCOLORBALANCECYAN = "), Text(Number(r.lBalanceCyan))});
        want.push_back({Text("@PJL SET QCOLORBALANCEMAGENTA = "), Text(Number(r.lBalanceMagenta))});
        want.push_back({Text("@PJL SET QCOLORBALANCEYELLOW = "), Text(Number(r.lBalanceYellow))});
        want.push_back({Text("@PJL SET QCOLORBALANCEBLACK = "), Text(Number(r.lBalanceBlack))});
    }
    if (r.dwPallidor)
        want.push_back({Text(r.dwPallidor == 2 ? "@PJL SET QPALLIDOR = ON" : "@PJL SET QPALLIDOR = OFF")});
    if (held && job.hasKeepPreviousPHJobs)
        want.push_back({Text(r.bKeepDuplicateJobs ? "@PJL SET QDUPLICATEHELDJOBS = SAVE"
                                                  : "@PJL SET QDUPLICATEHELDJOBS = DELETE")});
    want.push_back({Text("@PJL RDYMSG DISPLAY = \""), Wide(job.docName, kDocNameUnits), Text("\"")});
    want.push_back({Text("@PJL ENTER LANGUAGE = Postscript ")});
    return want;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // The record and the document name as they lie in the input; the rest from its end.
    std::vector<uint8_t> recordBytes = in.ConsumeBytes<uint8_t>(sizeof(JobSettings));
    std::vector<uint8_t> nameBytes = in.ConsumeBytes<uint8_t>(kDocNameUnits * sizeof(WCHAR));
    fuzz::Exact<JobSettings> record(recordBytes.data(), recordBytes.size(), 1);
    // The job state's document name: 256 units, terminated or not.
    fuzz::Exact<WCHAR> docName(nameBytes.data(), nameBytes.size(), kDocNameUnits);

    PjlJob job;
    job.record = record.get();
    job.docName = docName.get();
    job.dmCopies = in.ConsumeIntegral<short>();
    job.dmColor = in.ConsumeIntegral<short>();
    job.hasManualColorCorrection = in.ConsumeBool();
    job.hasKeepPreviousPHJobs = in.ConsumeBool();
    const LANGID languages[] = {0x0409, 1045, 1049, 0x0407};
    job.language = in.PickValueInArray(languages);
    const bool hasUser = in.ConsumeBool();
    // The system's names, as GetUserNameA (2048 bytes) and GetComputerNameA (17 bytes) give them.
    std::string computer = in.ConsumeRandomLengthString(16);
    std::string user = in.ConsumeRandomLengthString(2047);
    computer.resize(std::strlen(computer.c_str()));
    user.resize(std::strlen(user.c_str()));
    job.computerName = computer.c_str();
    job.userName = hasUser ? user.c_str() : nullptr;

    Capture start, routing, end;
    WriteJobStart(job, start);
    WriteRoutingAndColour(job, routing);
    WriteJobEnd(end);

    FUZZ_CHECK(!start.pieces.empty() && start.pieces[0].compare(0, kUel.size(), kUel) == 0);
    CheckLines(Lines(start.pieces, false), ExpectedStart(job));
    CheckLines(Lines(routing.pieces, false), ExpectedRouting(job));
    CheckLines(Lines(end.pieces, true), {{Text("@PJL RDYMSG DISPLAY = \"\"")}, {Text("@PJL EOJ")}});
    return 0;
}
