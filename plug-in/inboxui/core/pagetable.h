// The property sheets' pages, one row each, and the one decision which rows a printer's document
// sheet gets. A page's issue adds its row to the document table in pagetable.cpp; nothing else
// changes. The planned order: Output Options (template 128, fax card or print-and-hold),
// Watermark (106, always), Manual Color (107, manual colour correction) or Monochrome Print
// Quality (229, otherwise), Profiles (225, always), About (137, always).
#pragma once

#include <windows.h>

#include <cstddef>

namespace corv::ui {

// What the core driver answers about the printer, as far as the choice of pages needs it.
struct PrinterFeatures {
    bool faxCard = false;       // the "FaxCard" setting reads "True"
    bool printAndHold = false;  // the "HasPrintandHold" feature is present
    bool manualColor = false;   // the "HasManualColorCorrection" feature is present
};

enum class PageCondition { Always, FaxOrHold, ManualColor, NoManualColor };

bool PageShown(PageCondition condition, const PrinterFeatures& features);

struct PageRow {
    WORD templateId;        // dialog template among the module's resources
    const WCHAR* caption;   // the template's caption: the sheet shows it as the page's title
    PageCondition condition;
    DLGPROC procedure;      // WM_INITDIALOG brings the PROPSHEETPAGEW whose lParam is the context
};

inline constexpr size_t kMaxPages = 8;

// Rows in the order the sheet adds them.
struct PageList {
    const PageRow* rows[kMaxPages] = {};
    size_t count = 0;
};

// The rows of a table whose condition holds for the printer, in table order.
PageList ChoosePages(const PageRow* table, size_t count, const PrinterFeatures& features);

template <size_t N>
PageList ChoosePages(const PageRow (&table)[N], const PrinterFeatures& features) {
    static_assert(N <= kMaxPages);
    return ChoosePages(table, N, features);
}

// The document sheet's table, and the pages it gives a printer with these features.
const PageRow* DocumentPageTable(size_t* count);
PageList DocumentPages(const PrinterFeatures& features);

// The printer sheet's only page.
const PageRow& PrinterPage();

}  // namespace corv::ui
