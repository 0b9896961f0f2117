#include "plug-in/render/pjl.h"

#include "common/text.h"
#include "plug-in/render/jobstate.h"
#include "support/fakecore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace corv;
using namespace corv::render;

namespace {

using Pieces = std::vector<std::string>;
const std::string kUel = "\x1b%-12345X";
const std::string kEnter = "@PJL ENTER LANGUAGE = Postscript \n";

struct Recorder final : Sink {
    Pieces pieces;
    using Sink::Write;
    void Write(const void* data, DWORD size) override { pieces.emplace_back(static_cast<const char*>(data), size); }
};

JobSettings Defaults() {
    JobSettings r{};
    DefaultRecord(&r);
    return r;
}

// User U on computer H prints document D on a colour printer with manual colour correction.
PjlJob JobOf(const JobSettings& r) {
    PjlJob job;
    job.record = &r;
    job.docName = L"D";
    job.userName = "U";
    job.computerName = "H";
    job.hasManualColorCorrection = true;
    job.language = 1033;
    return job;
}

Pieces Start(const PjlJob& job) {
    Recorder out;
    WriteJobStart(job, out);
    return out.pieces;
}

Pieces Routing(const PjlJob& job) {
    Recorder out;
    WriteRoutingAndColour(job, out);
    return out.pieces;
}

Pieces Plus(Pieces a, const Pieces& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::string kDefaultQuality =
    "@PJL SET QIMAGEBRIGHTNESS=0\n@PJL SET QIMAGECONTRAST=0\n@PJL SET QIMAGESATURATION=0\n"
    "@PJL SET QCOLORMODEL=CMYK\n@PJL SET QLINEDETAIL=OFF\n@PJL SET QCOLORCORRECTION=AUTO\n";

}  // namespace

TEST(PjlHeader, DefaultRecordForThePrinter) {
    JobSettings r = Defaults();
    PjlJob job = JobOf(r);
    EXPECT_EQ(Start(job), (Pieces{kUel + "@PJL JOB\n@PJL SET QMULTIPAGEPRINT=OFF\n",
                                  "@PJL QJOBINFO USERID = \"U\" HOSTID = \"H\"\n", "@PJL SET JOBNAME = \"D\"\n",
                                  kDefaultQuality}));
    EXPECT_EQ(Routing(job), (Pieces{"@PJL RDYMSG DISPLAY = \"D\"\n", kEnter}));
}

TEST(PjlHeader, JobInformationLine) {
    const struct {
        const char* user;
        const char* computer;
        BOOL bAccountNumber;
        const WCHAR* account;
        const char* line;
    } cases[] = {
        {"U", "H", 0, L"", "@PJL QJOBINFO USERID = \"U\" HOSTID = \"H\"\n"},
        {nullptr, "H", 0, L"", "@PJL QJOBINFO HOSTID = \"H\"\n"},
        {"U", "", 0, L"", "@PJL QJOBINFO USERID = \"U\" HOSTID = \"\"\n"},
        {nullptr, "", 0, L"", "@PJL QJOBINFO HOSTID = \"\"\n"},
        {"U", "H", 0, L"4711", "@PJL QJOBINFO USERID = \"U\" HOSTID = \"H\"\n"},
        {"U", "H", 1, L"4711", "@PJL QJOBINFO USERID = \"U\" HOSTID = \"H\" ACCOUNTNUMBER = \"4711\"\n"},
        {"U", "H", 1, L"", "@PJL QJOBINFO USERID = \"U\" HOSTID = \"H\" ACCOUNTNUMBER = \"\"\n"},
        {nullptr, "H", 1, L"12", "@PJL QJOBINFO HOSTID = \"H\" ACCOUNTNUMBER = \"12\"\n"},
    };
    for (const auto& c : cases) {
        JobSettings r = Defaults();
        r.bAccountNumber = c.bAccountNumber;
        CopyText(r.szAccountNumber, c.account);
        PjlJob job = JobOf(r);
        job.userName = c.user;
        job.computerName = c.computer;
        Pieces pieces = Start(job);
        ASSERT_EQ(pieces.size(), 4u);
        EXPECT_EQ(pieces[1], c.line);
    }
}

TEST(PjlHeader, QualityBlockFollowsRecordAndPrinter) {
    const struct {
        bool manual;
        short dmColor;
        const char* block;
    } cases[] = {
        {true, 2,
         "@PJL SET QIMAGEBRIGHTNESS=-6\n@PJL SET QIMAGECONTRAST=5\n@PJL SET QIMAGESATURATION=3\n"
         "@PJL SET QCOLORMODEL=CMYK\n@PJL SET QLINEDETAIL=ON\n@PJL SET QCOLORCORRECTION=OFF\n"},
        {true, 1,
         "@PJL SET QIMAGEBRIGHTNESS=-6\n@PJL SET QIMAGECONTRAST=5\n@PJL SET QIMAGESATURATION=3\n"
         "@PJL SET QCOLORMODEL=BLACK\n@PJL SET QLINEDETAIL=ON\n@PJL SET QCOLORCORRECTION=OFF\n"},
        {false, 1,
         "@PJL SET QIMAGEBRIGHTNESS=-6\n@PJL SET QIMAGECONTRAST=5\n"
         "@PJL SET QLINEDETAIL=ON\n@PJL SET QCOLORCORRECTION=OFF\n"},
    };
    for (const auto& c : cases) {
        JobSettings r = Defaults();
        r.lBrightness = -6;
        r.lContrast = 5;
        r.lSaturation = 3;
        r.bFineLines = 1;
        r.bGrayCorrection = 0;
        PjlJob job = JobOf(r);
        job.hasManualColorCorrection = c.manual;
        job.dmColor = c.dmColor;
        Pieces pieces = Start(job);
        ASSERT_EQ(pieces.size(), 4u);
        EXPECT_EQ(pieces[3], c.block);
    }
}

TEST(PjlHeader, DocumentNameLinesAreLeftOutOnlyWithoutAName) {
    JobSettings r = Defaults();
    PjlJob job = JobOf(r);
    job.docName = L"";
    EXPECT_EQ(Start(job)[2], "@PJL SET JOBNAME = \"\"\n");
    EXPECT_EQ(Routing(job), (Pieces{"@PJL RDYMSG DISPLAY = \"\"\n", kEnter}));
    job.docName = nullptr;
    EXPECT_EQ(Start(job), (Pieces{kUel + "@PJL JOB\n@PJL SET QMULTIPAGEPRINT=OFF\n",
                                  "@PJL QJOBINFO USERID = \"U\" HOSTID = \"H\"\n", kDefaultQuality}));
    EXPECT_EQ(Routing(job), Pieces{kEnter});
}

// Names longer than the system gives are cut inside their quotes: the job information line keeps
// its closing quote and line end, where a cut at 2047 bytes would run it into the next command.
TEST(PjlHeader, OverlongNamesAreCutInsideTheirQuotes) {
    JobSettings r = Defaults();
    r.bAccountNumber = 1;
    CopyText(r.szAccountNumber, L"1234567890123456");
    PjlJob job = JobOf(r);
    std::string longName(3000, 'a');
    std::string longHost(40, 'h');
    job.userName = longName.c_str();
    job.computerName = longHost.c_str();
    Pieces pieces = Start(job);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[1], "@PJL QJOBINFO USERID = \"" + std::string(256, 'a') + "\" HOSTID = \"" + std::string(16, 'h') +
                             "\" ACCOUNTNUMBER = \"1234567890123456\"\n");
}

