#include "host/print/emfps.h"

#include "host/print/psjob.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwctype>

namespace corv::host {
namespace {

struct Glyph {
    char16_t code;
    const char* name;
};

// The upper halves (0x80 to 0xFF) of code pages 1252 and 1250 by glyph name; their lower halves
// are ASCII, shared by both encodings.
constexpr Glyph kWestern[128] = {
    {0x20AC, "Euro"}, {0, nullptr}, {0x201A, "quotesinglbase"}, {0x0192, "florin"},
    {0x201E, "quotedblbase"}, {0x2026, "ellipsis"}, {0x2020, "dagger"}, {0x2021, "daggerdbl"},
    {0x02C6, "circumflex"}, {0x2030, "perthousand"}, {0x0160, "Scaron"}, {0x2039, "guilsinglleft"},
    {0x0152, "OE"}, {0, nullptr}, {0x017D, "Zcaron"}, {0, nullptr},
    {0, nullptr}, {0x2018, "quoteleft"}, {0x2019, "quoteright"}, {0x201C, "quotedblleft"},
    {0x201D, "quotedblright"}, {0x2022, "bullet"}, {0x2013, "endash"}, {0x2014, "emdash"},
    {0x02DC, "tilde"}, {0x2122, "trademark"}, {0x0161, "scaron"}, {0x203A, "guilsinglright"},
    {0x0153, "oe"}, {0, nullptr}, {0x017E, "zcaron"}, {0x0178, "Ydieresis"},
    {0x00A0, "space"}, {0x00A1, "exclamdown"}, {0x00A2, "cent"}, {0x00A3, "sterling"},
    {0x00A4, "currency"}, {0x00A5, "yen"}, {0x00A6, "brokenbar"}, {0x00A7, "section"},
    {0x00A8, "dieresis"}, {0x00A9, "copyright"}, {0x00AA, "ordfeminine"}, {0x00AB, "guillemotleft"},
    {0x00AC, "logicalnot"}, {0x00AD, "hyphen"}, {0x00AE, "registered"}, {0x00AF, "macron"},
    {0x00B0, "degree"}, {0x00B1, "plusminus"}, {0x00B2, "twosuperior"}, {0x00B3, "threesuperior"},
    {0x00B4, "acute"}, {0x00B5, "mu"}, {0x00B6, "paragraph"}, {0x00B7, "periodcentered"},
    {0x00B8, "cedilla"}, {0x00B9, "onesuperior"}, {0x00BA, "ordmasculine"}, {0x00BB, "guillemotright"},
    {0x00BC, "onequarter"}, {0x00BD, "onehalf"}, {0x00BE, "threequarters"}, {0x00BF, "questiondown"},
    {0x00C0, "Agrave"}, {0x00C1, "Aacute"}, {0x00C2, "Acircumflex"}, {0x00C3, "Atilde"},
    {0x00C4, "Adieresis"}, {0x00C5, "Aring"}, {0x00C6, "AE"}, {0x00C7, "Ccedilla"},
    {0x00C8, "Egrave"}, {0x00C9, "Eacute"}, {0x00CA, "Ecircumflex"}, {0x00CB, "Edieresis"},
    {0x00CC, "Igrave"}, {0x00CD, "Iacute"}, {0x00CE, "Icircumflex"}, {0x00CF, "Idieresis"},
    {0x00D0, "Eth"}, {0x00D1, "Ntilde"}, {0x00D2, "Ograve"}, {0x00D3, "Oacute"},
    {0x00D4, "Ocircumflex"}, {0x00D5, "Otilde"}, {0x00D6, "Odieresis"}, {0x00D7, "multiply"},
    {0x00D8, "Oslash"}, {0x00D9, "Ugrave"}, {0x00DA, "Uacute"}, {0x00DB, "Ucircumflex"},
    {0x00DC, "Udieresis"}, {0x00DD, "Yacute"}, {0x00DE, "Thorn"}, {0x00DF, "germandbls"},
    {0x00E0, "agrave"}, {0x00E1, "aacute"}, {0x00E2, "acircumflex"}, {0x00E3, "atilde"},
    {0x00E4, "adieresis"}, {0x00E5, "aring"}, {0x00E6, "ae"}, {0x00E7, "ccedilla"},
    {0x00E8, "egrave"}, {0x00E9, "eacute"}, {0x00EA, "ecircumflex"}, {0x00EB, "edieresis"},
    {0x00EC, "igrave"}, {0x00ED, "iacute"}, {0x00EE, "icircumflex"}, {0x00EF, "idieresis"},
    {0x00F0, "eth"}, {0x00F1, "ntilde"}, {0x00F2, "ograve"}, {0x00F3, "oacute"},
    {0x00F4, "ocircumflex"}, {0x00F5, "otilde"}, {0x00F6, "odieresis"}, {0x00F7, "divide"},
    {0x00F8, "oslash"}, {0x00F9, "ugrave"}, {0x00FA, "uacute"}, {0x00FB, "ucircumflex"},
    {0x00FC, "udieresis"}, {0x00FD, "yacute"}, {0x00FE, "thorn"}, {0x00FF, "ydieresis"},
};

constexpr Glyph kCentral[128] = {
    {0x20AC, "Euro"}, {0, nullptr}, {0x201A, "quotesinglbase"}, {0, nullptr},
    {0x201E, "quotedblbase"}, {0x2026, "ellipsis"}, {0x2020, "dagger"}, {0x2021, "daggerdbl"},
    {0, nullptr}, {0x2030, "perthousand"}, {0x0160, "Scaron"}, {0x2039, "guilsinglleft"},
    {0x015A, "Sacute"}, {0x0164, "Tcaron"}, {0x017D, "Zcaron"}, {0x0179, "Zacute"},
    {0, nullptr}, {0x2018, "quoteleft"}, {0x2019, "quoteright"}, {0x201C, "quotedblleft"},
    {0x201D, "quotedblright"}, {0x2022, "bullet"}, {0x2013, "endash"}, {0x2014, "emdash"},
    {0, nullptr}, {0x2122, "trademark"}, {0x0161, "scaron"}, {0x203A, "guilsinglright"},
    {0x015B, "sacute"}, {0x0165, "tcaron"}, {0x017E, "zcaron"}, {0x017A, "zacute"},
    {0x00A0, "space"}, {0x02C7, "caron"}, {0x02D8, "breve"}, {0x0141, "Lslash"},
    {0x00A4, "currency"}, {0x0104, "Aogonek"}, {0x00A6, "brokenbar"}, {0x00A7, "section"},
    {0x00A8, "dieresis"}, {0x00A9, "copyright"}, {0x015E, "Scedilla"}, {0x00AB, "guillemotleft"},
    {0x00AC, "logicalnot"}, {0x00AD, "hyphen"}, {0x00AE, "registered"}, {0x017B, "Zdotaccent"},
    {0x00B0, "degree"}, {0x00B1, "plusminus"}, {0x02DB, "ogonek"}, {0x0142, "lslash"},
    {0x00B4, "acute"}, {0x00B5, "mu"}, {0x00B6, "paragraph"}, {0x00B7, "periodcentered"},
    {0x00B8, "cedilla"}, {0x0105, "aogonek"}, {0x015F, "scedilla"}, {0x00BB, "guillemotright"},
    {0x013D, "Lcaron"}, {0x02DD, "hungarumlaut"}, {0x013E, "lcaron"}, {0x017C, "zdotaccent"},
    {0x0154, "Racute"}, {0x00C1, "Aacute"}, {0x00C2, "Acircumflex"}, {0x0102, "Abreve"},
    {0x00C4, "Adieresis"}, {0x0139, "Lacute"}, {0x0106, "Cacute"}, {0x00C7, "Ccedilla"},
    {0x010C, "Ccaron"}, {0x00C9, "Eacute"}, {0x0118, "Eogonek"}, {0x00CB, "Edieresis"},
    {0x011A, "Ecaron"}, {0x00CD, "Iacute"}, {0x00CE, "Icircumflex"}, {0x010E, "Dcaron"},
    {0x0110, "Dcroat"}, {0x0143, "Nacute"}, {0x0147, "Ncaron"}, {0x00D3, "Oacute"},
    {0x00D4, "Ocircumflex"}, {0x0150, "Ohungarumlaut"}, {0x00D6, "Odieresis"}, {0x00D7, "multiply"},
    {0x0158, "Rcaron"}, {0x016E, "Uring"}, {0x00DA, "Uacute"}, {0x0170, "Uhungarumlaut"},
    {0x00DC, "Udieresis"}, {0x00DD, "Yacute"}, {0x0162, "Tcommaaccent"}, {0x00DF, "germandbls"},
    {0x0155, "racute"}, {0x00E1, "aacute"}, {0x00E2, "acircumflex"}, {0x0103, "abreve"},
    {0x00E4, "adieresis"}, {0x013A, "lacute"}, {0x0107, "cacute"}, {0x00E7, "ccedilla"},
    {0x010D, "ccaron"}, {0x00E9, "eacute"}, {0x0119, "eogonek"}, {0x00EB, "edieresis"},
    {0x011B, "ecaron"}, {0x00ED, "iacute"}, {0x00EE, "icircumflex"}, {0x010F, "dcaron"},
    {0x0111, "dcroat"}, {0x0144, "nacute"}, {0x0148, "ncaron"}, {0x00F3, "oacute"},
    {0x00F4, "ocircumflex"}, {0x0151, "ohungarumlaut"}, {0x00F6, "odieresis"}, {0x00F7, "divide"},
    {0x0159, "rcaron"}, {0x016F, "uring"}, {0x00FA, "uacute"}, {0x0171, "uhungarumlaut"},
    {0x00FC, "udieresis"}, {0x00FD, "yacute"}, {0x0163, "tcommaaccent"}, {0x02D9, "dotaccent"},
};

constexpr const Glyph* kEncodings[2] = {kWestern, kCentral};
constexpr const char* kEncodingNames[2] = {"cgW", "cgE"};
constexpr const char* kFontSuffixes[2] = {"-CorvW", "-CorvE"};

constexpr char kMarkSignature[8] = {'C', 'o', 'r', 'v', 'H', 'o', 's', 't'};
constexpr size_t kMarkHeader = sizeof kMarkSignature + sizeof(uint32_t);

// A text's glyphs go out in pieces, so that no line of the job grows long.
constexpr size_t kGlyphsPerLine = 48;

// Underline and strike-out as Arial has them, in ems: the stroke's top and its thickness.
constexpr double kUnderlineTop = -0.106, kUnderlineThickness = 0.073;
constexpr double kStrikeOutTop = 0.309, kStrikeOutThickness = 0.05;

// The byte for `c` in the encoding, or -1.
int ByteIn(int encoding, wchar_t c) {
    if (c >= 0x20 && c < 0x7F) return c;
    const Glyph* table = kEncodings[encoding];
    for (int i = 0; i < 128; ++i)
        if (table[i].name && table[i].code == c) return 0x80 + i;
    return -1;
}

std::string Num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string Colour(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    if (r == g && g == b) return Num(r / 255.0) + " setgray";
    return Num(r / 255.0) + " " + Num(g / 255.0) + " " + Num(b / 255.0) + " setrgbcolor";
}

bool SameFace(std::wstring_view a, const wchar_t* b) {
    const size_t n = std::wcslen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

struct PenState {
    bool visible = true;
    int width = 0;  // device units; 0 is the thinnest line the device draws
    int dash = PS_SOLID;
    COLORREF colour = RGB(0, 0, 0);
};

struct BrushState {
    bool visible = true;
    COLORREF colour = RGB(255, 255, 255);
};

struct FontState {
    PrinterFont font;
    double em = 0;          // device units
    double angle = 0;       // degrees, counter-clockwise
    bool underline = false, strikeOut = false;
};

// What SaveDC keeps and RestoreDC brings back.
struct DcState {
    PenState pen;
    BrushState brush;
    FontState font;
    COLORREF text = RGB(0, 0, 0), back = RGB(255, 255, 255);
    int backMode = OPAQUE;
    UINT align = TA_LEFT | TA_TOP;
    int fillMode = ALTERNATE;
    POINT position{0, 0};
};

struct GdiObject {
    enum Kind { Empty, Pen, Brush, Font } kind = Empty;
    PenState pen;
    BrushState brush;
    FontState font;
};

std::string RecordName(DWORD type) {
    switch (type) {
        case EMR_POLYBEZIER: return "EMR_POLYBEZIER";
        case EMR_POLYGON: return "EMR_POLYGON";
        case EMR_POLYLINE: return "EMR_POLYLINE";
        case EMR_POLYBEZIERTO: return "EMR_POLYBEZIERTO";
        case EMR_POLYLINETO: return "EMR_POLYLINETO";
        case EMR_POLYPOLYLINE: return "EMR_POLYPOLYLINE";
        case EMR_POLYPOLYGON: return "EMR_POLYPOLYGON";
        case EMR_SETWINDOWEXTEX: return "EMR_SETWINDOWEXTEX";
        case EMR_SETWINDOWORGEX: return "EMR_SETWINDOWORGEX";
        case EMR_SETVIEWPORTEXTEX: return "EMR_SETVIEWPORTEXTEX";
        case EMR_SETVIEWPORTORGEX: return "EMR_SETVIEWPORTORGEX";
        case EMR_SETMAPMODE: return "EMR_SETMAPMODE";
        case EMR_OFFSETCLIPRGN: return "EMR_OFFSETCLIPRGN";
        case EMR_EXCLUDECLIPRECT: return "EMR_EXCLUDECLIPRECT";
        case EMR_INTERSECTCLIPRECT: return "EMR_INTERSECTCLIPRECT";
        case EMR_SCALEVIEWPORTEXTEX: return "EMR_SCALEVIEWPORTEXTEX";
        case EMR_SCALEWINDOWEXTEX: return "EMR_SCALEWINDOWEXTEX";
        case EMR_SETWORLDTRANSFORM: return "EMR_SETWORLDTRANSFORM";
        case EMR_MODIFYWORLDTRANSFORM: return "EMR_MODIFYWORLDTRANSFORM";
        case EMR_ANGLEARC: return "EMR_ANGLEARC";
        case EMR_ELLIPSE: return "EMR_ELLIPSE";
        case EMR_ROUNDRECT: return "EMR_ROUNDRECT";
        case EMR_ARC: return "EMR_ARC";
        case EMR_CHORD: return "EMR_CHORD";
        case EMR_PIE: return "EMR_PIE";
        case EMR_EXTFLOODFILL: return "EMR_EXTFLOODFILL";
        case EMR_ARCTO: return "EMR_ARCTO";
        case EMR_POLYDRAW: return "EMR_POLYDRAW";
        case EMR_SELECTCLIPPATH: return "EMR_SELECTCLIPPATH";
        case EMR_WIDENPATH: return "EMR_WIDENPATH";
        case EMR_FILLRGN: return "EMR_FILLRGN";
        case EMR_FRAMERGN: return "EMR_FRAMERGN";
        case EMR_INVERTRGN: return "EMR_INVERTRGN";
        case EMR_PAINTRGN: return "EMR_PAINTRGN";
        case EMR_EXTSELECTCLIPRGN: return "EMR_EXTSELECTCLIPRGN";
        case EMR_BITBLT: return "EMR_BITBLT";
        case EMR_STRETCHBLT: return "EMR_STRETCHBLT";
        case EMR_MASKBLT: return "EMR_MASKBLT";
        case EMR_PLGBLT: return "EMR_PLGBLT";
        case EMR_SETDIBITSTODEVICE: return "EMR_SETDIBITSTODEVICE";
        case EMR_STRETCHDIBITS: return "EMR_STRETCHDIBITS";
        case EMR_EXTTEXTOUTA: return "EMR_EXTTEXTOUTA";
        case EMR_EXTTEXTOUTW: return "EMR_EXTTEXTOUTW";
        case EMR_CREATEBRUSHINDIRECT: return "EMR_CREATEBRUSHINDIRECT";
        case EMR_POLYBEZIER16: return "EMR_POLYBEZIER16";
        case EMR_POLYBEZIERTO16: return "EMR_POLYBEZIERTO16";
        case EMR_POLYPOLYLINE16: return "EMR_POLYPOLYLINE16";
        case EMR_POLYPOLYGON16: return "EMR_POLYPOLYGON16";
        case EMR_POLYDRAW16: return "EMR_POLYDRAW16";
        case EMR_CREATEMONOBRUSH: return "EMR_CREATEMONOBRUSH";
        case EMR_CREATEDIBPATTERNBRUSHPT: return "EMR_CREATEDIBPATTERNBRUSHPT";
        case EMR_POLYTEXTOUTA: return "EMR_POLYTEXTOUTA";
        case EMR_POLYTEXTOUTW: return "EMR_POLYTEXTOUTW";
        case EMR_ALPHABLEND: return "EMR_ALPHABLEND";
        case EMR_TRANSPARENTBLT: return "EMR_TRANSPARENTBLT";
        case EMR_GRADIENTFILL: return "EMR_GRADIENTFILL";
        default: return "record type " + std::to_string(type);
    }
}

// Records that change nothing a printed page shows, as far as this drawing goes.
bool Harmless(DWORD type) {
    switch (type) {
        case EMR_HEADER:
        case EMR_EOF:
        case EMR_SETMAPPERFLAGS:
        case EMR_SETSTRETCHBLTMODE:
        case EMR_SETROP2:
        case EMR_SETBRUSHORGEX:
        case EMR_SETMITERLIMIT:
        case EMR_SETARCDIRECTION:
        case EMR_SETICMMODE:
        case EMR_SETCOLORADJUSTMENT:
        case EMR_SETMETARGN:
        case EMR_SELECTPALETTE:
        case EMR_CREATEPALETTE:
        case EMR_REALIZEPALETTE:
        case EMR_SETPALETTEENTRIES:
        case EMR_RESIZEPALETTE:
        case EMR_FLATTENPATH:
        case EMR_SETLAYOUT:
            return true;
        default:
            return false;
    }
}

class Translator {
public:
    Translator(const DeviceFrame& frame, const PrinterFontMap& fonts) : frame_(frame), fonts_(fonts) {
        state_.font = StockFont(SYSTEM_FONT);
    }

    void Play(const ENHMETARECORD* r, size_t size);
    Translation Finish();

private:
    template <typename T>
    const T* As(const ENHMETARECORD* r, size_t size) const {
        return size >= sizeof(T) ? reinterpret_cast<const T*>(r) : nullptr;
    }
    // A record, or a kind of one, that the PostScript leaves out.
    void Leave(const std::string& what);
    void Begin();
    void Out(const std::string& text) {
        Begin();
        out_ += text;
        drawn_ = true;
    }
    void EndPart(DrawingMark mark);

    FontState StockFont(int index) const;
    PenState StockPen(int index) const;
    BrushState StockBrush(int index) const;
    void Select(DWORD handle);
    void Create(DWORD index, const GdiObject& object);

    std::string Stroke() const;
    std::string Fill() const;
    std::string Point(LONG x, LONG y) const { return std::to_string(x) + " " + std::to_string(y); }
    void Shape(const std::string& path, bool closed);
    void Comment(const EMRGDICOMMENT* r, size_t size);
    void Text(const EMREXTTEXTOUTW* r, size_t size);
    void Points16(const ENHMETARECORD* r, size_t size, bool closed, bool fromCurrent);

    const DeviceFrame& frame_;
    const PrinterFontMap& fonts_;
    DcState state_;
    std::vector<DcState> saved_;
    std::vector<GdiObject> objects_;
    bool inPath_ = false;
    bool pathHasPoint_ = false;
    std::string out_;
    std::string passThrough_;
    bool begun_ = false;
    bool drawn_ = false;
    Translation result_;
};

FontState Translator::StockFont(int index) const {
    FontState f;
    const bool fixed = index == OEM_FIXED_FONT || index == ANSI_FIXED_FONT || index == SYSTEM_FIXED_FONT;
    f.font = fonts_.Resolve(fixed ? L"Courier New" : L"Arial", false, false);
    f.em = frame_.dpi / 6.0;  // the device's own twelve points
    return f;
}

PenState Translator::StockPen(int index) const {
    PenState p;
    if (index == NULL_PEN) p.visible = false;
    if (index == WHITE_PEN) p.colour = RGB(255, 255, 255);
    return p;
}

BrushState Translator::StockBrush(int index) const {
    BrushState b;
    switch (index) {
        case LTGRAY_BRUSH: b.colour = RGB(192, 192, 192); break;
        case GRAY_BRUSH: b.colour = RGB(128, 128, 128); break;
        case DKGRAY_BRUSH: b.colour = RGB(64, 64, 64); break;
        case BLACK_BRUSH: b.colour = RGB(0, 0, 0); break;
        case NULL_BRUSH: b.visible = false; break;
        default: break;  // WHITE_BRUSH, DC_BRUSH: white
    }
    return b;
}

void Translator::Leave(const std::string& what) {
    if (std::find(result_.untranslated.begin(), result_.untranslated.end(), what) == result_.untranslated.end())
        result_.untranslated.push_back(what);
}

// Everything drawn goes into the device's coordinates: origin at the imageable area's top left
// corner, one unit a dot, y down. Round caps and joins are GDI's for its pens.
void Translator::Begin() {
    if (begun_) return;
    begun_ = true;
    const double unit = 72.0 / frame_.dpi;
    out_ += "gsave [" + Num(unit) + " 0 0 " + Num(-unit) + " " + Num(frame_.offsetX * unit) + " " +
            Num(frame_.pageHeight - frame_.offsetY * unit) + "] concat 1 setlinecap 1 setlinejoin\n";
}

void Translator::EndPart(DrawingMark mark) {
    if (begun_) out_ += "grestore\n";
    result_.parts.push_back(DrawingPart{std::move(out_), std::move(passThrough_), drawn_, mark});
    out_.clear();
    passThrough_.clear();
    begun_ = drawn_ = false;
    inPath_ = pathHasPoint_ = false;
}

Translation Translator::Finish() {
    EndPart(DrawingMark::None);
    result_.ok = true;
    return std::move(result_);
}

void Translator::Create(DWORD index, const GdiObject& object) {
    if (index == 0 || index > 0xFFFF) return;  // 0 is the metafile itself
    if (objects_.size() <= index) objects_.resize(index + 1);
    objects_[index] = object;
}

void Translator::Select(DWORD handle) {
    if (handle & ENHMETA_STOCK_OBJECT) {
        const int index = static_cast<int>(handle & ~ENHMETA_STOCK_OBJECT);
        if (index <= NULL_BRUSH || index == DC_BRUSH) state_.brush = StockBrush(index);
        else if (index <= NULL_PEN || index == DC_PEN) state_.pen = StockPen(index);
        else if (index >= OEM_FIXED_FONT && index != DEFAULT_PALETTE && index <= DEFAULT_GUI_FONT)
            state_.font = StockFont(index);
        return;
    }
    if (handle >= objects_.size()) return;
    const GdiObject& o = objects_[handle];
    if (o.kind == GdiObject::Pen) state_.pen = o.pen;
    if (o.kind == GdiObject::Brush) state_.brush = o.brush;
    if (o.kind == GdiObject::Font) state_.font = o.font;
}

// The pen's stroke of the current path, which it uses up.
std::string Translator::Stroke() const {
    const PenState& p = state_.pen;
    if (!p.visible) return "newpath\n";
    const double w = std::max(p.width, 1);
    std::string dash = "[]";
    switch (p.dash) {
        case PS_DASH: dash = "[" + Num(6 * w) + " " + Num(2 * w) + "]"; break;
        case PS_DOT: dash = "[" + Num(w) + " " + Num(w) + "]"; break;
        case PS_DASHDOT: dash = "[" + Num(6 * w) + " " + Num(2 * w) + " " + Num(w) + " " + Num(2 * w) + "]"; break;
        case PS_DASHDOTDOT:
            dash = "[" + Num(6 * w) + " " + Num(2 * w) + " " + Num(w) + " " + Num(2 * w) + " " + Num(w) + " " +
                   Num(2 * w) + "]";
            break;
        default: break;
    }
    return Colour(p.colour) + " " + Num(w) + " setlinewidth " + dash + " 0 setdash stroke\n";
}

// The brush's fill of the current path, which it keeps for a stroke after it.
std::string Translator::Fill() const {
    if (!state_.brush.visible) return {};
    return "gsave " + Colour(state_.brush.colour) + (state_.fillMode == WINDING ? " fill" : " eofill") +
           " grestore\n";
}

// A figure: part of the path inside a path bracket, else filled and outlined at once.
void Translator::Shape(const std::string& path, bool closed) {
    if (inPath_) {
        Out(path + (closed ? " closepath\n" : "\n"));
        pathHasPoint_ = true;
        return;
    }
    if (closed) {
        Out("newpath " + path + " closepath\n" + Fill() + Stroke());
    } else {
        Out("newpath " + path + "\n" + Stroke());
    }
}

void Translator::Points16(const ENHMETARECORD* r, size_t size, bool closed, bool fromCurrent) {
    const auto* p = As<EMRPOLYLINE16>(r, size);
    if (!p) return;
    const size_t room = (size - offsetof(EMRPOLYLINE16, apts)) / sizeof(POINTS);
    const size_t n = std::min<size_t>(p->cpts, room);
    if (n == 0) return;
    std::string path;
    size_t first = 0;
    if (fromCurrent) {
        path = (inPath_ && pathHasPoint_) ? std::string() : Point(state_.position.x, state_.position.y) + " moveto";
    } else {
        path = Point(p->apts[0].x, p->apts[0].y) + " moveto";
        first = 1;
    }
    for (size_t i = first; i < n; ++i) path += " " + Point(p->apts[i].x, p->apts[i].y) + " lineto";
    if (fromCurrent) state_.position = {p->apts[n - 1].x, p->apts[n - 1].y};
    Shape(path, closed);
}

void Translator::Comment(const EMRGDICOMMENT* r, size_t size) {
    const size_t available = size - offsetof(EMRGDICOMMENT, Data);
    const size_t length = std::min<size_t>(r->cbData, available);
    if (length < kMarkHeader || std::memcmp(r->Data, kMarkSignature, sizeof kMarkSignature) != 0) return;
    uint32_t mark;
    std::memcpy(&mark, r->Data + sizeof kMarkSignature, sizeof mark);
    const char* data = reinterpret_cast<const char*>(r->Data) + kMarkHeader;
    const size_t dataSize = length - kMarkHeader;
    switch (static_cast<DrawingMark>(mark)) {
        case DrawingMark::PassThrough: {
            if (dataSize == 0) return;
            std::string text(data, dataSize);
            if (text.back() != '\n' && text.back() != '\r') text += "\n";
            Begin();
            out_ += text;
            passThrough_ += text;
            return;
        }
        case DrawingMark::BodyBegins:
        case DrawingMark::BodyEnds:
        case DrawingMark::PageBegins:
        case DrawingMark::PageEnds:
            EndPart(static_cast<DrawingMark>(mark));
            return;
        default:
            return;
    }
}

// A string at its reference point in the selected font: placed in the text's own frame (baseline
// along x, rotated by the escapement), each glyph where the recording put it.
void Translator::Text(const EMREXTTEXTOUTW* r, size_t size) {
    const EMRTEXT& t = r->emrtext;
    if (t.fOptions & ETO_GLYPH_INDEX) {
        Leave(RecordName(EMR_EXTTEXTOUTW) + " with glyph indexes");
        return;
    }
    if (t.offString > size || t.nChars > (size - t.offString) / sizeof(WCHAR)) return;
    const auto* chars = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(r) + t.offString);
    const std::wstring_view text(chars, t.nChars);
    const FontState& f = state_.font;

    // The advances: one per character, or an x and a y per character with ETO_PDY.
    const size_t step = (t.fOptions & ETO_PDY) ? 2 : 1;
    std::vector<int> advances(text.size(), 0);
    if (t.offDx && t.offDx <= size && (size - t.offDx) / sizeof(INT) >= text.size() * step) {
        const BYTE* dx = reinterpret_cast<const BYTE*>(r) + t.offDx;
        for (size_t i = 0; i < text.size(); ++i) std::memcpy(&advances[i], dx + i * step * sizeof(INT), sizeof(INT));
    } else {
        // Without the recorded advances, an average letter's width keeps the text's length near.
        std::fill(advances.begin(), advances.end(), static_cast<int>(std::lround(f.em * 0.55)));
    }
    long long total = 0;
    for (int a : advances) total += a;
    const double width = static_cast<double>(total);

    const UINT align = state_.align;
    POINT at{t.ptlReference.x, t.ptlReference.y};
    if (align & TA_UPDATECP) at = state_.position;
    double dx = 0, dy = 0;
    if ((align & TA_CENTER) == TA_CENTER) dx = -width / 2;
    else if (align & TA_RIGHT) dx = -width;
    if ((align & TA_BASELINE) == TA_BASELINE) dy = 0;
    else if (align & TA_BOTTOM) dy = f.font.descent * f.em;
    else dy = -f.font.ascent * f.em;
    if (align & TA_UPDATECP) {
        // The current position moves along the baseline past the text, or back before it.
        const double along = (align & TA_CENTER) == TA_CENTER ? 0 : (align & TA_RIGHT) ? -width : width;
        const double radians = f.angle * 3.141592653589793 / 180;
        state_.position.x += static_cast<LONG>(std::lround(along * std::cos(radians)));
        state_.position.y -= static_cast<LONG>(std::lround(along * std::sin(radians)));
    }

    std::string frame = Point(at.x, at.y) + " translate 1 -1 scale";
    if (f.angle != 0) frame += " " + Num(f.angle) + " rotate";
    if (dx != 0 || dy != 0) frame += " " + Num(dx) + " " + Num(dy) + " translate";
    frame += "\n";

    auto rect = [](double x, double y, double w, double h) {
        return Num(x) + " " + Num(y) + " " + Num(w) + " " + Num(h);
    };
    std::string lines;
    if (f.underline)
        lines += rect(0, (kUnderlineTop - kUnderlineThickness) * f.em, width, kUnderlineThickness * f.em);
    if (f.strikeOut)
        lines += std::string(lines.empty() ? "" : " ") +
                 rect(0, (kStrikeOutTop - kStrikeOutThickness) * f.em, width, kStrikeOutThickness * f.em);

    // The glyphs, a line of the job for each piece, each encoding run with its own font.
    const char* show = inPath_ ? " cgX\n" : " xshow\n";
    std::string glyphs = "0 0 moveto\n";
    size_t index = 0;
    int encoding = -1;
    for (const EncodedRun& run : EncodeText(text)) {
        if (run.encoding != encoding) {
            encoding = run.encoding;
            glyphs += Num(f.em) + " /" + f.font.name + kFontSuffixes[encoding] + " /" + f.font.name + " " +
                      kEncodingNames[encoding] + " cgF\n";
        }
        for (size_t from = 0; from < run.bytes.size(); from += kGlyphsPerLine) {
            const size_t n = std::min(kGlyphsPerLine, run.bytes.size() - from);
            std::string widths;
            for (size_t i = 0; i < n; ++i) widths += (i ? " " : "") + std::to_string(advances[index + from + i]);
            glyphs += PsString(std::string_view(run.bytes).substr(from, n)) + " [" + widths + "]" + show;
        }
        index += run.bytes.size();
    }

    if (inPath_) {
        // Into the path: its outlines stay where they were made when the matrix goes back.
        std::string path = "matrix currentmatrix\n" + frame + glyphs;
        if (!lines.empty()) path += lines + (f.underline && f.strikeOut ? " cgR cgR\n" : " cgR\n");
        Out(path + "setmatrix\n");
        pathHasPoint_ = false;
        return;
    }
    std::string out = "gsave\n";
    const RECTL& box = t.rcl;
    const std::string boxText = rect(box.left, box.top, box.right - box.left, box.bottom - box.top);
    const bool hasBox = box.right > box.left && box.bottom > box.top;
    if ((t.fOptions & ETO_CLIPPED) && hasBox) out += boxText + " rectclip\n";
    if ((t.fOptions & ETO_OPAQUE) && hasBox) out += Colour(state_.back) + " " + boxText + " rectfill\n";
    out += frame;
    if (state_.backMode == OPAQUE && width > 0)
        out += Colour(state_.back) + " " +
               rect(0, -f.font.descent * f.em, width, (f.font.ascent + f.font.descent) * f.em) + " rectfill\n";
    out += Colour(state_.text) + "\n" + glyphs;
    if (!lines.empty()) out += "[" + lines + "] rectfill\n";
    Out(out + "grestore\n");
}

void Translator::Play(const ENHMETARECORD* r, size_t size) {
    switch (r->iType) {
        case EMR_SETTEXTCOLOR:
            if (auto* c = As<EMRSETTEXTCOLOR>(r, size)) state_.text = c->crColor;
            return;
        case EMR_SETBKCOLOR:
            if (auto* c = As<EMRSETBKCOLOR>(r, size)) state_.back = c->crColor;
            return;
        case EMR_SETBKMODE:
            if (auto* m = As<EMRSETBKMODE>(r, size)) state_.backMode = static_cast<int>(m->iMode);
            return;
        case EMR_SETTEXTALIGN:
            if (auto* m = As<EMRSETTEXTALIGN>(r, size)) state_.align = m->iMode;
            return;
        case EMR_SETPOLYFILLMODE:
            if (auto* m = As<EMRSETPOLYFILLMODE>(r, size)) state_.fillMode = static_cast<int>(m->iMode);
            return;
        case EMR_SAVEDC:
            saved_.push_back(state_);
            return;
        case EMR_RESTOREDC: {
            auto* m = As<EMRRESTOREDC>(r, size);
            if (!m) return;
            // Negative: that many levels back; positive: the level SaveDC answered.
            const long depth = static_cast<long>(saved_.size());
            const long level = m->iRelative < 0 ? depth + m->iRelative + 1 : m->iRelative;
            if (level < 1 || level > depth) return;
            state_ = saved_[level - 1];
            saved_.resize(level - 1);
            return;
        }
        case EMR_CREATEPEN:
            if (auto* p = As<EMRCREATEPEN>(r, size)) {
                GdiObject o;
                o.kind = GdiObject::Pen;
                o.pen.visible = (p->lopn.lopnStyle & PS_STYLE_MASK) != PS_NULL;
                o.pen.dash = static_cast<int>(p->lopn.lopnStyle & PS_STYLE_MASK);
                o.pen.width = std::max<LONG>(0, p->lopn.lopnWidth.x);
                o.pen.colour = p->lopn.lopnColor;
                Create(p->ihPen, o);
            }
            return;
        case EMR_EXTCREATEPEN:
            // The record's pen has a 32-bit hatch field; nothing from it on is read.
            if (size >= offsetof(EMREXTCREATEPEN, elp.elpHatch)) {
                auto* p = reinterpret_cast<const EMREXTCREATEPEN*>(r);
                GdiObject o;
                o.kind = GdiObject::Pen;
                const DWORD style = p->elp.elpPenStyle & PS_STYLE_MASK;
                o.pen.visible = style != PS_NULL && p->elp.elpBrushStyle != BS_NULL;
                o.pen.dash = static_cast<int>(style);
                o.pen.width = (p->elp.elpPenStyle & PS_TYPE_MASK) == PS_GEOMETRIC ? static_cast<int>(p->elp.elpWidth) : 0;
                o.pen.colour = p->elp.elpColor;
                Create(p->ihPen, o);
            }
            return;
        case EMR_CREATEBRUSHINDIRECT:
            if (auto* b = As<EMRCREATEBRUSHINDIRECT>(r, size)) {
                GdiObject o;
                o.kind = GdiObject::Brush;
                // A hatched brush is shown in its colour, solid.
                o.brush.visible = b->lb.lbStyle == BS_SOLID || b->lb.lbStyle == BS_HATCHED;
                if (b->lb.lbStyle == BS_HATCHED) Leave(RecordName(EMR_CREATEBRUSHINDIRECT) + " with a hatch");
                o.brush.colour = b->lb.lbColor;
                Create(b->ihBrush, o);
            }
            return;
        case EMR_EXTCREATEFONTINDIRECTW: {
            // The record may carry a bare LOGFONTW or more after it.
            if (size < offsetof(EMREXTCREATEFONTINDIRECTW, elfw) + sizeof(LOGFONTW)) return;
            auto* f = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(r);
            const LOGFONTW& lf = f->elfw.elfLogFont;
            const std::wstring_view face(lf.lfFaceName, wcsnlen(lf.lfFaceName, LF_FACESIZE));
            GdiObject o;
            o.kind = GdiObject::Font;
            o.font.font = fonts_.Resolve(face, lf.lfWeight >= FW_SEMIBOLD, lf.lfItalic != 0);
            const double cell = o.font.font.ascent + o.font.font.descent;
            // Negative heights are the letters' em, positive ones the whole cell; none is the default.
            o.font.em = lf.lfHeight < 0 ? -static_cast<double>(lf.lfHeight)
                        : lf.lfHeight > 0 ? lf.lfHeight / cell
                                          : frame_.dpi / 6.0;
            o.font.angle = lf.lfEscapement / 10.0;
            o.font.underline = lf.lfUnderline != 0;
            o.font.strikeOut = lf.lfStrikeOut != 0;
            Create(f->ihFont, o);
            return;
        }
        case EMR_SETMAPMODE:
            // Device units are all this drawing has; any other mapping is not followed.
            if (auto* m = As<EMRSETMAPMODE>(r, size); m && m->iMode != MM_TEXT) Leave(RecordName(EMR_SETMAPMODE));
            return;
        case EMR_SELECTOBJECT:
            if (auto* s = As<EMRSELECTOBJECT>(r, size)) Select(s->ihObject);
            return;
        case EMR_DELETEOBJECT:
            // What is selected stays selected: it was copied into the state.
            if (auto* d = As<EMRDELETEOBJECT>(r, size); d && d->ihObject < objects_.size())
                objects_[d->ihObject] = GdiObject{};
            return;
        case EMR_MOVETOEX:
            if (auto* m = As<EMRMOVETOEX>(r, size)) {
                state_.position = {m->ptl.x, m->ptl.y};
                if (inPath_) {
                    Out(Point(m->ptl.x, m->ptl.y) + " moveto\n");
                    pathHasPoint_ = true;
                }
            }
            return;
        case EMR_LINETO:
            if (auto* l = As<EMRLINETO>(r, size)) {
                const std::string from =
                    inPath_ && pathHasPoint_ ? std::string() : Point(state_.position.x, state_.position.y) + " moveto ";
                state_.position = {l->ptl.x, l->ptl.y};
                Shape(from + Point(l->ptl.x, l->ptl.y) + " lineto", false);
            }
            return;
        case EMR_RECTANGLE:
            if (auto* b = As<EMRRECTANGLE>(r, size)) {
                const RECTL& k = b->rclBox;
                Shape(Point(k.left, k.top) + " moveto " + Point(k.right, k.top) + " lineto " + Point(k.right, k.bottom) +
                          " lineto " + Point(k.left, k.bottom) + " lineto",
                      true);
            }
            return;
        case EMR_POLYLINE16: Points16(r, size, false, false); return;
        case EMR_POLYGON16: Points16(r, size, true, false); return;
        case EMR_POLYLINETO16: Points16(r, size, false, true); return;
        case EMR_BITBLT: {
            // FillRect and PatBlt: a rectangle in the brush, or black or white, without a picture.
            auto* b = As<EMRBITBLT>(r, size);
            if (!b) return;
            if (b->cbBmiSrc != 0 || (b->dwRop != PATCOPY && b->dwRop != BLACKNESS && b->dwRop != WHITENESS)) {
                Leave(RecordName(EMR_BITBLT) + " with a picture");
                return;
            }
            if (b->dwRop == PATCOPY && !state_.brush.visible) return;
            const COLORREF c = b->dwRop == BLACKNESS   ? RGB(0, 0, 0)
                               : b->dwRop == WHITENESS ? RGB(255, 255, 255)
                                                       : state_.brush.colour;
            Out(Colour(c) + " " + Point(b->xDest, b->yDest) + " " + Point(b->cxDest, b->cyDest) + " rectfill\n");
            return;
        }
        case EMR_BEGINPATH:
            inPath_ = true;
            pathHasPoint_ = false;
            Out("newpath\n");
            return;
        case EMR_ENDPATH:
            inPath_ = false;
            return;
        case EMR_CLOSEFIGURE:
            if (inPath_) Out("closepath\n");
            return;
        case EMR_ABORTPATH:
            inPath_ = false;
            Out("newpath\n");
            return;
        case EMR_STROKEPATH:
            Out(Stroke());
            return;
        case EMR_FILLPATH:
            Out(Fill() + "newpath\n");
            return;
        case EMR_STROKEANDFILLPATH:
            Out(Fill() + Stroke());
            return;
        case EMR_EXTTEXTOUTW:
            if (auto* t = As<EMREXTTEXTOUTW>(r, size)) Text(t, size);
            return;
        case EMR_GDICOMMENT:
            if (auto* c = As<EMRGDICOMMENT>(r, size)) Comment(c, size);
            return;
        default:
            if (!Harmless(r->iType)) Leave(RecordName(r->iType));
            return;
    }
}

}  // namespace

PrinterFont PrinterFontMap::Resolve(std::wstring_view face, bool bold, bool italic) const {
    struct Family {
        const wchar_t* face;
        const char* variants[4];  // upright, bold, italic, bold italic
        double ascent, descent;
    };
    static const Family kFamilies[] = {
        {L"Arial", {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"}, 0.905, 0.212},
        {L"Times New Roman", {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"}, 0.891, 0.216},
        {L"Courier New", {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"}, 0.833, 0.300},
    };
    const Family* family = &kFamilies[0];
    for (const Family& f : kFamilies)
        if (SameFace(face, f.face)) family = &f;
    const int variant = (bold ? 1 : 0) + (italic ? 2 : 0);
    const std::string candidates[] = {family->variants[variant], family->variants[0],
                                      kFamilies[0].variants[variant], kFamilies[0].variants[0]};
    PrinterFont font;
    font.ascent = family->ascent;
    font.descent = family->descent;
    font.name = candidates[0];
    if (fonts_.empty()) return font;
    for (const std::string& name : candidates) {
        if (!Has(name)) continue;
        font.name = name;
        return font;
    }
    // A printer without any of them still has the first font it lists.
    font.name = fonts_.front();
    return font;
}

bool PrinterFontMap::Has(const std::string& name) const {
    return std::find(fonts_.begin(), fonts_.end(), name) != fonts_.end();
}

std::vector<EncodedRun> EncodeText(std::wstring_view text) {
    std::vector<EncodedRun> runs;
    for (wchar_t c : text) {
        // The run's own encoding first: ASCII and the letters both code pages hold stay in it.
        int encoding = runs.empty() ? 0 : runs.back().encoding;
        int byte = ByteIn(encoding, c);
        if (byte < 0) {
            encoding = 1 - encoding;
            byte = ByteIn(encoding, c);
        }
        if (byte < 0) {
            encoding = runs.empty() ? 0 : runs.back().encoding;
            byte = '?';
        }
        if (runs.empty() || runs.back().encoding != encoding) runs.push_back(EncodedRun{encoding, {}});
        runs.back().bytes.push_back(static_cast<char>(byte));
    }
    return runs;
}

std::vector<BYTE> MarkComment(DrawingMark mark, std::string_view data) {
    std::vector<BYTE> bytes(kMarkHeader + data.size());
    const auto value = static_cast<uint32_t>(mark);
    std::memcpy(bytes.data(), kMarkSignature, sizeof kMarkSignature);
    std::memcpy(bytes.data() + sizeof kMarkSignature, &value, sizeof value);
    if (!data.empty()) std::memcpy(bytes.data() + kMarkHeader, data.data(), data.size());
    return bytes;
}

Translation TranslateMetafile(const BYTE* bits, size_t size, const DeviceFrame& frame, const PrinterFontMap& fonts) {
    Translation none;
    if (!bits || size < sizeof(ENHMETAHEADER) || frame.dpi <= 0) return none;
    ENHMETAHEADER header;
    std::memcpy(&header, bits, sizeof header);
    if (header.iType != EMR_HEADER || header.dSignature != ENHMETA_SIGNATURE) return none;
    Translator translator(frame, fonts);
    size_t at = 0;
    while (at + sizeof(ENHMETARECORD) - sizeof(DWORD) <= size) {
        const auto* record = reinterpret_cast<const ENHMETARECORD*>(bits + at);
        const size_t length = record->nSize;
        // A record that does not fit, or is not whole words, ends the reading.
        if (length < 8 || length % 4 != 0 || length > size - at) break;
        translator.Play(record, length);
        if (record->iType == EMR_EOF) break;
        at += length;
    }
    return translator.Finish();
}

std::string DrawingProcSet() {
    std::string out = "%%BeginResource: procset CorvaneDrawing 1.0 0\n";
    // Two encodings for every font: Windows Latin-1 and the Central European letters, both over
    // ASCII with the straight quote and the grave accent where Windows has them.
    out += "/cgW StandardEncoding 256 array copy def cgW 39 /quotesingle put cgW 96 /grave put\n";
    for (int e = 0; e < 2; ++e) {
        if (e == 1) out += "/cgE cgW 256 array copy def\n";
        out += std::string(kEncodingNames[e]) + " 128 [";
        for (int i = 0; i < 128; ++i) {
            out += (i % 8 == 0) ? "\n" : " ";
            out += "/" + std::string(kEncodings[e][i].name ? kEncodings[e][i].name : ".notdef");
        }
        out += "\n] putinterval\n";
    }
    // size /Name-CorvW /Name encoding cgF: the font in that encoding, made once, at that size.
    out += "/cgF {2 index FontDirectory exch known {pop pop findfont}\n"
           " {exch findfont dup length 1 add dict begin {1 index /FID ne {def} {pop pop} ifelse} forall\n"
           " /Encoding exch def currentdict end definefont} ifelse exch scalefont setfont} bind def\n";
    // string widths cgX: the glyphs' outlines into the path, each at its own advance.
    out += "/cgX {0 1 3 index length 1 sub {currentpoint 4 index 3 index 1 getinterval false charpath moveto\n"
           " 1 index exch get 0 rmoveto} for pop pop} bind def\n";
    // x y w h cgR: a rectangle into the path.
    out += "/cgR {4 2 roll moveto 1 index 0 rlineto 0 exch rlineto neg 0 rlineto closepath} bind def\n";
    out += "%%EndResource\n";
    return out;
}

}  // namespace corv::host
