#include "host/print/emfps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace corv::host;

// A metafile written record by record, for drawings whose every number the test chooses.
class EmfBuilder {
public:
    EmfBuilder() {
        ENHMETAHEADER h{};
        h.iType = EMR_HEADER;
        h.nSize = sizeof h;
        h.dSignature = ENHMETA_SIGNATURE;
        h.nVersion = 0x10000;
        Append(&h, sizeof h);
    }
    template <typename T>
    EmfBuilder& Add(T record) {
        record.emr.nSize = sizeof record;
        Append(&record, sizeof record);
        return *this;
    }
    EmfBuilder& Simple(DWORD type) {
        EMRABORTPATH r{};
        r.emr.iType = type;
        return Add(r);
    }
    EmfBuilder& Font(DWORD index, LONG height, LONG escapement, const wchar_t* face, LONG weight = FW_NORMAL,
                     bool italic = false, bool underline = false, bool strikeOut = false) {
        EMREXTCREATEFONTINDIRECTW f{};
        f.emr.iType = EMR_EXTCREATEFONTINDIRECTW;
        f.ihFont = index;
        LOGFONTW& lf = f.elfw.elfLogFont;
        lf.lfHeight = height;
        lf.lfEscapement = lf.lfOrientation = escapement;
        lf.lfWeight = weight;
        lf.lfItalic = italic;
        lf.lfUnderline = underline;
        lf.lfStrikeOut = strikeOut;
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        return Add(f);
    }
    EmfBuilder& Pen(DWORD index, UINT style, LONG width, COLORREF colour) {
        EMRCREATEPEN p{};
        p.emr.iType = EMR_CREATEPEN;
        p.ihPen = index;
        p.lopn = {style, {width, 0}, colour};
        return Add(p);
    }
    EmfBuilder& Brush(DWORD index, UINT style, COLORREF colour) {
        EMRCREATEBRUSHINDIRECT b{};
        b.emr.iType = EMR_CREATEBRUSHINDIRECT;
        b.ihBrush = index;
        b.lb = {style, colour, 0};
        return Add(b);
    }
    // Every record of one 32-bit value has this shape.
    EmfBuilder& Value(DWORD type, DWORD value) {
        EMRSETTEXTCOLOR r{};
        r.emr.iType = type;
        r.crColor = value;
        return Add(r);
    }
    EmfBuilder& Select(DWORD handle) { return Value(EMR_SELECTOBJECT, handle); }
    EmfBuilder& Delete(DWORD handle) { return Value(EMR_DELETEOBJECT, handle); }
    EmfBuilder& RestoreDC(LONG relative) { return Value(EMR_RESTOREDC, static_cast<DWORD>(relative)); }
    EmfBuilder& Point(DWORD type, LONG x, LONG y) {
        EMRLINETO r{};
        r.emr.iType = type;
        r.ptl = {x, y};
        return Add(r);
    }
    EmfBuilder& Rectangle(LONG l, LONG t, LONG r, LONG b) {
        EMRRECTANGLE k{};
        k.emr.iType = EMR_RECTANGLE;
        k.rclBox = {l, t, r, b};
        return Add(k);
    }
    EmfBuilder& PatBlt(LONG x, LONG y, LONG cx, LONG cy, DWORD rop) {
        EMRBITBLT b{};
        b.emr.iType = EMR_BITBLT;
        b.xDest = x, b.yDest = y, b.cxDest = cx, b.cyDest = cy;
        b.dwRop = rop;
        return Add(b);
    }
    EmfBuilder& Comment(const std::vector<BYTE>& data) {
        std::vector<BYTE> body(4 + (data.size() + 3) / 4 * 4);
        const DWORD size = static_cast<DWORD>(data.size());
        std::memcpy(body.data(), &size, 4);
        if (!data.empty()) std::memcpy(body.data() + 4, data.data(), data.size());
        return Raw(EMR_GDICOMMENT, body);
    }
    // ExtTextOutW with its string and advances after the fixed part.
    EmfBuilder& Text(LONG x, LONG y, const std::wstring& text, const std::vector<INT>& dx, UINT options = 0,
                     RECTL clip = {0, 0, -1, -1}) {
        EMREXTTEXTOUTW t{};
        t.emr.iType = EMR_EXTTEXTOUTW;
        t.iGraphicsMode = GM_COMPATIBLE;
        t.emrtext.ptlReference = {x, y};
        t.emrtext.nChars = static_cast<DWORD>(text.size());
        t.emrtext.fOptions = options;
        t.emrtext.rcl = clip;
        const size_t stringBytes = (text.size() * 2 + 3) / 4 * 4;
        t.emrtext.offString = sizeof t;
        t.emrtext.offDx = dx.empty() ? 0 : static_cast<DWORD>(sizeof t + stringBytes);
        std::vector<BYTE> body(sizeof t - 8 + stringBytes + dx.size() * sizeof(INT));
        std::memcpy(body.data(), reinterpret_cast<const BYTE*>(&t) + 8, sizeof t - 8);
        std::memcpy(body.data() + sizeof t - 8, text.data(), text.size() * 2);
        if (!dx.empty()) std::memcpy(body.data() + sizeof t - 8 + stringBytes, dx.data(), dx.size() * sizeof(INT));
        return Raw(EMR_EXTTEXTOUTW, body);
    }
    EmfBuilder& Raw(DWORD type, const std::vector<BYTE>& body) {
        const DWORD header[2] = {type, static_cast<DWORD>(8 + body.size())};
        Append(header, sizeof header);
        Append(body.data(), body.size());
        return *this;
    }
    std::vector<BYTE> Bytes() const {
        std::vector<BYTE> all = bytes_;
        const EMREOF eof{{EMR_EOF, sizeof(EMREOF)}, 0, sizeof(EMREOF) - sizeof(DWORD), sizeof(EMREOF)};
        all.insert(all.end(), reinterpret_cast<const BYTE*>(&eof), reinterpret_cast<const BYTE*>(&eof) + sizeof eof);
        return all;
    }

private:
    void Append(const void* data, size_t size) {
        const auto* p = static_cast<const BYTE*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    std::vector<BYTE> bytes_;
};

DeviceFrame Letter600() {
    DeviceFrame f;
    f.dpi = 600;
    f.offsetX = 150, f.offsetY = 100;
    f.pageHeight = 792;
    return f;
}

Translation Translate(const EmfBuilder& emf, const PrinterFontMap& fonts = PrinterFontMap()) {
    const std::vector<BYTE> bytes = emf.Bytes();
    return TranslateMetafile(bytes.data(), bytes.size(), Letter600(), fonts);
}

// The one part of a drawing without marks, without the frame around it.
std::string Body(const Translation& t) {
    if (t.parts.size() != 1) return "parts: " + std::to_string(t.parts.size());
    const std::string& ps = t.parts[0].postscript;
    const std::string head = "gsave [0.12 0 0 -0.12 18 780] concat 1 setlinecap 1 setlinejoin\n";
    const std::string tail = "grestore\n";
    if (ps.rfind(head, 0) != 0 || ps.size() < head.size() + tail.size() ||
        ps.compare(ps.size() - tail.size(), tail.size(), tail) != 0)
        return "unframed: " + ps;
    return ps.substr(head.size(), ps.size() - head.size() - tail.size());
}

constexpr DWORD kStock = ENHMETA_STOCK_OBJECT;

TEST(PrinterFontMap, FacesBecomeThePrintersFamiliesWithTheirVariants) {
    const PrinterFontMap fonts;  // no list: the standard names stand
    struct Case {
        const wchar_t* face;
        bool bold, italic;
        const char* font;
    } cases[] = {
        {L"Arial", false, false, "Helvetica"},
        {L"arial", true, false, "Helvetica-Bold"},
        {L"Arial", false, true, "Helvetica-Oblique"},
        {L"Arial", true, true, "Helvetica-BoldOblique"},
        {L"Times New Roman", false, false, "Times-Roman"},
        {L"Times New Roman", true, true, "Times-BoldItalic"},
        {L"Times New Roman", false, true, "Times-Italic"},
        {L"Courier New", true, false, "Courier-Bold"},
        {L"COURIER NEW", false, true, "Courier-Oblique"},
        {L"No Such Face", true, false, "Helvetica-Bold"},
        {L"", false, false, "Helvetica"},
    };
    for (const Case& c : cases) EXPECT_EQ(fonts.Resolve(c.face, c.bold, c.italic).name, c.font) << c.face;
    EXPECT_DOUBLE_EQ(fonts.Resolve(L"Courier New", false, false).descent, 0.300);
    EXPECT_DOUBLE_EQ(fonts.Resolve(L"Times New Roman", false, false).ascent, 0.891);
}

TEST(PrinterFontMap, OnlyFontsThePrinterHolds) {
    const PrinterFontMap some({"Courier", "Helvetica", "Helvetica-Bold", "Times-Roman"});
    EXPECT_EQ(some.Resolve(L"Times New Roman", true, false).name, "Times-Roman");  // its family's upright
    EXPECT_EQ(some.Resolve(L"Arial", true, true).name, "Helvetica");
    EXPECT_EQ(some.Resolve(L"Arial", true, false).name, "Helvetica-Bold");
    EXPECT_EQ(some.Resolve(L"Courier New", false, true).name, "Courier");
    const PrinterFontMap odd({"Palatino-Roman"});
    EXPECT_EQ(odd.Resolve(L"Arial", false, false).name, "Palatino-Roman");
}

// Each run as "encoding:bytes|".
std::string Runs(std::wstring_view text) {
    std::string out;
    for (const EncodedRun& run : EncodeText(text)) out += std::to_string(run.encoding) + ":" + run.bytes + "|";
    return out;
}

TEST(EncodeText, LatinOneAndCentralEuropeanLettersInTheirEncodings) {
    EXPECT_EQ(Runs(L"Gr\u00f6\u00dfe (caf\u00e9)"), "0:Gr\xf6\xdf" "e (caf\xe9)|");
    // Polish: the letters only code page 1250 has switch the run; ó is in both and stays.
    EXPECT_EQ(Runs(L"Za\u017c\u00f3\u0142\u0107 \u20ac"), "0:Za|1:\xbf\xf3\xb3\xe6 \x80|");
    // Back to Western for a letter only 1252 has; elsewhere a visible question mark.
    EXPECT_EQ(Runs(L"\u0159\u00e6\u65e5\u0416\t"), "1:\xf8|0:\xe6???|");
    EXPECT_EQ(Runs(L""), "");
}

// The prolog's encoding vectors must name, at every byte EncodeText gives, the letter it came from.
TEST(DrawingProcSet, EncodingVectorsNameTheLettersTheTextIsEncodedWith) {
    const std::string ps = DrawingProcSet();
    std::map<std::string, std::vector<std::string>> upper;  // vector name -> names 0x80..0xFF
    for (const char* vector : {"cgW", "cgE"}) {
        const size_t at = ps.find(std::string(vector) + " 128 [");
        ASSERT_NE(at, std::string::npos) << vector;
        std::istringstream names(ps.substr(at + 9, ps.find(']', at) - at - 9));
        for (std::string name; names >> name;) upper[vector].push_back(name.substr(1));
        ASSERT_EQ(upper[vector].size(), 128u) << vector;
    }
    const struct {
        wchar_t c;
        const char* name;
    } letters[] = {{L'\u00e9', "eacute"},     {L'\u00df', "germandbls"}, {L'\u0105', "aogonek"},
                   {L'\u0142', "lslash"},     {L'\u017c', "zdotaccent"}, {L'\u0151', "ohungarumlaut"},
                   {L'\u0159', "rcaron"},     {L'\u016f', "uring"},      {L'\u20ac', "Euro"},
                   {L'\u2014', "emdash"},     {L'\u0162', "Tcommaaccent"}, {L'\u0152', "OE"}};
    for (const auto& l : letters) {
        const auto runs = EncodeText(std::wstring(1, l.c));
        ASSERT_EQ(runs.size(), 1u);
        const auto byte = static_cast<unsigned char>(runs[0].bytes[0]);
        ASSERT_GE(byte, 0x80) << l.name;
        EXPECT_EQ(upper[runs[0].encoding ? "cgE" : "cgW"][byte - 0x80], l.name);
    }
    // ASCII as Windows has it: a straight quote and a grave accent.
    EXPECT_NE(ps.find("cgW 39 /quotesingle put cgW 96 /grave put"), std::string::npos);
}

TEST(TranslateMetafile, TextAtItsReferencePointInTheRotatedFont) {
    EmfBuilder emf;
    emf.Font(1, -450, 450, L"Arial", FW_BOLD)
        .Select(1)
        .Value(EMR_SETTEXTCOLOR, RGB(255, 0, 0))
        .Value(EMR_SETBKMODE, TRANSPARENT)
        .Text(100, 200, L"AB", {300, 250}, ETO_CLIPPED, {0, 0, 100000, 100000});
    const Translation t = Translate(emf);
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(Body(t),
              "gsave\n"
              "0 0 100000 100000 rectclip\n"
              "100 200 translate 1 -1 scale 45 rotate 0 -407.25 translate\n"
              "1 0 0 setrgbcolor\n"
              "0 0 moveto\n"
              "450 /Helvetica-Bold-CorvW /Helvetica-Bold cgW cgF\n"
              "(AB) [300 250] xshow\n"
              "grestore\n");
    EXPECT_TRUE(t.untranslated.empty());
}

TEST(TranslateMetafile, AlignmentMovesTheTextAlongItsBaseline) {
    struct Case {
        UINT align;
        const char* frame;
    } cases[] = {
        {TA_CENTER | TA_BASELINE, "10 20 translate 1 -1 scale -275 0 translate\n"},
        {TA_RIGHT | TA_BOTTOM, "10 20 translate 1 -1 scale -550 95.4 translate\n"},
        {TA_LEFT | TA_TOP, "10 20 translate 1 -1 scale 0 -407.25 translate\n"},
    };
    for (const Case& c : cases) {
        EmfBuilder emf;
        emf.Font(1, -450, 0, L"Arial").Select(1).Value(EMR_SETBKMODE, TRANSPARENT).Value(EMR_SETTEXTALIGN, c.align);
        emf.Text(10, 20, L"AB", {300, 250});
        EXPECT_NE(Body(Translate(emf)).find(c.frame), std::string::npos) << c.align << "\n" << Body(Translate(emf));
    }
}

TEST(TranslateMetafile, UpdatingTheCurrentPositionChainsTexts) {
    EmfBuilder emf;
    emf.Font(1, -450, 0, L"Arial").Select(1).Value(EMR_SETBKMODE, TRANSPARENT).Value(EMR_SETTEXTALIGN, TA_UPDATECP);
    emf.Point(EMR_MOVETOEX, 50, 60).Text(999, 999, L"AB", {300, 250}).Text(999, 999, L"C", {100});
    const std::string body = Body(Translate(emf));
    const size_t first = body.find("50 60 translate");
    const size_t second = body.find("600 60 translate");
    EXPECT_NE(first, std::string::npos) << body;
    EXPECT_NE(second, std::string::npos) << body;
    EXPECT_LT(first, second);
    EXPECT_EQ(body.find("999"), std::string::npos);
}

TEST(TranslateMetafile, OpaqueBackgroundUnderlineAndStrikeOut) {
    EmfBuilder emf;
    emf.Font(1, -450, 0, L"Arial", FW_NORMAL, false, true, true).Select(1).Value(EMR_SETBKCOLOR, RGB(0, 0, 255));
    emf.Text(0, 0, L"AB", {300, 250});
    const std::string body = Body(Translate(emf));
    // The background box spans the cell, below the text; the lines go over it in the text's colour.
    const size_t box = body.find("0 0 1 setrgbcolor 0 -95.4 550 502.65 rectfill\n");
    const size_t text = body.find("(AB) [300 250] xshow\n");
    const size_t lines = body.find("[0 -80.55 550 32.85 0 116.55 550 22.5] rectfill\n");
    ASSERT_NE(box, std::string::npos) << body;
    ASSERT_NE(text, std::string::npos) << body;
    ASSERT_NE(lines, std::string::npos) << body;
    EXPECT_LT(box, text);
    EXPECT_LT(text, lines);
}

TEST(TranslateMetafile, OutlinedTextIsACharpathStrokedWithThePen) {
    EmfBuilder emf;
    emf.Font(1, -100, 900, L"Times New Roman", FW_NORMAL, true).Select(1);
    emf.Simple(EMR_BEGINPATH).Text(10, 20, L"(\\)", {40, 50, 60}).Simple(EMR_ENDPATH);
    emf.Select(kStock | DC_PEN).Pen(2, PS_SOLID, 0, RGB(0, 128, 0)).Select(2).Simple(EMR_STROKEPATH);
    EXPECT_EQ(Body(Translate(emf)),
              "newpath\n"
              "matrix currentmatrix\n"
              "10 20 translate 1 -1 scale 90 rotate 0 -89.1 translate\n"
              "0 0 moveto\n"
              "100 /Times-Italic-CorvW /Times-Italic cgW cgF\n"
              "(\\(\\\\\\)) [40 50 60] cgX\n"
              "setmatrix\n"
              "0 0.502 0 setrgbcolor 1 setlinewidth [] 0 setdash stroke\n");
}

TEST(TranslateMetafile, PensBrushesLinesAndRectangles) {
    EmfBuilder emf;
    emf.Pen(1, PS_SOLID, 17, RGB(0, 0, 0)).Select(1).Point(EMR_MOVETOEX, 10, 20).Point(EMR_LINETO, 300, 20);
    emf.Brush(2, BS_SOLID, RGB(0, 0, 255)).Select(2).Select(kStock | NULL_PEN).Rectangle(1, 2, 30, 40);
    emf.Pen(3, PS_DASH, 2, RGB(255, 255, 255)).Select(3).Select(kStock | NULL_BRUSH).Rectangle(5, 6, 7, 8);
    emf.Select(2).PatBlt(0, 0, 10, 10, PATCOPY).PatBlt(1, 1, 2, 2, BLACKNESS);
    EXPECT_EQ(Body(Translate(emf)),
              "newpath 10 20 moveto 300 20 lineto\n"
              "0 setgray 17 setlinewidth [] 0 setdash stroke\n"
              "newpath 1 2 moveto 30 2 lineto 30 40 lineto 1 40 lineto closepath\n"
              "gsave 0 0 1 setrgbcolor eofill grestore\n"
              "newpath\n"
              "newpath 5 6 moveto 7 6 lineto 7 8 lineto 5 8 lineto closepath\n"
              "1 setgray 2 setlinewidth [12 4] 0 setdash stroke\n"
              "0 0 1 setrgbcolor 0 0 10 10 rectfill\n"
              "0 setgray 1 1 2 2 rectfill\n");
}

TEST(TranslateMetafile, RestoreDCBringsBackWhatSaveDCKept) {
    EmfBuilder emf;
    emf.Font(1, -100, 0, L"Courier New").Select(1).Value(EMR_SETBKMODE, TRANSPARENT);
    emf.Value(EMR_SETTEXTCOLOR, RGB(0, 0, 255)).Simple(EMR_SAVEDC);
    emf.Font(2, -200, 0, L"Arial").Select(2).Value(EMR_SETTEXTCOLOR, RGB(255, 0, 0)).Simple(EMR_SAVEDC);
    emf.Value(EMR_SETTEXTCOLOR, RGB(0, 255, 0));
    emf.RestoreDC(-2).RestoreDC(5).Delete(1).Text(0, 0, L"x", {10});
    const std::string body = Body(Translate(emf));
    EXPECT_NE(body.find("0 0 1 setrgbcolor\n"), std::string::npos) << body;
    EXPECT_NE(body.find("100 /Courier-CorvW /Courier cgW cgF\n"), std::string::npos) << body;
    EXPECT_EQ(body.find("Helvetica"), std::string::npos) << body;
}

TEST(TranslateMetafile, MarksSplitTheDrawingAndPassThroughStaysInPlace) {
    EmfBuilder emf;
    emf.Point(EMR_MOVETOEX, 0, 0).Point(EMR_LINETO, 1, 1);
    emf.Comment(MarkComment(DrawingMark::BodyBegins));
    emf.Rectangle(0, 0, 5, 5);
    emf.Comment(MarkComment(DrawingMark::BodyEnds));
    emf.Comment(MarkComment(DrawingMark::PassThrough, "1 2 moveto"));
    emf.Point(EMR_LINETO, 3, 3);
    emf.Comment({'G', 'D', 'I', 'C', 1, 0, 0, 0});  // someone else's comment
    const Translation t = Translate(emf);
    ASSERT_EQ(t.parts.size(), 3u);
    EXPECT_EQ(t.parts[0].end, DrawingMark::BodyBegins);
    EXPECT_EQ(t.parts[1].end, DrawingMark::BodyEnds);
    EXPECT_EQ(t.parts[2].end, DrawingMark::None);
    EXPECT_NE(t.parts[0].postscript.find("0 0 moveto 1 1 lineto"), std::string::npos);
    EXPECT_NE(t.parts[1].postscript.find("closepath"), std::string::npos);
    const std::string& last = t.parts[2].postscript;
    EXPECT_NE(last.find("concat 1 setlinecap 1 setlinejoin\n1 2 moveto\nnewpath 1 1 moveto 3 3 lineto"),
              std::string::npos)
        << last;
    EXPECT_EQ(t.parts[2].passThrough, "1 2 moveto\n");  // on its own too, with a line end
    EXPECT_TRUE(t.parts[2].drawn);
    // Nothing drawn between two marks: no block at all.
    EmfBuilder bare;
    bare.Comment(MarkComment(DrawingMark::PageBegins)).Comment(MarkComment(DrawingMark::PageEnds));
    bare.Comment(MarkComment(DrawingMark::PassThrough, "% between\n"));
    const Translation b = Translate(bare);
    ASSERT_EQ(b.parts.size(), 3u);
    EXPECT_TRUE(b.parts[1].postscript.empty());
    EXPECT_FALSE(b.parts[1].drawn);
    EXPECT_EQ(b.parts[1].end, DrawingMark::PageEnds);
    EXPECT_FALSE(b.parts[2].drawn);  // passed through, not drawn
    EXPECT_EQ(b.parts[2].passThrough, "% between\n");
}

TEST(TranslateMetafile, HostileTextStaysInsideItsStrings) {
    std::wstring text;
    while (text.size() < 2047) text += L"a(b)\\c) ";
    text.resize(2047);
    const std::vector<INT> dx(text.size(), 7);
    EmfBuilder emf;
    emf.Font(1, -50, 0, L"Wingdings Unknown").Select(1).Value(EMR_SETBKMODE, TRANSPARENT).Text(0, 0, text, dx);
    const std::string body = Body(Translate(emf));
    EXPECT_NE(body.find("/Helvetica-CorvW /Helvetica cgW cgF"), std::string::npos);
    // Read the strings back as PostScript would: every glyph once, in order, and no line too long.
    std::string shown;
    size_t widths = 0;
    std::istringstream lines(body);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 255u);
        if (line.empty() || line[0] != '(') continue;
        size_t i = 1;
        for (; i < line.size() && line[i] != ')'; ++i) {
            if (line[i] == '(') ADD_FAILURE() << "unescaped parenthesis: " << line;
            if (line[i] == '\\') ++i;
            shown.push_back(line[i]);
        }
        ASSERT_EQ(line.compare(i, 2, ") "), 0) << line;
        std::istringstream numbers(line.substr(line.find('[') + 1));
        for (int w; numbers >> w;) ++widths;
    }
    EXPECT_EQ(shown, std::string(text.begin(), text.end()));
    EXPECT_EQ(widths, text.size());
}

