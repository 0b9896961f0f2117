#include "host/standins/printerfonts.h"

#include <algorithm>

namespace corv::host {

PrinterFontContext* PrinterFontContext::current_ = nullptr;

PrinterFontContext::PrinterFontContext(HMODULE module, std::wstring printerName, std::vector<std::wstring> faces)
    : printerName_(std::move(printerName)), faces_(std::move(faces)) {
    if (current_ || !module) return;
    current_ = this;
    create_ = ImportPatch(module, "gdi32.dll", "CreateDCW", reinterpret_cast<void*>(&CreateStandIn));
    enumerate_ = ImportPatch(module, "gdi32.dll", "EnumFontFamiliesExW", reinterpret_cast<void*>(&EnumerateStandIn));
    delete_ = ImportPatch(module, "gdi32.dll", "DeleteDC", reinterpret_cast<void*>(&DeleteStandIn));
    active_ = create_.active() && enumerate_.active();
}

PrinterFontContext::~PrinterFontContext() {
    if (current_ != this) return;
    create_.Restore();
    enumerate_.Restore();
    delete_.Restore();
    for (HDC dc : contexts_) DeleteDC(dc);
    current_ = nullptr;
}

bool PrinterFontContext::owns(HDC dc) const {
    return dc && std::find(contexts_.begin(), contexts_.end(), dc) != contexts_.end();
}

HDC WINAPI PrinterFontContext::CreateStandIn(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* devmode) {
    PrinterFontContext* self = current_;
    if (!device || self->printerName_ != device) return self->realCreate()(driver, device, port, devmode);
    self->drivers_.push_back(driver ? driver : L"");
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) self->contexts_.push_back(dc);
    return dc;
}

// As GDI filters: by face name when the request names one, by character set unless it is
// DEFAULT_CHARSET; the callback's 0 stops the walk and is the result.
int WINAPI PrinterFontContext::EnumerateStandIn(HDC dc, LPLOGFONTW request, FONTENUMPROCW procedure, LPARAM lParam,
                                                DWORD flags) {
    PrinterFontContext* self = current_;
    if (!self->owns(dc)) return self->realEnumerate()(dc, request, procedure, lParam, flags);
    if (!request || !procedure) return 0;
    int result = 1;
    for (const std::wstring& face : self->faces_) {
        if (request->lfFaceName[0] && lstrcmpiW(request->lfFaceName, face.c_str()) != 0) continue;
        if (request->lfCharSet != DEFAULT_CHARSET && request->lfCharSet != ANSI_CHARSET) continue;
        ENUMLOGFONTEXW font{};
        lstrcpynW(font.elfLogFont.lfFaceName, face.c_str(), LF_FACESIZE);
        lstrcpynW(font.elfFullName, face.c_str(), LF_FULLFACESIZE);
        font.elfLogFont.lfCharSet = ANSI_CHARSET;
        font.elfLogFont.lfOutPrecision = OUT_DEVICE_PRECIS;
        NEWTEXTMETRICEXW metric{};
        metric.ntmTm.tmCharSet = ANSI_CHARSET;
        result = procedure(&font.elfLogFont, reinterpret_cast<const TEXTMETRICW*>(&metric), DEVICE_FONTTYPE, lParam);
        if (!result) break;
    }
    return result;
}

BOOL WINAPI PrinterFontContext::DeleteStandIn(HDC dc) {
    PrinterFontContext* self = current_;
    if (self->owns(dc)) self->contexts_.erase(std::find(self->contexts_.begin(), self->contexts_.end(), dc));
    return self->realDelete()(dc);
}

}  // namespace corv::host
