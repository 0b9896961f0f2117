#include "host/standins/uiprint.h"

#include "common/platform/oemintf.h"

#include <algorithm>
#include <cmath>

namespace corv::host {
namespace {

constexpr UINT kFilterRoom = 16;

std::wstring PreviewPath(const std::wstring& folder, int ordinal, const wchar_t* extension) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path.push_back(L'\\');
    return path + L"page-" + std::to_wstring(ordinal) + extension;
}

void MakeFolders(const std::wstring& folder) {
    for (size_t i = 1; i <= folder.size(); ++i)
        if (i == folder.size() || folder[i] == L'\\' || folder[i] == L'/')
            CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
}

const char* EventName(INT event) {
    switch (event) {
        case DOCUMENTEVENT_QUERYFILTER: return "DOCUMENTEVENT_QUERYFILTER";
        case DOCUMENTEVENT_STARTPAGE: return "DOCUMENTEVENT_STARTPAGE";
        case DOCUMENTEVENT_ENDPAGE: return "DOCUMENTEVENT_ENDPAGE";
        case DOCUMENTEVENT_ENDDOC: return "DOCUMENTEVENT_ENDDOC";
        default: return "DOCUMENTEVENT_?";
    }
}

}  // namespace

UiPrinting* UiPrinting::current_ = nullptr;