TEST(TranslateMetafile, WhatItCannotPrintIsNamedOnce) {
    EMRELLIPSE ellipse{};
    ellipse.emr.iType = EMR_ELLIPSE;
    EmfBuilder emf;
    emf.Add(ellipse).Add(ellipse).Value(EMR_SETMAPMODE, MM_TEXT).Value(EMR_SETMAPMODE, MM_LOENGLISH);
    emf.Raw(200, {});
    const Translation t = Translate(emf);
    EXPECT_EQ(t.untranslated, (std::vector<std::string>{"EMR_ELLIPSE", "EMR_SETMAPMODE", "record type 200"}));
}

TEST(TranslateMetafile, BrokenMetafilesEndTheReadingNotTheProgram) {
    const DeviceFrame frame = Letter600();
    const PrinterFontMap fonts;
    EXPECT_FALSE(TranslateMetafile(nullptr, 0, frame, fonts).ok);
    const std::vector<BYTE> notEmf(200, 0);
    EXPECT_FALSE(TranslateMetafile(notEmf.data(), notEmf.size(), frame, fonts).ok);

    // A text whose string and advances point past the record, then a record longer than the rest.
    EmfBuilder emf;
    emf.Font(1, -100, 0, L"Arial").Select(1).Value(EMR_SETBKMODE, TRANSPARENT).Text(5, 5, L"ok", {1, 2});
    std::vector<BYTE> bytes = emf.Bytes();
    bytes.resize(bytes.size() - sizeof(EMREOF));
    EmfBuilder bad;
    bad.Text(0, 0, L"xy", {1, 2});
    std::vector<BYTE> text = bad.Bytes();
    text.erase(text.begin(), text.begin() + sizeof(ENHMETAHEADER));
    auto* record = reinterpret_cast<EMREXTTEXTOUTW*>(text.data());
    record->emrtext.offString = 100000;
    bytes.insert(bytes.end(), text.begin(), text.begin() + record->emr.nSize);
    record->emrtext.offString = sizeof(EMREXTTEXTOUTW);
    record->emrtext.offDx = 100000;
    bytes.insert(bytes.end(), text.begin(), text.begin() + record->emr.nSize);
    const DWORD tooLong[2] = {EMR_LINETO, 4096};
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(tooLong), reinterpret_cast<const BYTE*>(tooLong) + 8);
    const Translation t = TranslateMetafile(bytes.data(), bytes.size(), frame, fonts);
    ASSERT_TRUE(t.ok);
    const std::string body = t.parts.at(0).postscript;
    EXPECT_NE(body.find("(ok) [1 2] xshow"), std::string::npos);
    EXPECT_NE(body.find("(xy) [55 55] xshow"), std::string::npos) << body;  // advances guessed from the em
    EXPECT_EQ(body.find("lineto"), std::string::npos);
}

