// A printer device context for drawing tests: an enhanced metafile records what is drawn, and the
// test program's own imports of GetDeviceCaps, ExtEscape, StartPage and EndPage are patched so the
// code under test sees a printer's page and resolution and its escapes and pages are logged.
#pragma once

#include "support/iatpatch_ui.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace corvtest {

struct PrinterCaps {
    int physicalWidth;
    int physicalHeight;
    int offsetX;
    int offsetY;
    int dpi;
};

inline constexpr PrinterCaps kA4At600{4960, 7016, 100, 120, 600};
inline constexpr PrinterCaps kLetterAt600{5100, 6600, 100, 100, 600};

struct DcCall {
    enum Kind { Escape, StartPage, EndPage } kind;
    int code = 0;
    std::string input;  // the escape's input bytes
    int outputSize = 0;
    bool hasOutput = false;
};

// One record of the metafile, copied out.
class EmfRecord {
public:
    explicit EmfRecord(const ENHMETARECORD* r)
        : bytes_(reinterpret_cast<const BYTE*>(r), reinterpret_cast<const BYTE*>(r) + r->nSize) {}
    DWORD type() const { return reinterpret_cast<const EMR*>(bytes_.data())->iType; }
    template <typename T>
    const T& as() const {
        return *reinterpret_cast<const T*>(bytes_.data());
    }
    const BYTE* data() const { return bytes_.data(); }

private:
    std::vector<BYTE> bytes_;
};

struct EmfText {
    POINT reference;
    std::wstring text;
    DWORD options;
    RECT clip;
    LOGFONTW font;  // the font selected when the text was drawn
    UINT align;     // the text alignment in force
};

class Emf {
public:
    explicit Emf(std::vector<EmfRecord> records) : records_(std::move(records)) {}
    const std::vector<EmfRecord>& records() const { return records_; }

    std::vector<DWORD> types() const {
        std::vector<DWORD> t;
        for (const EmfRecord& r : records_) t.push_back(r.type());
        return t;
    }
    size_t count(DWORD type) const {
        size_t n = 0;
        for (const EmfRecord& r : records_) n += r.type() == type;
        return n;
    }
    std::vector<LOGFONTW> fonts() const {
        std::vector<LOGFONTW> f;
        for (const EmfRecord& r : records_)
            if (r.type() == EMR_EXTCREATEFONTINDIRECTW) f.push_back(r.as<EMREXTCREATEFONTINDIRECTW>().elfw.elfLogFont);
        return f;
    }
    // Texts in drawing order, each with the font that was selected for it.
    std::vector<EmfText> texts() const {
        std::vector<EmfText> t;
        Objects objects;
        UINT align = 0;
        for (const EmfRecord& r : records_) {
            objects.track(r);
            if (r.type() == EMR_SETTEXTALIGN) align = r.as<EMRSETTEXTALIGN>().iMode;
            if (r.type() != EMR_EXTTEXTOUTW) continue;
            const EMRTEXT& e = r.as<EMREXTTEXTOUTW>().emrtext;
            const auto* chars = reinterpret_cast<const WCHAR*>(r.data() + e.offString);
            t.push_back({{e.ptlReference.x, e.ptlReference.y}, std::wstring(chars, e.nChars), e.fOptions,
                         {e.rcl.left, e.rcl.top, e.rcl.right, e.rcl.bottom}, objects.font(), align});
        }
        return t;
    }
    std::vector<COLORREF> textColors() const {
        std::vector<COLORREF> c;
        for (const EmfRecord& r : records_)
            if (r.type() == EMR_SETTEXTCOLOR) c.push_back(r.as<EMRSETTEXTCOLOR>().crColor);
        return c;
    }
    // The straight lines drawn: from the current point to the LINETO point, with the pen's width.
    struct Line {
        int x0;
        int y0;
        int x1;
        int y1;
        int penWidth;
    };
    std::vector<Line> lines() const {
        std::vector<Line> out;
        Objects objects;
        POINTL from{};
        for (const EmfRecord& r : records_) {
            objects.track(r);
            if (r.type() == EMR_MOVETOEX) from = r.as<EMRMOVETOEX>().ptl;
            if (r.type() == EMR_LINETO) {
                const POINTL to = r.as<EMRLINETO>().ptl;
                out.push_back({from.x, from.y, to.x, to.y, objects.penWidth()});
                from = to;
            }
        }
        return out;
    }

private:
    // The metafile's object table as it stands at each record.
    class Objects {
    public:
        void track(const EmfRecord& r) {
            switch (r.type()) {
            case EMR_EXTCREATEFONTINDIRECTW: {
                const auto& f = r.as<EMREXTCREATEFONTINDIRECTW>();
                fonts_[f.ihFont] = f.elfw.elfLogFont;
                break;
            }
            case EMR_CREATEPEN: {
                const auto& p = r.as<EMRCREATEPEN>();
                pens_[p.ihPen] = p.lopn.lopnWidth.x;
                break;
            }
            case EMR_SELECTOBJECT: {
                const DWORD h = r.as<EMRSELECTOBJECT>().ihObject;
                if (fonts_.count(h)) font_ = h;
                if (pens_.count(h)) pen_ = h;
                if (h & 0x80000000) {  // a stock object: forget the created one of its kind
                    const DWORD stock = h & 0x7FFFFFFF;
                    if (stock >= WHITE_PEN && stock <= NULL_PEN) pen_ = 0;
                    if (stock == DC_PEN) pen_ = 0;
                    if (stock >= OEM_FIXED_FONT && stock <= DEFAULT_GUI_FONT && stock != DEFAULT_PALETTE) font_ = 0;
                }
                break;
            }
            case EMR_DELETEOBJECT: {
                const DWORD h = r.as<EMRDELETEOBJECT>().ihObject;
                fonts_.erase(h);
                pens_.erase(h);
                break;
            }
            default: break;
            }
        }
        LOGFONTW font() const {
            auto it = fonts_.find(font_);
            return it == fonts_.end() ? LOGFONTW{} : it->second;
        }
        int penWidth() const {
            auto it = pens_.find(pen_);
            return it == pens_.end() ? -1 : it->second;
        }

