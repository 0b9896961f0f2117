// The UI plug-in's side of a print job: corvhost calls its document-event handler as the
// system driver does (the filter once, each page's start and end, the document's end) with a
// printer device context of its own making. Wine has no printers, so that device context is an
// enhanced-metafile recording per page, and the UI plug-in's imports of GetDeviceCaps,
// ExtEscape, StartPage and EndPage answer for it as a printer's would: the printer's page
// geometry, the escapes through the driver's escape chain, and pages that become pages of the
// PostScript job.
#pragma once

#include "host/standins/devcaps.h"
#include "host/kit/iatpatch.h"
#include "host/standins/preview.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corv::host {

// What the printer device context stands for on the driver's side.
class PrintTarget {
public:
    // An escape as the graphics engine hands it to the driver (DrvEscape).
    virtual ULONG Escape(ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out) = 0;
    // A page the UI plug-in starts and ends itself, outside the document's pages.
    virtual bool StartExtraPage() = 0;
    virtual bool EndExtraPage() = 0;

protected:
    ~PrintTarget() = default;
};

// The UI plug-in's DocumentEvent, as the driver reaches it.
using DocumentEventFn = std::function<HRESULT(HANDLE printer, HDC dc, INT event, ULONG inSize, PVOID in,
                                              ULONG outSize, PVOID out, PINT result)>;

// What a page's recording shows, kept for the job's report.
struct PagePreview {
    int ordinal = 0;
    std::vector<std::wstring> texts;
    std::wstring png;  // empty when no preview was asked for or it could not be written
};

struct UiPrintSettings {
    HANDLE printer = nullptr;
    PrinterCaps caps;
    bool color = true;
    std::wstring title;          // the page body's caption
    int pages = 1;               // of the document, for the caption
    std::wstring previewFolder;  // empty: no preview files
    int previewDpi = 50;
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

    void StartDocument();                // DOCUMENTEVENT_QUERYFILTER
    void StartPage(int ordinal, int page);  // before the page's body; draws the body's stand-in
    void EndPage();                      // after the page's body
    void EndDocument();                  // DOCUMENTEVENT_ENDDOC, with any page it adds

    const std::vector<PagePreview>& previews() const { return previews_; }
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
    void FinishRecording(int ordinal);

    PrintTarget* target_;
    UiPrintSettings s_;
    ImportPatch getDeviceCaps_, extEscape_, startPage_, endPage_;
    bool active_ = false;
    bool filtered_ = false;
    std::vector<DWORD> filter_;
    std::unique_ptr<PageRecording> recording_;
    bool inPage_ = false;      // between the document page's start and end
    bool extraOpen_ = false;   // inside a page the UI plug-in started itself
    int extraPages_ = 0;
    int nextOrdinal_ = 1;
    std::vector<PagePreview> previews_;
    std::vector<std::string> problems_;
    std::vector<std::string> notes_;
};

// The --set assignments of a named watermark ("Draft", "Confidential", case ignored) for both
// watermark records; false for a name it does not know.
bool WatermarkPreset(std::wstring_view name, std::vector<std::wstring>* settings);

// One line per recorded page: its number, the texts drawn on it in order, its preview file.
std::string DescribePreview(const PagePreview& page);

}  // namespace corv::host
