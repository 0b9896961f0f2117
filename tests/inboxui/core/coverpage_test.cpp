#include "plug-in/inboxui/core/coverpage.h"

#include "inboxui/core/printerdc.h"
#include "support/iatpatch_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using corv::ui::DrawFaxCoverPage;
using corvtest::DcCall;
using corvtest::Emf;
using corvtest::PrinterDC;

namespace {

const HANDLE kPrinter = reinterpret_cast<HANDLE>(0x1234);

const char kMarker[] =
    "%%Make this page the Fax Cover page: \r\n statusdict /setcoverpage known \n"
    " {statusdict begin true setcoverpage end} if \n";

std::string Stamp(int x, int y, int size, int count) {
    char text[600];
    snprintf(text, sizeof text,
             "%d %d moveto \n gsave\n -1 1 scale\n 180 rotate\n /Helvetica findfont\n%d scalefont\nsetfont\n"
             " /strPP 10 string def \n statusdict /pagesprinted known \n"
             " {statusdict begin pagesprinted strPP cvs show end}  {%d strPP cvs show} ifelse \n grestore\n"
             " currentdict /strPP undef \n",
             x, y, size, count);
    return text;
}

// The PASSTHROUGH input block: a 16-bit count, then the bytes.
std::string Passed(const std::string& text) {
    std::string block(2, '\0');
    block[0] = static_cast<char>(text.size() & 0xFF);
    block[1] = static_cast<char>(text.size() >> 8);
    return block + text;
}

struct CoverJob {
    corv::JobSettings record{};
    DEVMODEW devmode{};
    CoverJob() {
        corv::DefaultRecord(&record);
        record.dwOutputTo = corv::kOutputFax;
        record.fax.bFaxCoverPage = TRUE;
        wcscpy(record.fax.szRecipientName, L"Ada Lovelace");
        wcscpy(record.fax.szFaxNumber, L"+44 20 7946 0000");
        wcscpy(record.fax.szSenderName, L"Charles Babbage");
        wcscpy(record.fax.szSenderCompany, L"Analytical Engines");
        wcscpy(record.fax.szSenderAddress, L"1 Dorset Street");
        wcscpy(record.fax.szSenderFax, L"+44 20 7946 0001");
        wcscpy(record.fax.szSenderVoice, L"+44 20 7946 0002");
        wcscpy(record.fax.szSenderEmail, L"cb@example.org");
        wcscpy(record.fax.szComments, L"Notes follow.");
        devmode.dmSize = sizeof devmode;
        devmode.dmFields = DM_ORIENTATION;
        devmode.dmOrientation = DMORIENT_PORTRAIT;
    }
};

struct Row {
    std::wstring text;
    int x;
    int y;
    LONG height;
    DWORD block;  // 0: always drawn
};

// Every text row of an A4 page at 600 dpi with the job above (x0 248, indent 175).
std::vector<Row> A4Rows() {
    return {
        {L"Facsimile Transmission Form", 248, 350, -200, 0},
        {L"Pages to Follow:   ", 248, 1050, -133, 0},
        {L"To:", 248, 1516, -133, 1},
        {L"Name:      Ada Lovelace", 423, 1866, -100, 1},
        {L"Fax #:     +44 20 7946 0000", 423, 2099, -100, 1},
        {L"From:", 248, 2565, -133, 2},
        {L"Name:      Charles Babbage", 423, 2915, -100, 2},
        {L"Company:   Analytical Engines", 423, 3148, -100, 2},
        {L"Address:   1 Dorset Street", 423, 3381, -100, 2},
        {L"Fax #:     +44 20 7946 0001", 423, 3614, -100, 2},
        {L"Voice #:   +44 20 7946 0002", 423, 3847, -100, 2},
        {L"Email:     cb@example.org", 423, 4080, -100, 2},
        {L"Comments:", 248, 4546, -133, 4},
        {L"Notes follow.", 423, 4896, -100, 4},
    };
}

struct Rule {
    int y;
    int width;
    DWORD block;
};

std::vector<Rule> A4Rules() {
    return {{700, 16, 0}, {1283, 9, 0}, {2332, 9, 1}, {4313, 9, 2}, {6666, 16, 0}};
}

SIZE MeasureOnScreen(const wchar_t* text, LONG height) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = FF_SWISS;
    wcscpy(lf.lfFaceName, L"Arial");
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return size;
}

