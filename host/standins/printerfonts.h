// The printer device context the UI plug-in makes for its watermark font list. Wine makes no
// printer device contexts, so the plug-in's imports of CreateDCW, EnumFontFamiliesExW and DeleteDC
// answer for it: CreateDCW for the printer's name gives a memory device context, and enumerating
// fonts on that context lists the printer's resident fonts from its description's *Font entries.
// Every other context reaches GDI's own functions.
#pragma once

#include "host/kit/iatpatch.h"

#include <windows.h>

#include <string>
#include <vector>

namespace corv::host {

class PrinterFontContext {
public:
    PrinterFontContext(HMODULE module, std::wstring printerName, std::vector<std::wstring> faces);
    ~PrinterFontContext();
    PrinterFontContext(const PrinterFontContext&) = delete;
    PrinterFontContext& operator=(const PrinterFontContext&) = delete;

    // False when the module imports none of the three, or another object of this kind lives.
    bool active() const { return active_; }
    // The driver names the plug-in asked CreateDCW for the printer with.
    const std::vector<std::wstring>& drivers() const { return drivers_; }
    // Printer contexts handed out and not yet deleted.
    size_t open() const { return contexts_.size(); }

private:
    static HDC WINAPI CreateStandIn(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* devmode);
    static int WINAPI EnumerateStandIn(HDC dc, LPLOGFONTW request, FONTENUMPROCW procedure, LPARAM lParam, DWORD flags);
    static BOOL WINAPI DeleteStandIn(HDC dc);
    bool owns(HDC dc) const;
    // GDI's own functions, also when the patched module is this program (the stand-ins call them).
    decltype(&CreateDCW) realCreate() const { return create_.active() ? create_.original_as<decltype(CreateDCW)>() : &CreateDCW; }
    decltype(&EnumFontFamiliesExW) realEnumerate() const {
        return enumerate_.active() ? enumerate_.original_as<decltype(EnumFontFamiliesExW)>() : &EnumFontFamiliesExW;
    }
    decltype(&DeleteDC) realDelete() const { return delete_.active() ? delete_.original_as<decltype(DeleteDC)>() : &DeleteDC; }

    static PrinterFontContext* current_;
    std::wstring printerName_;
    std::vector<std::wstring> faces_;
    std::vector<std::wstring> drivers_;
    std::vector<HDC> contexts_;
    ImportPatch create_, enumerate_, delete_;
    bool active_ = false;
};

}  // namespace corv::host