// What GDI itself records for the UI plug-in's kind of drawing comes out whole and in order.
TEST(TranslateMetafile, GdisOwnRecordingOfACoverPage) {
    HDC screen = GetDC(nullptr);
    const RECT frame{0, 0, 21590, 27940};
    HDC dc = CreateEnhMetaFileW(screen, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(dc, nullptr);
    LOGFONTW lf{};
    lf.lfHeight = -142;
    lf.lfWeight = FW_EXTRABOLD;
    lf.lfItalic = TRUE;
    lstrcpyW(lf.lfFaceName, L"Arial");
    HFONT title = CreateFontIndirectW(&lf);
    HPEN thick = CreatePen(PS_SOLID, 17, RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, title);
    HGDIOBJ oldPen = SelectObject(dc, thick);
    SetTextAlign(dc, TA_UPDATECP);
    MoveToEx(dc, 255, 330, nullptr);
    TextOutW(dc, 255, 330, L"Facsimile Transmission Form", 27);
    MoveToEx(dc, 255, 660, nullptr);
    LineTo(dc, 4590, 660);
    const std::vector<BYTE> stamp = MarkComment(DrawingMark::PassThrough, "100 200 moveto (2) show");
    GdiComment(dc, static_cast<UINT>(stamp.size()), stamp.data());
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    lf.lfHeight = -50;
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = FALSE;
    HFONT body = CreateFontIndirectW(&lf);
    SelectObject(dc, body);
    RECT box{300, 1000, 4000, 3000};
    DrawTextW(dc, L"Please call me back (soon) \u017ce", -1, &box, DT_WORDBREAK);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    DeleteObject(body);
    DeleteObject(title);
    DeleteObject(thick);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    std::vector<BYTE> bytes(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), bytes.data());
    DeleteEnhMetaFile(emf);

    const Translation t = TranslateMetafile(bytes.data(), bytes.size(), Letter600(), PrinterFontMap());
    ASSERT_TRUE(t.ok);
    ASSERT_EQ(t.parts.size(), 1u);
    const std::string& ps = t.parts[0].postscript;
    std::vector<size_t> at;
    for (const char* piece : {"255 330 translate 1 -1 scale 0 -128.51 translate", "/Helvetica-BoldOblique cgW cgF",
                              "(Facsimile Transmission Form) [", "newpath 255 660 moveto 4590 660 lineto",
                              "17 setlinewidth", "100 200 moveto (2) show", "rectclip", "/Helvetica-CorvW", "(Please call me back \\(soon\\) ",
                              "cgE cgF", "(\\277e) ["})
        at.push_back(ps.find(piece));
    for (size_t i = 0; i < at.size(); ++i) EXPECT_NE(at[i], std::string::npos) << i << "\n" << ps;
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << ps;
    EXPECT_TRUE(t.untranslated.empty()) << t.untranslated.front();
}

}  // namespace