    private:
        std::map<DWORD, LOGFONTW> fonts_;
        std::map<DWORD, int> pens_;
        DWORD font_ = 0;
        DWORD pen_ = 0;
    };

private:
    std::vector<EmfRecord> records_;
};

class PrinterDC {
public:
    explicit PrinterDC(const PrinterCaps& caps = kA4At600)
        : caps_(caps),
          dc_(CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr)),
          deviceCaps_("gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&FakeGetDeviceCaps)),
          escape_("gdi32.dll", "ExtEscape", reinterpret_cast<void*>(&FakeExtEscape)),
          startPage_("gdi32.dll", "StartPage", reinterpret_cast<void*>(&FakeStartPage)),
          endPage_("gdi32.dll", "EndPage", reinterpret_cast<void*>(&FakeEndPage)) {
        current_ = this;
    }
    PrinterDC(const PrinterDC&) = delete;
    PrinterDC& operator=(const PrinterDC&) = delete;
    ~PrinterDC() {
        current_ = nullptr;
        if (dc_) DeleteEnhMetaFile(CloseEnhMetaFile(dc_));
    }

    bool ready() const {
        return dc_ && deviceCaps_.active() && escape_.active() && startPage_.active() && endPage_.active();
    }
    HDC dc() const { return dc_; }
    const std::vector<DcCall>& calls() const { return calls_; }
    void failStartPage() { startPageResult_ = SP_ERROR; }

    // Closes the metafile and reads its records back.
    Emf finish() {
        std::vector<EmfRecord> records;
        if (dc_) {
            HENHMETAFILE mf = CloseEnhMetaFile(dc_);
            dc_ = nullptr;
            EnumEnhMetaFile(nullptr, mf, &Collect, &records, nullptr);
            DeleteEnhMetaFile(mf);
        }
        return Emf(std::move(records));
    }

private:
    static int CALLBACK Collect(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM param) {
        reinterpret_cast<std::vector<EmfRecord>*>(param)->emplace_back(r);
        return 1;
    }

    static int WINAPI FakeGetDeviceCaps(HDC dc, int index) {
        PrinterDC* self = current_;
        if (self && dc == self->dc_) {
            switch (index) {
            case PHYSICALWIDTH: return self->caps_.physicalWidth;
            case PHYSICALHEIGHT: return self->caps_.physicalHeight;
            case PHYSICALOFFSETX: return self->caps_.offsetX;
            case PHYSICALOFFSETY: return self->caps_.offsetY;
            case LOGPIXELSX:
            case LOGPIXELSY: return self->caps_.dpi;
            case HORZRES: return self->caps_.physicalWidth - 2 * self->caps_.offsetX;
            case VERTRES: return self->caps_.physicalHeight - 2 * self->caps_.offsetY;
            default: break;
            }
        }
        using GetDeviceCapsFn = int(WINAPI*)(HDC, int);
        return self ? reinterpret_cast<GetDeviceCapsFn>(self->deviceCaps_.original())(dc, index) : 0;
    }

    static int WINAPI FakeExtEscape(HDC dc, int code, int inSize, LPCSTR in, int outSize, LPSTR out) {
        PrinterDC* self = current_;
        if (!self || dc != self->dc_) return 0;
        DcCall call{DcCall::Escape, code};
        if (in && inSize > 0) call.input.assign(in, in + inSize);
        call.outputSize = outSize;
        call.hasOutput = out != nullptr;
        self->calls_.push_back(std::move(call));
        return 1;
    }

    static int WINAPI FakeStartPage(HDC dc) {
        PrinterDC* self = current_;
        if (!self || dc != self->dc_) return SP_ERROR;
        self->calls_.push_back({DcCall::StartPage});
        return self->startPageResult_;
    }

    static int WINAPI FakeEndPage(HDC dc) {
        PrinterDC* self = current_;
        if (!self || dc != self->dc_) return SP_ERROR;
        self->calls_.push_back({DcCall::EndPage});
        return 1;
    }

    static inline PrinterDC* current_ = nullptr;
    PrinterCaps caps_;
    HDC dc_;
    std::vector<DcCall> calls_;
    int startPageResult_ = 1;
    ExeImportPatch deviceCaps_;
    ExeImportPatch escape_;
    ExeImportPatch startPage_;
    ExeImportPatch endPage_;
};

}  // namespace corvtest
