// The UI plug-in's COM shell: the plug-in object with IPrintOemUI2, the class factory, and the
// property sheets, option items and installation events the core driver routes through them.
#pragma once

#include "common/platform/oemintf.h"
#include "plug-in/inboxui/core/sheetcontext.h"

namespace corv::ui {

class UiPlugin final : public IPrintOemUI2 {
public:
    UiPlugin();
    UiPlugin(const UiPlugin&) = delete;
    UiPlugin& operator=(const UiPlugin&) = delete;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IPrintOemCommon
    STDMETHOD(GetInfo)(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override;
    STDMETHOD(DevMode)(DWORD mode, POEMDMPARAM param) override;
    // IPrintOemUI
    STDMETHOD(PublishDriverInterface)(IUnknown* driverInterface) override;
    STDMETHOD(CommonUIProp)(DWORD mode, POEMCUIPPARAM param) override;
    STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO info, LPARAM lParam) override;
    STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO info, LPARAM lParam) override;
    STDMETHOD(DevQueryPrintEx)(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) override;
    STDMETHOD(DeviceCapabilities)(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID, DWORD, DWORD*) override;
    STDMETHOD(UpgradePrinter)(DWORD, PBYTE) override;
    STDMETHOD(PrinterEvent)(PWSTR printerName, INT event, DWORD flags, LPARAM lParam) override;
    STDMETHOD(DriverEvent)(DWORD event, DWORD level, LPBYTE driverInfo, LPARAM lParam) override;
    STDMETHOD(QueryColorProfile)(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG, VOID*, ULONG*, FLONG*) override;
    STDMETHOD(FontInstallerDlgProc)(HWND, UINT, WPARAM, LPARAM) override;
    STDMETHOD(UpdateExternalFonts)(HANDLE, HANDLE, PWSTR) override;
    // IPrintOemUI2
    STDMETHOD(QueryJobAttributes)(HANDLE, PDEVMODEW, DWORD, LPBYTE) override;
    STDMETHOD(HideStandardUI)(DWORD) override;
    STDMETHOD(DocumentEvent)(HANDLE printer, HDC dc, INT event, ULONG cbIn, PVOID pvIn, ULONG cbOut, PVOID pvOut,
                             PINT result) override;

    // What the option-item callback needs of the object that installed it.
    POPTITEM pageOrderItem() const { return pageOrderItem_; }
    POPTITEM nupItem() const { return nupItem_; }
    SheetContext* documentContext() const { return documentContext_; }

private:
    ~UiPlugin();  // only Release destroys

    POPTITEM pageOrderItem_ = nullptr;  // the driver's, valid while its document sheet lives
    POPTITEM nupItem_ = nullptr;
    LONG refs_ = 1;
    IPrintCoreUI2* core_ = nullptr;  // one reference, from PublishDriverInterface
    SheetContext* documentContext_ = nullptr;
};

// The option-item callback CommonUIProp installs for the driver's document items.
LONG APIENTRY OptionItemCallback(PCPSUICBPARAM callback, POEMCUIPPARAM param);

// ---- The pure half ----------------------------------------------------------------------------

// Capacity of the print processor name, terminator included; the data file path is read up to
// one character less.
inline constexpr size_t kProcessorNameCapacity = 128;

// The print processor name for a driver data file path: the file name's part before its first
// dot with its last character turned into 'C' ("ABCD12P.PPD" gives "ABCD12C"). The dot must
// follow at least one character and start an extension of at least three more characters;
// otherwise the name is empty and the result false.
bool DerivePrintProcessorName(const WCHAR* dataFile, WCHAR (&name)[kProcessorNameCapacity]);

// The n-up list entry that stands for booklet printing when none is found by name.
inline constexpr LONG kDefaultBookletIndex = 6;

// Loads the display name of an n-up option by its string identifier; false when it cannot.
using OptionNameLoader = bool (*)(void* context, UINT id, WCHAR* buffer, int capacity);

// Index of the n-up item's entry whose name equals bookletName; kDefaultBookletIndex when the
// item is not a list box with parameters, no name is given, or no entry's name is equal.
LONG FindBookletIndex(const OPTITEM& nup, const WCHAR* bookletName, OptionNameLoader load, void* context);

// bWatermarkOnEscape as applying the sheet sets it: on for booklet, else for back-to-front order.
BOOL WatermarkOnEscapeFor(bool booklet, const OPTITEM* pageOrder);

// Items that CommonUIProp remembers for the option-item callback. Visible items with the n-up and
// page-order public ids are taken; while no page-order item is known, one for the "OutputOrder"
// feature stands in.
struct RememberedItems {
    POPTITEM pageOrder = nullptr;
    POPTITEM nup = nullptr;
};
RememberedItems FindRememberedItems(POPTITEM items, DWORD count, RememberedItems known);

// Hides the installable options of the printer sheet; returns how many items it hid.
DWORD HideInstallableOptions(POPTITEM items, DWORD count);

// The printer's features that decide which document pages are added.
struct PrinterFeatures {
    bool faxCard = false;
    bool printAndHold = false;
    bool manualColor = false;
};

enum class PageCondition { Always, FaxOrHold, ManualColor, NoManualColor };

struct PageDescriptor {
    WORD templateId;
    DLGPROC procedure;
    PageCondition condition;
};

bool PageShown(PageCondition condition, const PrinterFeatures& features);

// The document sheet's pages in the order they are added; each is added when its condition holds.
const PageDescriptor* DocumentPages(size_t* count);

// The print processor name is given to the printer when it is initialised.
HRESULT InitializePrinterProcessor(const WCHAR* printerName);

// ---- The module ------------------------------------------------------------------------------

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
HRESULT CanUnloadNow();
// Plug-in objects alive in this module, for DllCanUnloadNow.
LONG LiveObjectCount();
void ObjectCreated();
void ObjectDestroyed();

}  // namespace corv::ui