std::vector<int> Kinds(const std::vector<DcCall>& calls) {
    std::vector<int> k;
    for (const DcCall& c : calls) k.push_back(c.kind == DcCall::Escape ? c.code : -c.kind);
    return k;
}

constexpr int kStart = -DcCall::StartPage;
constexpr int kEnd = -DcCall::EndPage;

}  // namespace

TEST(FaxCoverPage, AnnouncesStartsMarksStampsAndEndsThePage) {
    CoverJob job;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 7));

    const std::vector<DcCall>& calls = printer.calls();
    ASSERT_EQ(Kinds(calls), (std::vector<int>{0x10008, kStart, PASSTHROUGH, PASSTHROUGH, kEnd}));
    EXPECT_EQ(calls[0].input, std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(calls[0].outputSize, 0);
    EXPECT_FALSE(calls[0].hasOutput);
    EXPECT_EQ(calls[2].input, Passed(kMarker));

    // The stamp follows the heading as measured in the body font; hp = MulDiv(16, 600, 72) = 133.
    const SIZE body = MeasureOnScreen(L"Pages to Follow:   ", -100);
    ASSERT_GT(body.cx, 0);
    const int x = 248 + MulDiv(body.cx, 133, 72);
    const int y = 1050 + MulDiv(body.cy, 133, 72) / 2;
    EXPECT_EQ(calls[3].input, Passed(Stamp(x, y, 100, 7)));
}

TEST(FaxCoverPage, AllBlocksOnA4) {
    CoverJob job;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 3));
    const Emf emf = printer.finish();

    const std::vector<corvtest::EmfText> texts = emf.texts();
    const std::vector<Row> rows = A4Rows();
    ASSERT_EQ(texts.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(texts[i].text, rows[i].text);
        EXPECT_EQ(texts[i].reference.x, rows[i].x) << i;
        EXPECT_EQ(texts[i].reference.y, rows[i].y) << i;
        EXPECT_EQ(texts[i].font.lfHeight, rows[i].height) << i;
        EXPECT_EQ(texts[i].font.lfPitchAndFamily, FF_SWISS);
        EXPECT_EQ(texts[i].font.lfCharSet, 0);
        EXPECT_STREQ(texts[i].font.lfFaceName, L"Arial");
    }
    // Title extra bold and italic, headings bold, body regular.
    EXPECT_EQ(texts[0].font.lfWeight, 800);
    EXPECT_TRUE(texts[0].font.lfItalic);
    EXPECT_EQ(texts[1].font.lfWeight, 700);
    EXPECT_FALSE(texts[1].font.lfItalic);
    EXPECT_EQ(texts[3].font.lfWeight, 400);
    // Rows start at the point set before them; the comments are placed by their box.
    EXPECT_EQ(texts[0].align & TA_UPDATECP, static_cast<UINT>(TA_UPDATECP));
    EXPECT_EQ(texts[12].align & TA_UPDATECP, static_cast<UINT>(TA_UPDATECP));
    EXPECT_EQ(texts[13].align, static_cast<UINT>(TA_LEFT | TA_TOP));
    EXPECT_EQ(texts[13].clip.left, 423);
    EXPECT_EQ(texts[13].clip.top, 4896);
    EXPECT_EQ(texts[13].clip.right, 4289);
    EXPECT_EQ(texts[13].clip.bottom, 6666);

    const std::vector<Emf::Line> lines = emf.lines();
    const std::vector<Rule> rules = A4Rules();
    ASSERT_EQ(lines.size(), rules.size());
    for (size_t i = 0; i < rules.size(); ++i) {
        EXPECT_EQ(lines[i].x0, 248);
        EXPECT_EQ(lines[i].x1, 4464);
        EXPECT_EQ(lines[i].y0, rules[i].y);
        EXPECT_EQ(lines[i].y1, rules[i].y);
        EXPECT_EQ(lines[i].penWidth, rules[i].width) << "rule at " << rules[i].y;
    }
}