TEST(PjlRouting, EveryDestination) {
    const Pieces hold = {"@PJL SET USERNAME = \"Anna\"\n"};
    const struct {
        DWORD outputTo;
        Pieces lines;
    } cases[] = {
        {kOutputPrinter, {}},
        {kOutputFile, {}},
        {kOutputEps, {}},
        {kOutputFax,
         {"@PJL QFAX PHONENUMBER = \"555-0100\" STATIONID = \"Office\"\n", "@PJL SET QFAXRESOLUTION = FINE\n"}},
        {kOutputConfidential,
         Plus(hold, {"@PJL SET HOLD = ON\n", "@PJL SET HOLDTYPE = PRIVATE\n", "@PJL SET HOLDKEY = \"1234\"\n"})},
        {kOutputReserve, Plus(hold, {"@PJL SET HOLD = STORE\n"})},
        {kOutputRepeat, Plus(hold, {"@PJL SET HOLD = ON\n", "@PJL SET HOLDTYPE = PUBLIC\n"})},
        {kOutputVerify, Plus(hold, {"@PJL SET HOLD = PROOF\n", "@PJL SET QTY = 3\n"})},
    };
    const Pieces tail = {"@PJL RDYMSG DISPLAY = \"D\"\n", kEnter};
    for (const auto& c : cases) {
        bool held = c.outputTo >= kOutputConfidential;
        for (bool keepFeature : {false, true}) {
            for (BOOL keep : {0, 1}) {
                JobSettings r = Defaults();
                r.dwOutputTo = c.outputTo;
                r.bKeepDuplicateJobs = keep;
                CopyText(r.szHoldUserName, L"Anna");
                CopyText(r.szHoldPin, L"1234");
                CopyText(r.fax.szFaxNumber, L"555-0100");
                CopyText(r.fax.szFaxStation, L"Office");
                PjlJob job = JobOf(r);
                job.dmCopies = 3;
                job.hasKeepPreviousPHJobs = keepFeature;
                Pieces expected = c.lines;
                if (held && keepFeature)
                    expected.push_back(keep ? "@PJL SET QDUPLICATEHELDJOBS = SAVE\n"
                                            : "@PJL SET QDUPLICATEHELDJOBS = DELETE\n");
                EXPECT_EQ(Routing(job), Plus(expected, tail))
                    << "destination " << c.outputTo << " feature " << keepFeature << " keep " << keep;
            }
        }
    }
}