UiPrinting::UiPrinting(PrintTarget* target, const UiPrintSettings& settings)
    : target_(target), s_(settings), fonts_(settings.fonts) {
    frame_.dpi = s_.caps.dpi;
    frame_.offsetX = s_.caps.offsetX;
    frame_.offsetY = s_.caps.offsetY;
    frame_.pageHeight = s_.caps.dpi > 0 ? s_.caps.physicalHeight * 72.0 / s_.caps.dpi : 0;
    if (current_) {
        notes_.push_back("a second printer device context in the same process");
        return;
    }
    if (!s_.handler) {
        notes_.push_back("no document-event handler");
        return;
    }
    current_ = this;
    HMODULE self = s_.module ? s_.module : GetModuleHandleW(nullptr);
    getDeviceCaps_ = ImportPatch(self, "gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&GetDeviceCapsStandIn));
    extEscape_ = ImportPatch(self, "gdi32.dll", "ExtEscape", reinterpret_cast<void*>(&ExtEscapeStandIn));
    startPage_ = ImportPatch(self, "gdi32.dll", "StartPage", reinterpret_cast<void*>(&StartPageStandIn));
    endPage_ = ImportPatch(self, "gdi32.dll", "EndPage", reinterpret_cast<void*>(&EndPageStandIn));
    // Without its own escapes and page geometry the device context would be the screen's.
    active_ = getDeviceCaps_.active() && extEscape_.active();
    if (!active_) notes_.push_back("the UI plug-in does not import GetDeviceCaps and ExtEscape from gdi32.dll");
    if (active_ && !s_.previewFolder.empty()) MakeFolders(s_.previewFolder);
}

UiPrinting::~UiPrinting() {
    recording_.reset();
    endPage_.Restore();
    startPage_.Restore();
    extEscape_.Restore();
    getDeviceCaps_.Restore();
    if (current_ == this) current_ = nullptr;
}

int WINAPI UiPrinting::GetDeviceCapsStandIn(HDC dc, int index) {
    UiPrinting* self = current_;
    int value = 0;
    if (self && self->Owns(dc) && AnswerDeviceCaps(self->s_.caps, index, &value)) return value;
    auto real = self ? self->getDeviceCaps_.original_as<int WINAPI(HDC, int)>() : nullptr;
    return real ? real(dc, index) : 0;
}

int WINAPI UiPrinting::ExtEscapeStandIn(HDC dc, int code, int inSize, LPCSTR in, int outSize, LPSTR out) {
    UiPrinting* self = current_;
    if (self && self->Owns(dc)) {
        // Negative sizes mean no block, as the graphics engine reads them.
        const ULONG cbIn = inSize > 0 && in ? static_cast<ULONG>(inSize) : 0;
        const ULONG cbOut = outSize > 0 && out ? static_cast<ULONG>(outSize) : 0;
        ++self->escaping_;
        const ULONG result = self->target_->Escape(static_cast<ULONG>(code), cbIn,
                                                   cbIn ? const_cast<LPSTR>(in) : nullptr, cbOut, cbOut ? out : nullptr);
        --self->escaping_;
        return static_cast<int>(result);
    }
    auto real = self ? self->extEscape_.original_as<int WINAPI(HDC, int, int, LPCSTR, int, LPSTR)>() : nullptr;
    return real ? real(dc, code, inSize, in, outSize, out) : 0;
}

int WINAPI UiPrinting::StartPageStandIn(HDC dc) {
    UiPrinting* self = current_;
    if (self && self->Owns(dc)) {
        if (self->inPage_ || self->extraOpen_) {
            self->problems_.push_back("StartPage on the printer device context inside a page");
            return 0;
        }
        // The page goes into the job with its drawing once the event is over.
        self->Mark(DrawingMark::PageBegins);
        self->extraOpen_ = true;
        ++self->extraPages_;
        return 1;
    }
    auto real = self ? self->startPage_.original_as<int WINAPI(HDC)>() : nullptr;
    return real ? real(dc) : 0;
}

int WINAPI UiPrinting::EndPageStandIn(HDC dc) {
    UiPrinting* self = current_;
    if (self && self->Owns(dc)) {
        if (!self->extraOpen_) {
            self->problems_.push_back("EndPage on the printer device context without a page of its own");
            return 0;
        }
        self->extraOpen_ = false;
        self->Mark(DrawingMark::PageEnds);
        return 1;
    }
    auto real = self ? self->endPage_.original_as<int WINAPI(HDC)>() : nullptr;
    return real ? real(dc) : 0;
}

bool UiPrinting::Wants(DWORD event) const {
    return !filtered_ || std::find(filter_.begin(), filter_.end(), event) != filter_.end();
}

void UiPrinting::Send(INT event) {
    if (!active_ || !Wants(static_cast<DWORD>(event))) return;
    INT result = 0;
    const HRESULT hr = s_.handler(s_.printer, recording_ ? recording_->dc() : nullptr, event, 0, nullptr, 0, nullptr,
                                  &result);
    if (FAILED(hr)) problems_.push_back(std::string(EventName(event)) + " failed");
}

void UiPrinting::StartDocument() {
    if (!active_) return;
    // The driver asks once which events the handler wants; a handler that cannot say gets all.
    std::vector<BYTE> block(offsetof(DOCEVENT_FILTER, aDocEventCall) + kFilterRoom * sizeof(DWORD));
    auto* filter = reinterpret_cast<DOCEVENT_FILTER*>(block.data());
    filter->cbSize = static_cast<UINT>(block.size());
    filter->cElementsAllocated = kFilterRoom;
    INT result = 0;
    const HRESULT hr = s_.handler(s_.printer, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr,
                                  static_cast<ULONG>(block.size()), filter, &result);
    if (SUCCEEDED(hr) && result == DOCUMENTEVENT_SUCCESS && filter->cElementsReturned <= kFilterRoom &&
        filter->cElementsNeeded == 0) {
        filtered_ = true;
        filter_.assign(filter->aDocEventCall, filter->aDocEventCall + filter->cElementsReturned);
    }
}

void UiPrinting::StartPage(int ordinal, int page) {
    if (!active_) return;
    nextOrdinal_ = ordinal;
    recording_ = std::make_unique<PageRecording>(s_.caps);
    if (!recording_->dc()) notes_.push_back("cannot record page " + std::to_string(ordinal));
    inPage_ = true;
    Send(DOCUMENTEVENT_STARTPAGE);
    if (!recording_->dc()) return;
    // The body is the driver's own PostScript: its stand-in is for the preview only.
    Mark(DrawingMark::BodyBegins);
    DrawBody(recording_->dc(), page);
    Mark(DrawingMark::BodyEnds);
}

void UiPrinting::EndPage(std::string_view body) {
    if (!active_ || !inPage_) {
        target_->Emit(body);
        return;
    }
    Send(DOCUMENTEVENT_ENDPAGE);
    inPage_ = false;
    UniqueEnhMetaFile emf = recording_ ? recording_->Finish() : UniqueEnhMetaFile();
    recording_.reset();
    bool bodyOut = false, inBody = false;
    for (const DrawingPart& part : Translate(emf.get()).parts) {
        if (!inBody) target_->Emit(part.postscript);
        if (part.end == DrawingMark::BodyBegins && !bodyOut) {
            target_->Emit(body);
            bodyOut = inBody = true;
        } else if (part.end == DrawingMark::BodyEnds) {
            inBody = false;
        }
    }
    if (!bodyOut) target_->Emit(body);
    Report(emf.get(), nextOrdinal_++);
}

void UiPrinting::EndDocument() {
    if (!active_) return;
    recording_ = std::make_unique<PageRecording>(s_.caps);
    extraPages_ = 0;
    Send(DOCUMENTEVENT_ENDDOC);
    if (extraOpen_) {
        // A page left open would leave the PostScript job inside it.
        problems_.push_back("the document ended inside a page the UI plug-in started");
        extraOpen_ = false;
        Mark(DrawingMark::PageEnds);
    }
    UniqueEnhMetaFile emf = recording_->Finish();
    recording_.reset();
    PlayExtraPages(emf.get());
    if (extraPages_ == 0) return;
    Report(emf.get(), nextOrdinal_);
    nextOrdinal_ += extraPages_;
}

bool UiPrinting::PassThrough(const void* data, size_t size) {
    if (!escaping_ || !recording_ || !recording_->dc()) return false;
    const std::vector<BYTE> mark =
        MarkComment(DrawingMark::PassThrough, std::string_view(static_cast<const char*>(data), size));
    GdiComment(recording_->dc(), static_cast<UINT>(mark.size()), mark.data());
    return true;
}

void UiPrinting::Mark(DrawingMark mark) {
    if (!recording_ || !recording_->dc()) return;
    const std::vector<BYTE> bytes = MarkComment(mark);
    GdiComment(recording_->dc(), static_cast<UINT>(bytes.size()), bytes.data());
}

Translation UiPrinting::Translate(HENHMETAFILE emf) {
    const UINT size = emf ? GetEnhMetaFileBits(emf, 0, nullptr) : 0;
    std::vector<BYTE> bits(size);
    if (!size || GetEnhMetaFileBits(emf, size, bits.data()) != size) return Translation{};
    Translation t = TranslateMetafile(bits.data(), bits.size(), frame_, fonts_);
    for (const std::string& what : t.untranslated) {
        if (std::find(left_.begin(), left_.end(), what) != left_.end()) continue;
        left_.push_back(what);
        notes_.push_back("the UI plug-in's drawing has " + what + ", which the job's PostScript leaves out");
    }
    return t;
}

// The pages the UI plug-in started at the end of the document, each with its drawing, and what it
// passed through between them: the job gets them in the order they were sent.
void UiPrinting::PlayExtraPages(HENHMETAFILE emf) {
    const Translation t = Translate(emf);
    if (!t.ok && extraPages_ > 0)
        notes_.push_back("the pages the UI plug-in added go out blank: their drawing was not recorded");
    int opened = 0;
    bool open = false, outside = false;
    for (const DrawingPart& part : t.parts) {
        // Outside a page only PASSTHROUGH data has a place: the document's, between pages.
        if (open) target_->Emit(part.postscript);
        else target_->Emit(part.passThrough);
        if (!open && part.drawn) outside = true;
        if (part.end == DrawingMark::PageBegins && !open) {
            target_->StartExtraPage();
            open = true;
            ++opened;
        } else if (part.end == DrawingMark::PageEnds && open) {
            target_->EndExtraPage();
            open = false;
        }
    }
    if (outside) notes_.push_back("the UI plug-in drew outside a page at the end of the document; that is left out");
    for (; opened < extraPages_; ++opened) {
        target_->StartExtraPage();
        target_->EndExtraPage();
    }
}

// What the page shows, told to the driver as the page ends; the preview files are written then.
void UiPrinting::Report(HENHMETAFILE emf, int ordinal) {
    PagePreview p;
    p.ordinal = ordinal;
    p.texts = MetafileTexts(emf);
    if (emf && !s_.previewFolder.empty()) {
        std::string error;
        const std::wstring png = PreviewPath(s_.previewFolder, ordinal, L".png");
        if (!SaveMetafile(emf, PreviewPath(s_.previewFolder, ordinal, L".emf")))
            notes_.push_back("cannot write the metafile of page " + std::to_string(ordinal));
        if (SavePreview(emf, s_.caps, s_.previewDpi, png, &error)) p.png = png;
        else notes_.push_back("preview of page " + std::to_string(ordinal) + ": " + error);
    }
    target_->PageRecorded(p);
}

// The GDI stand-in of the PostScript page body: frame, the bar in the top left corner, the big
// page number and the caption, at the same places on the sheet.
void UiPrinting::DrawBody(HDC dc, int page) {
    if (page <= 0) return;
    const PrinterCaps& c = s_.caps;
    auto x = [&](double points) { return static_cast<int>(std::lround(points * c.dpi / 72.0)) - c.offsetX; };
    auto y = [&](double points) { return static_cast<int>(std::lround(points * c.dpi / 72.0)) - c.offsetY; };
    const double w = c.physicalWidth * 72.0 / c.dpi, h = c.physicalHeight * 72.0 / c.dpi;
    const COLORREF ink = s_.color ? RGB(0, 77, 179) : RGB(0, 0, 0);
    const COLORREF number = s_.color ? RGB(179, 26, 26) : RGB(64, 64, 64);

    UniqueGdiObject pen(CreatePen(PS_SOLID, std::max(1, 3 * c.dpi / 72), ink));
    UniqueGdiObject brush(CreateSolidBrush(ink));
    {
        SelectGuard p(dc, pen.get());
        SelectGuard b(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, x(36), y(36), x(w - 36), y(h - 36));
    }
    const RECT bar{x(36), y(36), x(36 + (w - 72) / 3), y(96)};
    FillRect(dc, &bar, static_cast<HBRUSH>(brush.get()));

    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    const COLORREF oldColor = SetTextColor(dc, number);
    LOGFONTW lf{};
    lf.lfHeight = -288 * c.dpi / 72;
    lf.lfWeight = FW_BOLD;
    lstrcpyW(lf.lfFaceName, L"Arial");
    UniqueGdiObject big(CreateFontIndirectW(&lf));
    const std::wstring digits = std::to_wstring(page);
    {
        SelectGuard f(dc, big.get());
        TextOutW(dc, x(w / 2), y(h / 2 + 100), digits.c_str(), static_cast<int>(digits.size()));
    }
    lf.lfHeight = -14 * c.dpi / 72;
    lf.lfWeight = FW_NORMAL;
    UniqueGdiObject small(CreateFontIndirectW(&lf));
    const std::wstring caption = s_.title + L" - page " + digits + L" of " + std::to_wstring(s_.pages);
    SetTextColor(dc, RGB(0, 0, 0));
    {
        SelectGuard f(dc, small.get());
        TextOutW(dc, x(w / 2), y(h - 54), caption.c_str(), static_cast<int>(caption.size()));
    }
    SetTextColor(dc, oldColor);
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
}

bool WatermarkPreset(std::wstring_view name, std::vector<std::wstring>* settings) {
    struct Preset {
        const wchar_t* name;
        const wchar_t* text;
        const wchar_t* colour;
        const wchar_t* points;
    };
    static const Preset kPresets[] = {
        {L"Draft", L"DRAFT", L"205,205,205", L"72"},
        {L"Confidential", L"CONFIDENTIAL", L"255,0,0", L"54"},
    };
    for (const Preset& p : kPresets) {
        if (name.size() != std::wstring_view(p.name).size() ||
            CompareStringOrdinal(name.data(), static_cast<int>(name.size()), p.name, -1, TRUE) != CSTR_EQUAL)
            continue;
        settings->push_back(L"bWatermarks=1");
        for (const wchar_t* record : {L"wmFirst.", L"wmOther."}) {
            const std::wstring r = record;
            settings->push_back(r + L"szName=" + p.name);
            settings->push_back(r + L"szText=" + p.text);
            settings->push_back(r + L"dblAngle=45");
            settings->push_back(r + L"rgbColor=" + p.colour);
            settings->push_back(r + L"szFontName=Arial");
            settings->push_back(r + L"lPointSize=" + p.points);
        }
        return true;
    }
    return false;
}

std::string DescribePreview(const PagePreview& page) {
    auto narrow = [](const std::wstring& s) {
        std::string out;
        for (wchar_t c : s) out.push_back(c >= 32 && c < 127 ? static_cast<char>(c) : '?');
        return out;
    };
    std::string line = "page " + std::to_string(page.ordinal) + ":";
    for (const auto& t : page.texts) line += " \"" + narrow(t) + "\"";
    if (!page.png.empty()) line += " -> " + narrow(page.png);
    return line;
}

}  // namespace corv::host