TEST(FaxCoverPage, EveryBlockKeepsItsPlaceWhateverIsSelected) {
    for (DWORD parts = 1; parts <= 7; ++parts) {
        CoverJob job;
        job.record.fax.dwCoverParts = parts;
        PrinterDC printer;
        ASSERT_TRUE(printer.ready());
        ASSERT_TRUE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 1)) << parts;
        const Emf emf = printer.finish();

        std::vector<Row> expected;
        for (const Row& r : A4Rows())
            if (!r.block || (r.block & parts)) expected.push_back(r);
        const std::vector<corvtest::EmfText> texts = emf.texts();
        ASSERT_EQ(texts.size(), expected.size()) << "parts " << parts;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(texts[i].text, expected[i].text) << "parts " << parts;
            EXPECT_EQ(texts[i].reference.x, expected[i].x) << "parts " << parts;
            EXPECT_EQ(texts[i].reference.y, expected[i].y) << "parts " << parts;
            EXPECT_EQ(texts[i].font.lfHeight, expected[i].height) << "parts " << parts;
        }
        std::vector<int> ys;
        for (const Emf::Line& l : emf.lines()) ys.push_back(l.y0);
        std::vector<int> rules;
        for (const Rule& r : A4Rules())
            if (!r.block || (r.block & parts)) rules.push_back(r.y);
        EXPECT_EQ(ys, rules) << "parts " << parts;
    }
}

TEST(FaxCoverPage, NoBlockOrNegativeCountSendsNothing) {
    CoverJob job;
    job.record.fax.dwCoverParts = 0;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 2));
    // Bits outside the three blocks select nothing either.
    job.record.fax.dwCoverParts = 8;
    EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 2));
    job.record.fax.dwCoverParts = 7;
    EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, -1));
    EXPECT_FALSE(DrawFaxCoverPage(nullptr, kPrinter, &job.record, &job.devmode, 2));
    EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), nullptr, &job.record, &job.devmode, 2));
    EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), kPrinter, nullptr, &job.devmode, 2));
    EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, nullptr, 2));
    EXPECT_TRUE(printer.calls().empty());
    EXPECT_EQ(printer.finish().texts().size(), 0u);
}

TEST(FaxCoverPage, ZeroPagesIsStillACount) {
    CoverJob job;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    EXPECT_TRUE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 0));
    ASSERT_EQ(printer.calls().size(), 5u);
    EXPECT_NE(printer.calls()[3].input.find("{0 strPP cvs show}"), std::string::npos);
}

namespace {

int failAfter = 0;  // creations that still succeed
HFONT WINAPI FailingCreateFont(const LOGFONTW* lf) {
    if (failAfter-- > 0) return CreateFontW(lf->lfHeight, 0, 0, 0, lf->lfWeight, 0, 0, 0, 0, 0, 0, 0, 0, lf->lfFaceName);
    return nullptr;
}
HPEN WINAPI FailingCreatePen(int, int, COLORREF) { return nullptr; }

}  // namespace

TEST(FaxCoverPage, PageStartedBeforeAFontFailsIsEnded) {
    for (int succeed : {0, 2}) {
        CoverJob job;
        PrinterDC printer;
        ASSERT_TRUE(printer.ready());
        failAfter = succeed;
        corvtest::ExeImportPatch font("gdi32.dll", "CreateFontIndirectW", reinterpret_cast<void*>(&FailingCreateFont));
        ASSERT_TRUE(font.active());
        EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 4));
        // The page that was started is ended; nothing is drawn on it and no stamp is sent.
        EXPECT_EQ(Kinds(printer.calls()), (std::vector<int>{0x10008, kStart, PASSTHROUGH, kEnd})) << succeed;
        const Emf emf = printer.finish();
        EXPECT_TRUE(emf.texts().empty());
        EXPECT_TRUE(emf.lines().empty());
    }
}

