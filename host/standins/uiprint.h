// The UI plug-in's side of a print job: corvhost calls its document-event handler as the
// system driver does (the filter once, each page's start and end, the document's end) with a
// printer device context of its own making. Wine has no printers, so that device context is an
// enhanced-metafile recording per page, and the UI plug-in's imports of GetDeviceCaps,
// ExtEscape, StartPage and EndPage answer for it as a printer's would: the printer's page
// geometry, the escapes through the driver's escape chain, and pages that become pages of the
// PostScript job. As the core driver turns GDI calls into the page's PostScript, each page's
// recording becomes PostScript where it was drawn: what the page start draws before the page's
// body, what the page end draws after it, a page the UI plug-in adds on a page of its own.
// Nothing of a page is kept once it has ended.
#pragma once

#include "host/kit/iatpatch.h"
#include "host/print/emfps.h"
#include "host/standins/devcaps.h"
#include "host/standins/preview.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corv::host {

// What a page's recording shows, for the job's report.
struct PagePreview {
    int ordinal = 0;
    std::vector<std::wstring> texts;
    std::wstring png;  // empty when no preview was asked for or it could not be written
};

// What the printer device context stands for on the driver's side.
class PrintTarget {
public:
    // An escape as the graphics engine hands it to the driver (DrvEscape).
    virtual ULONG Escape(ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out) = 0;
    // A page the UI plug-in starts and ends itself, outside the document's pages.
    virtual bool StartExtraPage() = 0;
    virtual bool EndExtraPage() = 0;
    // PostScript of the page that is open, in the order it was drawn.
    virtual void Emit(std::string_view postscript) = 0;
    // A page's recording is done.
    virtual void PageRecorded(const PagePreview& page) = 0;

protected:
    ~PrintTarget() = default;
};

// The UI plug-in's DocumentEvent, as the driver reaches it.
using DocumentEventFn = std::function<HRESULT(HANDLE printer, HDC dc, INT event, ULONG inSize, PVOID in,
                                              ULONG outSize, PVOID out, PINT result)>;

struct UiPrintSettings {
    HANDLE printer = nullptr;
    PrinterCaps caps;
    bool color = true;
    std::wstring title;          // the page body's caption
    int pages = 1;               // of the document, for the caption
    std::wstring previewFolder;  // empty: no preview files
    int previewDpi = 50;
    std::vector<std::string> fonts;  // the printer's resident PostScript fonts
    DocumentEventFn handler;
    HMODULE module = nullptr;  // whose GDI imports draw on the printer: the UI plug-in's (null: this program's)
};

class UiPrinting {
public:
    UiPrinting(PrintTarget* target, const UiPrintSettings& settings);
    UiPrinting(const UiPrinting&) = delete;
    UiPrinting& operator=(const UiPrinting&) = delete;
    ~UiPrinting();

    // False when the import patches could not all be made: then no event is sent.
    bool active() const { return active_; }

    void StartDocument();                   // DOCUMENTEVENT_QUERYFILTER
    void StartPage(int ordinal, int page);  // DOCUMENTEVENT_STARTPAGE; draws the body's stand-in
    // DOCUMENTEVENT_ENDPAGE; then the page's PostScript goes out: the drawing, with `body` where
    // the body lies (the body alone when there are no events).
    void EndPage(std::string_view body);
    void EndDocument();                     // DOCUMENTEVENT_ENDDOC, with any page it adds

    // PASSTHROUGH data that the driver got from an escape on this device context: kept in the
    // recording, to go out in drawing order. False when the escape came from elsewhere.
    bool PassThrough(const void* data, size_t size);
    // Rules of the device context the UI plug-in broke.
    const std::vector<std::string>& problems() const { return problems_; }
    // What could not be recorded or written, without fault of the plug-in.
    const std::vector<std::string>& notes() const { return notes_; }

private:
    static int WINAPI GetDeviceCapsStandIn(HDC dc, int index);
    static int WINAPI ExtEscapeStandIn(HDC dc, int code, int inSize, LPCSTR in, int outSize, LPSTR out);
    static int WINAPI StartPageStandIn(HDC dc);
    static int WINAPI EndPageStandIn(HDC dc);
    static UiPrinting* current_;

    bool Owns(HDC dc) const { return recording_ && dc && dc == recording_->dc(); }
    bool Wants(DWORD event) const;
    void Send(INT event);
    void DrawBody(HDC dc, int page);
    void Mark(DrawingMark mark);
    Translation Translate(HENHMETAFILE emf);
    void PlayExtraPages(HENHMETAFILE emf);
    void Report(HENHMETAFILE emf, int ordinal);

    PrintTarget* target_;
    UiPrintSettings s_;
    ImportPatch getDeviceCaps_, extEscape_, startPage_, endPage_;
    bool active_ = false;
    bool filtered_ = false;
    std::vector<DWORD> filter_;
    std::unique_ptr<PageRecording> recording_;
    bool inPage_ = false;      // between the document page's start and end
    bool extraOpen_ = false;   // inside a page the UI plug-in started itself
    int escaping_ = 0;         // inside an escape on the device context
    int extraPages_ = 0;
    int nextOrdinal_ = 1;
    DeviceFrame frame_;
    PrinterFontMap fonts_;
    std::vector<std::string> left_;  // kinds of records the PostScript left out, told once
    std::vector<std::string> problems_;
    std::vector<std::string> notes_;
};

// The --set assignments of a named watermark ("Draft", "Confidential", case ignored) for both
// watermark records; false for a name it does not know.
bool WatermarkPreset(std::wstring_view name, std::vector<std::wstring>* settings);

// One line per recorded page: its number, the texts drawn on it in order, its preview file.
std::string DescribePreview(const PagePreview& page);

}  // namespace corv::host
