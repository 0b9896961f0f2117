// What the core driver does with GDI calls on the printer's device context: corvhost has them
// recorded as an enhanced metafile in printer dots, and turns its records into PostScript in the
// page's points. The UI plug-in's drawing (watermarks, the fax cover page) is what it has to
// carry: fonts with escapement, weight, italic, underline and strike-out; text colour,
// background mode and alignment; ExtTextOut strings; paths with outlined text; pens, brushes,
// lines, rectangles; SaveDC/RestoreDC. Pure: metafile bytes in, PostScript text out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corv::host {

// Where the printer's device units lie on the page: the device's origin is the imageable area's
// top left corner, its y axis runs down; PostScript counts points up from the sheet's bottom.
struct DeviceFrame {
    int dpi = 600;
    int offsetX = 0, offsetY = 0;  // the imageable area's corner on the sheet, dots
    double pageHeight = 792;       // the sheet, points
};

// A font the printer holds, and the shape of its letters that placing text needs, in ems.
struct PrinterFont {
    std::string name;
    double ascent = 0.905, descent = 0.212;
};

// Windows faces to the printer's resident fonts (the printer description's *Font list): Arial to
// Helvetica, Times New Roman to Times-Roman, Courier New to Courier, each with its bold and
// italic variants, any other face to Helvetica. A variant the printer lacks falls back to the
// family's upright font, then to Helvetica. An empty list trusts the standard names.
class PrinterFontMap {
public:
    PrinterFontMap() = default;
    explicit PrinterFontMap(std::vector<std::string> fonts) : fonts_(std::move(fonts)) {}
    PrinterFont Resolve(std::wstring_view face, bool bold, bool italic) const;

private:
    bool Has(const std::string& name) const;
    std::vector<std::string> fonts_;
};

// A run of text in one of the two encodings the prolog gives every font: 0 is Windows Latin-1
// (code page 1252), 1 the Central European letters of code page 1250. A character neither holds
// is shown as '?'.
struct EncodedRun {
    int encoding = 0;
    std::string bytes;
};
std::vector<EncodedRun> EncodeText(std::wstring_view text);

// corvhost's own marks in a recording (GdiComment), in drawing order: PASSTHROUGH data that the
// core driver would write at that point, and the places where the page's body, or a page the
// UI plug-in starts itself, begins and ends.
enum class DrawingMark : uint32_t {
    None = 0,
    PassThrough = 1,
    BodyBegins = 2,
    BodyEnds = 3,
    PageBegins = 4,
    PageEnds = 5,
};
// The comment's bytes, for GdiComment.
std::vector<BYTE> MarkComment(DrawingMark mark, std::string_view data = {});

// The drawing up to a mark: one PostScript block that keeps the page's graphics state, empty
// when nothing was drawn. PASSTHROUGH data lies inside it, in the device's coordinates; it is
// also kept on its own, for a place outside any page.
struct DrawingPart {
    std::string postscript;
    std::string passThrough;
    bool drawn = false;                   // more than PASSTHROUGH data
    DrawingMark end = DrawingMark::None;  // the mark it stops at; None at the metafile's end
};

struct Translation {
    bool ok = false;  // false when the bytes are no enhanced metafile
    std::vector<DrawingPart> parts;
    std::vector<std::string> untranslated;  // the kinds of records left out, each named once
};

Translation TranslateMetafile(const BYTE* bits, size_t size, const DeviceFrame& frame, const PrinterFontMap& fonts);

// The encodings and procedures the translated drawing uses, for the job's prolog.
std::string DrawingProcSet();

}  // namespace corv::host