TEST(PjlRouting, VerifyCopiesAndEmptyFaxStrings) {
    JobSettings r = Defaults();
    r.dwOutputTo = kOutputVerify;
    PjlJob job = JobOf(r);
    for (short copies : {1, -2, 999}) {
        job.dmCopies = copies;
        EXPECT_EQ(Routing(job)[2], "@PJL SET QTY = " + std::to_string(copies) + "\n");
    }
    EXPECT_EQ(Routing(job)[0], "@PJL SET USERNAME = \"\"\n");
    r.dwOutputTo = kOutputFax;
    EXPECT_EQ(Routing(job), (Pieces{"@PJL QFAX PHONENUMBER = \"\" STATIONID = \"\"\n",
                                    "@PJL SET QFAXRESOLUTION = FINE\n", "@PJL RDYMSG DISPLAY = \"D\"\n", kEnter}));
}

TEST(PjlColour, CorrectionAndManualLines) {
    const std::string m = "@PJL SET QCOLORCORRECTION = MANUAL\n";
    const struct {
        DWORD mode;
        DWORD rgb[3];   // text, graphics, image
        DWORD cmyk[3];  // text, graphics, image
        Pieces lines;
    } cases[] = {
        {0, {1, 1, 1}, {1, 1, 1}, {}},
        {1, {1, 1, 1}, {1, 1, 1}, {"@PJL SET QCOLORCORRECTION = OFF\n"}},
        {2, {1, 1, 1}, {1, 1, 1}, {"@PJL SET QCOLORCORRECTION = AUTO\n"}},
        {3, {1, 2, 3}, {1, 2, 3}, {m}},
        {9, {1, 2, 3}, {1, 2, 3}, {m}},
        {4, {0, 0, 0}, {0, 0, 0}, {m}},
        {4,
         {1, 2, 3},
         {1, 2, 3},
         {m, "@PJL SET QMANUALCOLORRGBTEXT = SRGBDISPLAY\n", "@PJL SET QMANUALCOLORRGBGRAPHICS = SRGBVIVID\n",
          "@PJL SET QMANUALCOLORRGBIMAGE = VIVID\n", "@PJL SET QMANUALCOLORCMYKTEXT = USCMYK\n",
          "@PJL SET QMANUALCOLORCMYKGRAPHICS = EUROCMYK\n", "@PJL SET QMANUALCOLORCMYKIMAGE = VIVIDCMYK\n"}},
        {4,
         {4, 0, 5},
         {4, 0, 5},
         {m, "@PJL SET QMANUALCOLORRGBTEXT = OFF\n", "@PJL SET QMANUALCOLORRGBIMAGE = DISPLAYREALBLACK\n",
          "@PJL SET QMANUALCOLORCMYKTEXT = OFF\n"}},
        {4, {5, 6, 0}, {0, 6, 5}, {m, "@PJL SET QMANUALCOLORRGBTEXT = DISPLAYREALBLACK\n"}},
    };
    for (const auto& c : cases) {
        JobSettings r = Defaults();
        r.dwColorCorrection = c.mode;
        r.dwRgbText = c.rgb[0];
        r.dwRgbGraphics = c.rgb[1];
        r.dwRgbImage = c.rgb[2];
        r.dwCmykText = c.cmyk[0];
        r.dwCmykGraphics = c.cmyk[1];
        r.dwCmykImage = c.cmyk[2];
        EXPECT_EQ(Routing(JobOf(r)), Plus(c.lines, {"@PJL RDYMSG DISPLAY = \"D\"\n", kEnter})) << c.mode;
    }
}

