#include "plug-in/inboxui/core/coverpage.h"

#include "common/handles.h"
#include "common/text.h"
#include "plug-in/inboxui/core/geometry.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"

#include <cstring>
#include <cwchar>

namespace corv::ui {

namespace {

// Tells the rendering plug-in that the next page is the cover page.
constexpr int kEscapeCoverPage = 0x10008;

constexpr DWORD kPartRecipient = 1;
constexpr DWORD kPartSender = 2;
constexpr DWORD kPartComments = 4;

constexpr char kCoverPageMarker[] =
    "%%Make this page the Fax Cover page: \r\n statusdict /setcoverpage known \n"
    " {statusdict begin true setcoverpage end} if \n";

// x, y, font size, page count. The printer's own count wins where its statusdict has one.
constexpr char kPageCountStamp[] =
    "%d %d moveto \n gsave\n -1 1 scale\n 180 rotate\n /Helvetica findfont\n%d scalefont\nsetfont\n"
    " /strPP 10 string def \n statusdict /pagesprinted known \n"
    " {statusdict begin pagesprinted strPP cvs show end}  {%d strPP cvs show} ifelse \n grestore\n"
    " currentdict /strPP undef \n";

constexpr size_t kStampCapacity = 512;  // the formatted stamp keeps at most 511 characters
constexpr int kLineCapacity = 2048;     // a label and its field, joined

// PASSTHROUGH data is a 16-bit byte count followed by the bytes.
void PassThrough(HDC dc, const char* text, size_t length) {
    BYTE block[2 + kStampCapacity];
    if (length > kStampCapacity) length = kStampCapacity;
    const WORD count = static_cast<WORD>(length);
    std::memcpy(block, &count, sizeof count);
    std::memcpy(block + 2, text, length);
    ExtEscape(dc, PASSTHROUGH, static_cast<int>(length + 2), reinterpret_cast<LPCSTR>(block), 0, nullptr);
}

struct Line {
    WCHAR text[kLineCapacity];
    int length() const { return static_cast<int>(BoundedLength(text, kLineCapacity)); }
};

void LoadLine(UINT id, Line& line) { LoadText(id, line.text); }

// The record's fields need not be terminated: each is read within its own array.
void JoinLabel(UINT labelId, const WCHAR* field, size_t fieldCapacity, Line& line) {
    LoadText(labelId, line.text);
    const size_t used = BoundedLength(line.text, kLineCapacity);
    CopyText(line.text + used, kLineCapacity - used, field, fieldCapacity);
}

// With TA_UPDATECP the text starts at the current position, which is set just before it.
void TextAt(HDC dc, int x, int y, const Line& line) {
    MoveToEx(dc, x, y, nullptr);
    TextOutW(dc, x, y, line.text, line.length());
}

void Rule(HDC dc, const CoverPageLayout& l, int y) {
    MoveToEx(dc, l.x0, y, nullptr);
    LineTo(dc, l.xe, y);
}

UniqueGdiObject MakeFont(LONG height, LONG weight, BYTE italic, BYTE charSet) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfCharSet = charSet;
    lf.lfPitchAndFamily = FF_SWISS;
    LoadText(IDS_FAX_FONT_FACE, lf.lfFaceName);
    return UniqueGdiObject(CreateFontIndirectW(&lf));
}

BYTE CoverCharSet() {
    WCHAR number[16];
    LoadText(IDS_FAX_FONT_CHARSET, number);
    return static_cast<BYTE>(std::wcstol(number, nullptr, 10));
}

class TextAlignGuard {
public:
    TextAlignGuard(HDC dc, UINT align) : dc_(dc), old_(SetTextAlign(dc, align)) {}
    TextAlignGuard(const TextAlignGuard&) = delete;
    TextAlignGuard& operator=(const TextAlignGuard&) = delete;
    ~TextAlignGuard() {
        if (old_ != GDI_ERROR) SetTextAlign(dc_, old_);
    }

private:
    HDC dc_;
    UINT old_;
};

// Everything between the page's start and end. False, with nothing drawn, when a font or pen
// cannot be made.
bool DrawCoverContent(HDC dc, const FaxRecord& fax, DWORD parts, int orientation, LONG pageCount) {
    const CoverPageLayout l = LayoutCoverPage(GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT),
                                              GetDeviceCaps(dc, LOGPIXELSX), orientation);
    const BYTE charSet = CoverCharSet();
    UniqueGdiObject titleFont = MakeFont(l.titleHeight, FW_EXTRABOLD, TRUE, charSet);
    UniqueGdiObject headingFont = MakeFont(l.headingHeight, FW_BOLD, FALSE, charSet);
    UniqueGdiObject bodyFont = MakeFont(l.bodyHeight, FW_NORMAL, FALSE, charSet);
    UniqueGdiObject thickPen(CreatePen(PS_SOLID, l.thickPen, RGB(0, 0, 0)));
    UniqueGdiObject thinPen(CreatePen(PS_SOLID, l.thinPen, RGB(0, 0, 0)));
    if (!titleFont || !headingFont || !bodyFont || !thickPen || !thinPen) return false;

    // The guards bring back the device context's own font and pen, whatever is selected last.
    SelectGuard fontGuard(dc, titleFont.get());
    SelectGuard penGuard(dc, thickPen.get());
    TextAlignGuard alignGuard(dc, TA_UPDATECP);
    const int indented = l.x0 + l.indent;

