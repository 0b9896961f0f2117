// A UI plug-in with one page, for running `corvhost prefs` without corvui.dll: it asks the
// helper for the model's name, adds an "About" page made in memory that shows it, and sets the
// sheet's result when the sheet goes.
// With CORV_STUB_DRAW=hostile it prints instead: it carries the real job settings record, so
// that corvhost's print job takes it beside corvrend.dll, and draws at each page's start what a
// printer's PostScript must survive: texts in a face no printer has, with parentheses and
// backslashes, Central European letters and some no printer font holds, a text of 2,047
// characters, and PASSTHROUGH data.
#include "common/platform/oemintf.h"
#include "common/record.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <string>

namespace {

LONG g_objects = 0;
constexpr DWORD kSignature = 0x42555453;  // "STUB"

bool Draws() {
    wchar_t value[16] = {};
    GetEnvironmentVariableW(L"CORV_STUB_DRAW", value, 16);
    return std::wcscmp(value, L"hostile") == 0;
}

void Text(HDC dc, int x, int y, int height, const std::wstring& text) {
    LOGFONTW lf{};
    lf.lfHeight = -height;
    lstrcpyW(lf.lfFaceName, L"No Such Face");
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
    DeleteObject(font);
}

void DrawHostile(HDC dc) {
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const char text[] = "% stub: passed through\n";
    char pass[2 + sizeof text - 1];
    const WORD count = sizeof text - 1;
    std::memcpy(pass, &count, 2);
    std::memcpy(pass + 2, text, count);
    ExtEscape(dc, PASSTHROUGH, sizeof pass, pass, 0, nullptr);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    Text(dc, dpi, dpi, dpi / 6, L"Hostile (text) with \\ backslashes)");
    Text(dc, dpi, dpi * 3 / 2, dpi / 6, L"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144 Gr\u00f6\u00dfe \u65e5\u672c");
    std::wstring longText;
    for (int i = 0; longText.size() < 2047; ++i) longText += L"(" + std::to_wstring(i % 10) + L"\\)";
    longText.resize(2047);
    Text(dc, dpi / 2, dpi * 2, dpi / 24, longText);
    SetBkMode(dc, oldMode);
}

// A dialog template in memory: caption "About", one static text control.
struct PageTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass;
    WCHAR caption[6];
    WORD pad;
    DLGITEMTEMPLATE text;
    WORD classMarker, classId;
    WCHAR title[2];
    WORD extra;
};

alignas(4) PageTemplate g_template = {
    {WS_CHILD | DS_CONTROL, 0, 1, 0, 0, 200, 120}, 0, 0, L"About", 0,
    {WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 10, 10, 180, 20, 100}, 0xFFFF, 0x0082, L"-", 0};

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto description = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
    SetDlgItemTextW(page, 100, reinterpret_cast<const WCHAR*>(description->lParam));
    return TRUE;
}