TEST(PjlColour, BalanceAndTonerSaving) {
    const Pieces balance = {"@PJL SET QCOLORBALANCECYAN = -5\n", "@PJL SET QCOLORBALANCEMAGENTA = 0\n",
                            "@PJL SET QCOLORBALANCEYELLOW = 3\n", "@PJL SET QCOLORBALANCEBLACK = 5\n"};
    const struct {
        DWORD bColorBalance;
        DWORD dwPallidor;
        Pieces lines;
    } cases[] = {
        {0, 0, {}},
        {1, 0, balance},
        {0, 1, {"@PJL SET QPALLIDOR = OFF\n"}},
        {0, 2, {"@PJL SET QPALLIDOR = ON\n"}},
        {1, 2, Plus(balance, {"@PJL SET QPALLIDOR = ON\n"})},
    };
    for (const auto& c : cases) {
        JobSettings r = Defaults();
        r.bColorBalance = c.bColorBalance;
        r.lBalanceCyan = -5;
        r.lBalanceYellow = 3;
        r.lBalanceBlack = 5;
        r.dwPallidor = c.dwPallidor;
        EXPECT_EQ(Routing(JobOf(r)), Plus(c.lines, {"@PJL RDYMSG DISPLAY = \"D\"\n", kEnter}));
    }
}

TEST(PjlRouting, EverythingAtOnceKeepsTheOrder) {
    JobSettings r = Defaults();
    r.dwOutputTo = kOutputConfidential;
    CopyText(r.szHoldUserName, L"Anna");
    CopyText(r.szHoldPin, L"0042");
    r.dwColorCorrection = 4;
    r.dwRgbImage = 2;
    r.dwCmykText = 4;
    r.bColorBalance = 1;
    r.lBalanceMagenta = -1;
    r.dwPallidor = 1;
    r.bKeepDuplicateJobs = 1;
    PjlJob job = JobOf(r);
    job.hasKeepPreviousPHJobs = true;
    EXPECT_EQ(Routing(job), (Pieces{"@PJL SET USERNAME = \"Anna\"\n", "@PJL SET HOLD = ON\n",
                                    "@PJL SET HOLDTYPE = PRIVATE\n", "@PJL SET HOLDKEY = \"0042\"\n",
                                    "@PJL SET QCOLORCORRECTION = MANUAL\n", "@PJL SET QMANUALCOLORRGBIMAGE = SRGBVIVID\n",
                                    "@PJL SET QMANUALCOLORCMYKTEXT = OFF\n", "@PJL SET QCOLORBALANCECYAN = 0\n",
                                    "@PJL SET QCOLORBALANCEMAGENTA = -1\n", "@PJL SET QCOLORBALANCEYELLOW = 0\n",
                                    "@PJL SET QCOLORBALANCEBLACK = 0\n", "@PJL SET QPALLIDOR = OFF\n",
                                    "@PJL SET QDUPLICATEHELDJOBS = SAVE\n", "@PJL RDYMSG DISPLAY = \"D\"\n", kEnter}));
}

TEST(PjlTrailer, IsTheSameForEveryJob) {
    Recorder out;
    WriteJobEnd(out);
    EXPECT_EQ(out.pieces, (Pieces{kUel + "@PJL RDYMSG DISPLAY = \"\"\n", kUel + "@PJL EOJ\n" + kUel}));
}

TEST(PjlLanguage, HeldUserAndDocumentNameInTheLanguagesCodePage) {
    const struct {
        LANGID language;
        const WCHAR* text;
        const char* bytes;
    } cases[] = {
        {1049, L"\u0416\u0430\u043d\u043d\u0430", "\xb6\xd0\xdd\xdd\xd0"},
        {1045, L"\u0141\u00f3d\u017a", "\xa3\xf3" "d\xbc"},
        {1033, L"M\u00fcller", "M\x81ller"},
        {1049, L"M\u00fcller", "Muller"},  // what the code page approximates is no control byte
    };
    for (const auto& c : cases) {
        JobSettings r = Defaults();
        r.dwOutputTo = kOutputReserve;
        CopyText(r.szHoldUserName, c.text);
        PjlJob job = JobOf(r);
        job.language = c.language;
        job.docName = c.text;
        const std::string value = c.bytes;
        EXPECT_EQ(Start(job)[2], "@PJL SET JOBNAME = \"" + value + "\"\n");
        EXPECT_EQ(Routing(job), (Pieces{"@PJL SET USERNAME = \"" + value + "\"\n", "@PJL SET HOLD = STORE\n",
                                        "@PJL RDYMSG DISPLAY = \"" + value + "\"\n", kEnter}));
    }
}

