#include "plug-in/inboxui/core/pagetable.h"

#include "plug-in/inboxui/pages/about.h"
#include "plug-in/inboxui/pages/outputoptions.h"
#include "plug-in/inboxui/pages/colorpages.h"
#include "plug-in/inboxui/pages/wmpage.h"
#include "plug-in/inboxui/pages/profilespage.h"
#include "plug-in/inboxui/resources/ids.h"

#include <iterator>

namespace corv::ui {
namespace {

// The document sheet's pages, in the order the sheet shows them; a page is here once its dialog
// exists.
constexpr PageRow kDocumentPages[] = {
    {IDD_OUTPUT_OPTIONS, L"Output Options", PageCondition::FaxOrHold, &OutputOptionsPageProc},
    {IDD_WATERMARK, L"Watermark", PageCondition::Always, &WatermarkPageProc},
    {IDD_MANUAL_COLOR, L"Manual Color", PageCondition::ManualColor, &ManualColorPageProc},
    {IDD_MONO_QUALITY, L"Monochrome Print Quality", PageCondition::NoManualColor, &MonoQualityPageProc},
    {IDD_PROFILES, L"Profiles", PageCondition::Always, &ProfilesPageProc},
    {IDD_ABOUT_DOC, L"About", PageCondition::Always, &AboutPageProc},
};

constexpr PageRow kPrinterPage = {IDD_ABOUT_PRN, L"About", PageCondition::Always, &AboutPageProc};

}  // namespace

bool PageShown(PageCondition condition, const PrinterFeatures& features) {
    switch (condition) {
        case PageCondition::Always:
            return true;
        case PageCondition::FaxOrHold:
            return features.faxCard || features.printAndHold;
        case PageCondition::ManualColor:
            return features.manualColor;
        case PageCondition::NoManualColor:
            return !features.manualColor;
    }
    return false;
}

PageList ChoosePages(const PageRow* table, size_t count, const PrinterFeatures& features) {
    PageList list;
    for (size_t i = 0; table && i < count && list.count < kMaxPages; ++i)
        if (PageShown(table[i].condition, features)) list.rows[list.count++] = &table[i];
    return list;
}

const PageRow* DocumentPageTable(size_t* count) {
    if (count) *count = std::size(kDocumentPages);
    return kDocumentPages;
}

PageList DocumentPages(const PrinterFeatures& features) { return ChoosePages(kDocumentPages, features); }

const PageRow& PrinterPage() { return kPrinterPage; }

}  // namespace corv::ui