class StubUi final : public IPrintOemUI2 {
public:
    StubUi() { InterlockedIncrement(&g_objects); }

    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemUI2)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return InterlockedIncrement(&refs_); }
    STDMETHOD_(ULONG, Release)() override {
        ULONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            if (core_) core_->Release();
            InterlockedDecrement(&g_objects);
            delete this;
        }
        return left;
    }

    STDMETHOD(GetInfo)(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override {
        if (!needed || (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION)) return E_FAIL;
        *needed = 4;
        if (!buffer || size < 4) return E_FAIL;
        if (Draws()) *static_cast<DWORD*>(buffer) = mode == OEMGI_GETSIGNATURE ? corv::kRecordSignature : corv::kRecordVersion;
        else *static_cast<DWORD*>(buffer) = mode == OEMGI_GETSIGNATURE ? kSignature : 1;
        return S_OK;
    }
    STDMETHOD(DevMode)(DWORD mode, POEMDMPARAM p) override {
        if (Draws()) return corv::RecordDevMode(mode, p);
        if (mode == OEMDM_SIZE) {
            p->cbBufSize = sizeof(OEM_DMEXTRAHEADER);
            return S_OK;
        }
        if (!p->pOEMDMOut || p->cbBufSize < sizeof(OEM_DMEXTRAHEADER)) return E_FAIL;
        OEM_DMEXTRAHEADER header{sizeof header, kSignature, 1};
        std::memcpy(p->pOEMDMOut, &header, sizeof header);
        return S_OK;
    }
    STDMETHOD(PublishDriverInterface)(IUnknown* unknown) override {
        if (core_) return S_OK;
        return unknown->QueryInterface(IID_IPrintCoreUI2, reinterpret_cast<void**>(&core_)) == S_OK ? S_OK : E_FAIL;
    }
    STDMETHOD(CommonUIProp)(DWORD, POEMCUIPPARAM p) override {
        if (!p->pOEMOptItems) p->cOEMOptItems = 0;
        return S_OK;
    }
    STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO info, LPARAM lParam) override {
        switch (info->Reason) {
            case PROPSHEETUI_REASON_INIT: {
                auto params = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
                DWORD type = 0, needed = 0;
                core_->GetGlobalAttribute(params->poemuiobj, 0, "NickName", &type, nullptr, 0, &needed);
                if (needed <= sizeof name_)
                    core_->GetGlobalAttribute(params->poemuiobj, 0, "NickName", &type, reinterpret_cast<PBYTE>(name_),
                                              sizeof name_, &needed);
                PROPSHEETPAGEW page{};
                page.dwSize = sizeof page;
                page.dwFlags = PSP_DLGINDIRECT;
                page.hInstance = GetModuleHandleW(L"stubui.dll");
                page.pResource = &g_template.dialog;
                page.pfnDlgProc = &PageProc;
                page.lParam = reinterpret_cast<LPARAM>(name_);
                info->Result = info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                                     reinterpret_cast<LPARAM>(&page), 0);
                sheet_ = info->hComPropSheet;
                function_ = info->pfnComPropSheet;
                return S_OK;
            }
            case PROPSHEETUI_REASON_DESTROY:
                info->Result = function_ ? function_(sheet_, CPSFUNC_SET_RESULT, 0, CPSUI_OK) : 1;
                return S_OK;
            case PROPSHEETUI_REASON_SET_RESULT:
                info->Result = lParam ? reinterpret_cast<PSETRESULT_INFO>(lParam)->Result : 0;
                return S_OK;
            default:
                info->Result = 1;
                return S_OK;
        }
    }
    STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO, LPARAM) override { return E_NOTIMPL; }
    STDMETHOD(DevQueryPrintEx)(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) override { return E_NOTIMPL; }
    STDMETHOD(DeviceCapabilities)(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID, DWORD, DWORD*) override {
        return E_NOTIMPL;
    }
    STDMETHOD(UpgradePrinter)(DWORD, PBYTE) override { return E_NOTIMPL; }
    STDMETHOD(PrinterEvent)(PWSTR, INT, DWORD, LPARAM) override { return S_OK; }
    STDMETHOD(DriverEvent)(DWORD, DWORD, LPBYTE, LPARAM) override { return S_OK; }
    STDMETHOD(QueryColorProfile)(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG, VOID*, ULONG*, FLONG*) override {
        return E_NOTIMPL;
    }
    STDMETHOD(FontInstallerDlgProc)(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
    STDMETHOD(UpdateExternalFonts)(HANDLE, HANDLE, PWSTR) override { return E_NOTIMPL; }
    STDMETHOD(QueryJobAttributes)(HANDLE, PDEVMODEW, DWORD, LPBYTE) override { return E_NOTIMPL; }
    STDMETHOD(HideStandardUI)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(DocumentEvent)(HANDLE, HDC dc, INT event, ULONG, PVOID, ULONG, PVOID, PINT result) override {
        if (!Draws() || !result) return E_NOTIMPL;
        *result = event == DOCUMENTEVENT_QUERYFILTER ? DOCUMENTEVENT_UNSUPPORTED : DOCUMENTEVENT_SUCCESS;
        if (event == DOCUMENTEVENT_STARTPAGE && dc) DrawHostile(dc);
        return S_OK;
    }

private:
    LONG refs_ = 1;
    IPrintCoreUI2* core_ = nullptr;
    HANDLE sheet_ = nullptr;
    PFNCOMPROPSHEET function_ = nullptr;
    WCHAR name_[64] = L"";
};

class Factory final : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return InterlockedIncrement(&refs_); }
    STDMETHOD_(ULONG, Release)() override {
        ULONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) StubUi;
        if (!object) return E_OUTOFMEMORY;
        HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }

private:
    LONG refs_ = 1;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!IsEqualCLSID(clsid, CLSID_OEMUI)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) Factory;
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, out);
    factory->Release();
    return hr;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return g_objects ? S_FALSE : S_OK; }