TEST(PjlQuoting, QuotesAndControlBytesBecomeBlanks) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"plain name", "plain name"},
        {"a\"b", "a b"},
        {"\r\n\t\x1b\f\x01\x1f", "       "},
        {"x\x7f\xb6\xff", "x\x7f\xb6\xff"},  // DEL and high bytes are text of the code page
        {"", ""},
        {nullptr, ""},
    };
    for (const auto& c : cases) {
        char out[32];
        CopyPjlQuotable(out, sizeof out, c.in);
        EXPECT_STREQ(out, c.out);
    }
    char small[4];
    CopyPjlQuotable(small, sizeof small, "\"abcdef");
    EXPECT_STREQ(small, " ab");
}

TEST(PjlQuoting, HostileValuesStayInsideTheirQuotes) {
    const WCHAR* hostile = L"a\"b\rc\nd\te\x1b" L"f\fg";
    const std::string safe = "a b c d e f g";
    JobSettings r = Defaults();
    r.bAccountNumber = 1;
    CopyText(r.szAccountNumber, L"1\"\r\n\x1b");
    CopyText(r.szHoldUserName, hostile);
    CopyText(r.szHoldPin, L"1\"\n4");
    CopyText(r.fax.szFaxNumber, hostile);
    CopyText(r.fax.szFaxStation, L"\n@PJL X");
    PjlJob job = JobOf(r);
    job.docName = L"doc\"\n@PJL SET HOLD = OFF\uff02";  // a fullwidth quote narrows to a plain one
    job.userName = "u\"\r\n";
    job.computerName = "h\"\x1b\f";

    const std::string doc = "doc  @PJL SET HOLD = OFF ";
    EXPECT_EQ(Start(job), (Pieces{kUel + "@PJL JOB\n@PJL SET QMULTIPAGEPRINT=OFF\n",
                                  "@PJL QJOBINFO USERID = \"u   \" HOSTID = \"h   \" ACCOUNTNUMBER = \"1    \"\n",
                                  "@PJL SET JOBNAME = \"" + doc + "\"\n", kDefaultQuality}));
    r.dwOutputTo = kOutputConfidential;
    EXPECT_EQ(Routing(job), (Pieces{"@PJL SET USERNAME = \"" + safe + "\"\n", "@PJL SET HOLD = ON\n",
                                    "@PJL SET HOLDTYPE = PRIVATE\n", "@PJL SET HOLDKEY = \"1  4\"\n",
                                    "@PJL RDYMSG DISPLAY = \"" + doc + "\"\n", kEnter}));
    r.dwOutputTo = kOutputFax;
    EXPECT_EQ(Routing(job), (Pieces{"@PJL QFAX PHONENUMBER = \"" + safe + "\" STATIONID = \" @PJL X\"\n",
                                    "@PJL SET QFAXRESOLUTION = FINE\n", "@PJL RDYMSG DISPLAY = \"" + doc + "\"\n",
                                    kEnter}));
}

// The shell: what the device, the system and the core driver give.
namespace {

struct Device {
    JobSettings record = Defaults();
    JobState state{};
    DEVMODEW dm{};
    DEVOBJ obj{};
    corvtest::FakeCore core;

    Device() {
        CopyText(state.docName, L"Report");
        dm.dmCopies = 2;
        dm.dmColor = DMCOLOR_MONOCHROME;
        obj.dwSize = sizeof obj;
        obj.pdevOEM = &state;
        obj.pPublicDM = &dm;
        obj.pOEMDM = &record;
        core.features = {"HasManualColorCorrection", "HasKeepPreviousPHJobs"};
    }
};

using Stage = int (*)(PDEVOBJ, IPrintCorePS2*);
const Stage kStages[] = {&BeginStream, &RoutingAndColour, &EndStream};

std::string SystemJobInfo() {
    char user[2048];
    DWORD userSize = sizeof user;
    char computer[17];
    DWORD computerSize = sizeof computer;
    EXPECT_TRUE(GetUserNameA(user, &userSize));
    EXPECT_TRUE(GetComputerNameA(computer, &computerSize));
    return std::string("@PJL QJOBINFO USERID = \"") + user + "\" HOSTID = \"" + computer + "\"\n";
}

}  // namespace