    Line line;
    LoadLine(IDS_FAX_TITLE, line);
    TextAt(dc, l.x0, l.rowY[kRowTitle], line);
    Rule(dc, l, l.rowY[kRowTopRule]);

    SelectObject(dc, headingFont.get());
    LoadLine(IDS_FAX_PAGES_TO_FOLLOW, line);
    TextAt(dc, l.x0, l.rowY[kRowPagesToFollow], line);
    SIZE extent{};
    SelectObject(dc, bodyFont.get());
    if (!GetTextExtentPoint32W(dc, line.text, line.length(), &extent)) extent = {};
    SelectObject(dc, headingFont.get());
    const CoverStamp stamp = PlaceCoverStamp(l, extent.cx, extent.cy);
    TextBuf<kStampCapacity> ps;
    ps.appendf(kPageCountStamp, stamp.x, stamp.y, stamp.fontSize, static_cast<int>(pageCount));
    PassThrough(dc, ps.text, ps.length());

    SelectObject(dc, thinPen.get());
    Rule(dc, l, l.rowY[kRowCountRule]);

    if (parts & kPartRecipient) {
        LoadLine(IDS_FAX_TO, line);
        TextAt(dc, l.x0, l.rowY[kRowTo], line);
        SelectObject(dc, bodyFont.get());
        JoinLabel(IDS_FAX_RECIPIENT_NAME, fax.szRecipientName, ARRAYSIZE(fax.szRecipientName), line);
        TextAt(dc, indented, l.rowY[kRowRecipientName], line);
        JoinLabel(IDS_FAX_RECIPIENT_FAX, fax.szFaxNumber, ARRAYSIZE(fax.szFaxNumber), line);
        TextAt(dc, indented, l.rowY[kRowRecipientFax], line);
        Rule(dc, l, l.rowY[kRowRecipientRule]);
    }
    if (parts & kPartSender) {
        SelectObject(dc, headingFont.get());
        LoadLine(IDS_FAX_FROM, line);
        TextAt(dc, l.x0, l.rowY[kRowFrom], line);
        SelectObject(dc, bodyFont.get());
        const struct {
            UINT label;
            const WCHAR* field;
            size_t capacity;
            CoverRow row;
        } sender[] = {
            {IDS_FAX_SENDER_NAME, fax.szSenderName, ARRAYSIZE(fax.szSenderName), kRowSenderName},
            {IDS_FAX_SENDER_COMPANY, fax.szSenderCompany, ARRAYSIZE(fax.szSenderCompany), kRowSenderCompany},
            {IDS_FAX_SENDER_ADDRESS, fax.szSenderAddress, ARRAYSIZE(fax.szSenderAddress), kRowSenderAddress},
            {IDS_FAX_SENDER_FAX, fax.szSenderFax, ARRAYSIZE(fax.szSenderFax), kRowSenderFax},
            {IDS_FAX_SENDER_VOICE, fax.szSenderVoice, ARRAYSIZE(fax.szSenderVoice), kRowSenderVoice},
            {IDS_FAX_SENDER_EMAIL, fax.szSenderEmail, ARRAYSIZE(fax.szSenderEmail), kRowSenderEmail},
        };
        for (const auto& s : sender) {
            JoinLabel(s.label, s.field, s.capacity, line);
            TextAt(dc, indented, l.rowY[s.row], line);
        }
        Rule(dc, l, l.rowY[kRowSenderRule]);
    }
    if (parts & kPartComments) {
        SelectObject(dc, headingFont.get());
        LoadLine(IDS_FAX_COMMENTS, line);
        TextAt(dc, l.x0, l.rowY[kRowComments], line);
        // The comments wrap inside their box, so they are placed by the box, not the current point.
        SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        SelectObject(dc, bodyFont.get());
        RECT box = l.comments;
        const int length = static_cast<int>(BoundedLength(fax.szComments, ARRAYSIZE(fax.szComments)));
        if (length > 0) DrawTextW(dc, fax.szComments, length, &box, DT_WORDBREAK);
    }

    SelectObject(dc, thickPen.get());
    Rule(dc, l, l.rowY[kRowBottomRule]);
    return true;
}

}  // namespace

BOOL DrawFaxCoverPage(HDC dc, HANDLE printer, const JobSettings* record, const DEVMODEW* devmode, LONG pageCount) {
    if (!dc || !printer || !record || !devmode || pageCount < 0) return FALSE;
    const DWORD parts = record->fax.dwCoverParts & (kPartRecipient | kPartSender | kPartComments);
    if (!parts) return FALSE;

    const DWORD cover = 1;
    ExtEscape(dc, kEscapeCoverPage, sizeof cover, reinterpret_cast<LPCSTR>(&cover), 0, nullptr);
    // Without a page there is nothing to draw on, and no page to end.
    if (StartPage(dc) <= 0) return FALSE;
    PassThrough(dc, kCoverPageMarker, sizeof kCoverPageMarker - 1);
    const bool drawn = DrawCoverContent(dc, record->fax, parts, devmode->dmOrientation, pageCount);
    // The page is ended also when the drawing could not start, so the job is not left inside it.
    EndPage(dc);
    return drawn ? TRUE : FALSE;
}

}  // namespace corv::ui
