// Where a watermark lands and how the fax cover page is laid out, as plain arithmetic over device
// units. The drawing code measures, creates and draws; every number it uses comes from here.
#pragma once

#include <windows.h>

namespace corv::ui {

// Nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3). Out-of-range values saturate;
// NaN gives 0.
int RoundToInt(double value);

// Integer half, truncated toward zero.
constexpr int Half(int n) { return n / 2; }

// The watermark's colour: each channel of rgbColor (red, green, blue) blended toward white by the
// intensity in percent.
COLORREF WatermarkColor(const BYTE rgbColor[4], WORD intensity);

// lfHeight values (negative: character height).
LONG PrinterFontHeight(LONG pointSize, int dpi, float scale, int dmScale);
LONG PreviewFontHeight(LONG pointSize, int logPixelsY);

// lfEscapement and lfOrientation for an angle in degrees.
LONG WatermarkEscapement(double angleDegrees);

// Offsets in device units: u to the right, v upward.
struct TextOffsets {
    int u;
    int v;
};
TextOffsets PrinterOffsets(double offsetX, double offsetY, bool inches, int dpi, float scale);
TextOffsets PreviewOffsets(double offsetX, double offsetY, bool inches, int logPixelsX, int logPixelsY);

// The box the watermark is placed in and the physical offsets that go with it.
struct PageBox {
    int width;    // W
    int height;   // H
    int offsetX;  // X0
    int offsetY;  // Y0
};
// rect: the logical page's rectangle, or null for the whole physical page.
PageBox WatermarkPageBox(int physicalWidth, int physicalHeight, int physicalOffsetX, int physicalOffsetY,
                         const RECT* rect, float scale, int orientation);

// The nine positions; anything else is placed as the centre.
enum WatermarkPosition : DWORD {
    kPosCenter = 0,
    kPosBottomLeft = 1,
    kPosTopLeft = 2,
    kPosCenterLeft = 3,
    kPosBottomCenter = 4,
    kPosTopCenter = 5,
    kPosBottomRight = 6,
    kPosTopRight = 7,
    kPosCenterRight = 8,
};
DWORD NormalizePosition(DWORD position);

// The point handed to the text call (top-left corner of the text box, rotated with the text) for a
// text of w x h device units that matches its anchor to the page box's (0, 0, W, H).
POINT PrinterAnchor(DWORD position, double angleDegrees, int w, int h, int W, int H);
// The same inside a preview control's client rectangle.
POINT PreviewAnchor(DWORD position, double angleDegrees, int w, int h, const RECT& client);

struct WatermarkInput {
    // From the watermark record.
    double angle = 0.0;  // degrees, counter-clockwise
    DWORD position = kPosCenter;
    bool inches = true;
    double offsetX = 0.0;
    double offsetY = 0.0;
    // From the job.
    bool physicalPage = true;  // bWatermarkPhysicalPage
    int orientation = 1;       // dmOrientation
    int dmScale = 100;
    int dpi = 600;  // dmPrintQuality
    // From the device context.
    int physicalWidth = 0;
    int physicalHeight = 0;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    // The logical page, when one is given.
    const RECT* rect = nullptr;
    float scale = 1.0f;
    // The measured text.
    int textWidth = 0;
    int textHeight = 0;
};

struct WatermarkPlacement {
    PageBox box;
    TextOffsets offsets;
    POINT anchor;  // within the page box, before shifts, margins and offsets
    POINT point;   // the final device coordinates of the text call
};
WatermarkPlacement PlaceWatermark(const WatermarkInput& in);

struct PreviewInput {
    double angle = 0.0;
    DWORD position = kPosCenter;
    bool inches = true;
    double offsetX = 0.0;
    double offsetY = 0.0;
    int logPixelsX = 96;
    int logPixelsY = 96;
    RECT client{};
    int textWidth = 0;
    int textHeight = 0;
};
POINT PlacePreview(const PreviewInput& in);

// The fax cover page's rows, top to bottom.
enum CoverRow : int {
    kRowTitle,
    kRowTopRule,
    kRowPagesToFollow,
    kRowCountRule,
    kRowTo,
    kRowRecipientName,
    kRowRecipientFax,
    kRowRecipientRule,
    kRowFrom,
    kRowSenderName,
    kRowSenderCompany,
    kRowSenderAddress,
    kRowSenderFax,
    kRowSenderVoice,
    kRowSenderEmail,
    kRowSenderRule,
    kRowComments,
    kRowCommentsText,
    kRowBottomRule,
    kCoverRowCount
};

struct CoverPageLayout {
    int width;   // W, after the orientation swap
    int height;  // H
    int minSide;
    int logPixelsX;
    int x0;      // left end of the rules and of the headings
    int xe;      // right end of the rules
    int indent;  // of the detail lines and the comments
    LONG titleHeight;  // lfHeight values
    LONG headingHeight;
    LONG bodyHeight;
    int thickPen;
    int thinPen;
    int rowY[kCoverRowCount];
    RECT comments;  // where the comments wrap
};
CoverPageLayout LayoutCoverPage(int physicalWidth, int physicalHeight, int logPixelsX, int orientation);

// The page-count stamp after "Pages to Follow:", from the heading measured in the body font.
struct CoverStamp {
    int x;
    int y;
    int fontSize;
};
CoverStamp PlaceCoverStamp(const CoverPageLayout& layout, int textWidth, int textHeight);

}  // namespace corv::ui