TEST(FaxCoverPage, PageStartedBeforeAPenFailsIsEnded) {
    CoverJob job;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    corvtest::ExeImportPatch pen("gdi32.dll", "CreatePen", reinterpret_cast<void*>(&FailingCreatePen));
    ASSERT_TRUE(pen.active());
    EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 4));
    EXPECT_EQ(Kinds(printer.calls()), (std::vector<int>{0x10008, kStart, PASSTHROUGH, kEnd}));
    EXPECT_TRUE(printer.finish().texts().empty());
}

TEST(FaxCoverPage, NoPageNoDrawing) {
    CoverJob job;
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    printer.failStartPage();
    EXPECT_FALSE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 4));
    EXPECT_EQ(Kinds(printer.calls()), (std::vector<int>{0x10008, kStart}));
    EXPECT_TRUE(printer.finish().texts().empty());
}

TEST(FaxCoverPage, LandscapeJobOnAPortraitPageUsesTheSwappedBox) {
    CoverJob job;
    job.devmode.dmOrientation = DMORIENT_LANDSCAPE;
    PrinterDC printer(corvtest::kLetterAt600);
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 1));
    const Emf emf = printer.finish();
    // W 6600, H 5100: x0 330, xe 5940, indent 127, H/20 255, H/30 170.
    const std::vector<Emf::Line> lines = emf.lines();
    ASSERT_EQ(lines.size(), 5u);
    const int ys[] = {510, 935, 1700, 3145, 4845};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].x0, 330);
        EXPECT_EQ(lines[i].x1, 5940);
        EXPECT_EQ(lines[i].y0, ys[i]);
        EXPECT_EQ(lines[i].penWidth, i == 0 || i == 4 ? 17 : 10);
    }
    const std::vector<corvtest::EmfText> texts = emf.texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].reference.y, 255);
    EXPECT_EQ(texts[0].font.lfHeight, -208);
    EXPECT_EQ(texts.back().reference.x, 330 + 127);
    EXPECT_EQ(texts.back().clip.bottom, 4845);
}

TEST(FaxCoverPage, LongCommentsWrapInsideTheirBox) {
    CoverJob job;
    job.record.fax.dwCoverParts = 4;
    std::wstring comments;
    while (comments.size() < 1000) comments += L"word ";
    // The record's comments fill the array without a terminator.
    for (size_t i = 0; i < 1024; ++i) job.record.fax.szComments[i] = comments[i % comments.size()];
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 1));
    const Emf emf = printer.finish();
    std::vector<corvtest::EmfText> texts = emf.texts();
    ASSERT_GT(texts.size(), 3u);  // title, count, "Comments:", then several lines
    size_t chars = 0;
    int lastY = 0;
    for (size_t i = 3; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].reference.x, 423);
        EXPECT_GT(texts[i].reference.y, lastY);
        lastY = texts[i].reference.y;
        EXPECT_EQ(texts[i].clip.bottom, 6666);  // cut at the box's bottom edge
        EXPECT_NE(texts[i].options & ETO_CLIPPED, 0u);
        // Word breaks: no line starts inside a word.
        EXPECT_NE(texts[i].text.front(), L' ');
        chars += texts[i].text.size();
    }
    EXPECT_EQ(texts[3].reference.y, 4896);
    EXPECT_LE(chars, 1024u);
}

TEST(FaxCoverPage, UnterminatedFieldsStayWithinTheirArrays) {
    CoverJob job;
    job.record.fax.dwCoverParts = 1;
    for (WCHAR& c : job.record.fax.szRecipientName) c = L'R';
    for (WCHAR& c : job.record.fax.szFaxNumber) c = L'9';
    wcscpy(job.record.fax.szFaxStation, L"STATION");  // what an unbounded read would run into
    PrinterDC printer;
    ASSERT_TRUE(printer.ready());
    ASSERT_TRUE(DrawFaxCoverPage(printer.dc(), kPrinter, &job.record, &job.devmode, 1));
    const std::vector<corvtest::EmfText> texts = printer.finish().texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[3].text, L"Name:      " + std::wstring(128, L'R'));
    EXPECT_EQ(texts[4].text, L"Fax #:     " + std::wstring(128, L'9'));
}