TEST(PjlShell, MissingPiecesWriteNothing) {
    for (Stage stage : kStages) {
        Device d;
        EXPECT_EQ(stage(nullptr, &d.core), 0);
        EXPECT_EQ(stage(&d.obj, nullptr), 0);
        d.obj.pOEMDM = nullptr;
        EXPECT_EQ(stage(&d.obj, &d.core), 0);
        d.obj.pOEMDM = &d.record;
        d.obj.pdevOEM = nullptr;
        EXPECT_EQ(stage(&d.obj, &d.core), 0);
        EXPECT_TRUE(d.core.pieces.empty());
        d.obj.pdevOEM = &d.state;
        EXPECT_EQ(stage(&d.obj, &d.core), 1);
        EXPECT_FALSE(d.core.pieces.empty());
        for (const auto& piece : d.core.pieces) EXPECT_FALSE(piece.empty());
    }
}

TEST(PjlShell, JobStartFromSystemAndDevice) {
    Device d;
    ASSERT_EQ(BeginStream(&d.obj, &d.core), 1);
    EXPECT_EQ(d.core.pieces,
              (Pieces{kUel + "@PJL JOB\n@PJL SET QMULTIPAGEPRINT=OFF\n", SystemJobInfo(), "@PJL SET JOBNAME = \"Report\"\n",
                      "@PJL SET QIMAGEBRIGHTNESS=0\n@PJL SET QIMAGECONTRAST=0\n@PJL SET QIMAGESATURATION=0\n"
                      "@PJL SET QCOLORMODEL=BLACK\n@PJL SET QLINEDETAIL=OFF\n@PJL SET QCOLORCORRECTION=AUTO\n"}));

    Device plain;
    plain.core.features.clear();
    plain.obj.pPublicDM = nullptr;  // without a public DEVMODE the job counts as a colour job
    ASSERT_EQ(BeginStream(&plain.obj, &plain.core), 1);
    ASSERT_EQ(plain.core.pieces.size(), 4u);
    EXPECT_EQ(plain.core.pieces[3],
              "@PJL SET QIMAGEBRIGHTNESS=0\n@PJL SET QIMAGECONTRAST=0\n@PJL SET QLINEDETAIL=OFF\n"
              "@PJL SET QCOLORCORRECTION=AUTO\n");
    plain.core.features = {"HasManualColorCorrection"};
    plain.core.pieces.clear();
    ASSERT_EQ(BeginStream(&plain.obj, &plain.core), 1);
    EXPECT_NE(plain.core.pieces[3].find("@PJL SET QCOLORMODEL=CMYK\n"), std::string::npos);
}

TEST(PjlShell, RoutingFromDeviceAndFeatures) {
    Device d;
    d.record.dwOutputTo = kOutputVerify;
    CopyText(d.record.szHoldUserName, L"Anna");
    ASSERT_EQ(RoutingAndColour(&d.obj, &d.core), 1);
    EXPECT_EQ(d.core.pieces, (Pieces{"@PJL SET USERNAME = \"Anna\"\n", "@PJL SET HOLD = PROOF\n", "@PJL SET QTY = 2\n",
                                     "@PJL SET QDUPLICATEHELDJOBS = DELETE\n", "@PJL RDYMSG DISPLAY = \"Report\"\n",
                                     kEnter}));
    d.core.features.clear();
    d.core.pieces.clear();
    ASSERT_EQ(RoutingAndColour(&d.obj, &d.core), 1);
    EXPECT_EQ(d.core.pieces.size(), 5u);
    EXPECT_EQ(d.core.pieces[3], "@PJL RDYMSG DISPLAY = \"Report\"\n");
}

TEST(PjlShell, TrailerNeedsNothingOfTheJob) {
    Device d;
    d.record.dwOutputTo = kOutputEps;
    ASSERT_EQ(EndStream(&d.obj, &d.core), 1);
    EXPECT_EQ(d.core.pieces, (Pieces{kUel + "@PJL RDYMSG DISPLAY = \"\"\n", kUel + "@PJL EOJ\n" + kUel}));
}
