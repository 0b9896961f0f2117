// The state one property sheet's pages and dialogs share. The plug-in object takes it zero-filled
// from the driver's heap, every page keeps it as its window data and hands it, unchanged, to the
// dialogs it opens; pages meet only here, above all in the working copy of the job settings.
#pragma once

#include "common/platform/oemintf.h"
#include "common/record.h"

#include <cstddef>

namespace corv::ui {

class UiPlugin;

// The cover page part of the fax record (from szSenderName to the end), edited as one block.
struct CoverPageBlock {
    WCHAR szSenderName[128];
    WCHAR szSenderCompany[128];
    WCHAR szSenderAddress[256];
    WCHAR szReserved[256];
    WCHAR szSenderFax[64];
    WCHAR szSenderVoice[64];
    WCHAR szSenderEmail[64];
    WCHAR szComments[1024];
    DWORD dwCoverParts;
};

// The thirteen colour fields of the job settings record, in the record's order.
struct ColorBlock {
    DWORD dwColorCorrection;
    DWORD dwRgbImage;
    DWORD dwRgbText;
    DWORD dwRgbGraphics;
    DWORD dwCmykImage;
    DWORD dwCmykText;
    DWORD dwCmykGraphics;
    DWORD bColorBalance;
    LONG lBalanceCyan;
    LONG lBalanceMagenta;
    LONG lBalanceYellow;
    LONG lBalanceBlack;
    DWORD dwPallidor;
};

// Where the watermark being edited stands, carried between the Create/Edit and Position dialogs.
struct WorkingPosition {
    double dblOffsetY;
    double dblOffsetX;
    BYTE bInches;
    DWORD dwPosition;
};

// The Position dialog's last accepted offsets and the units they were typed in.
struct AcceptedOffsets {
    double dblVertical;
    double dblHorizontal;
    DWORD bMillimetres;
};

struct SheetContext {
    HANDLE sheet;                     // the driver's hComPropSheet
    POEMUIPSPARAM pageParams;         // printer, heap, the driver's DEVMODE and record, flags
    PFNCOMPROPSHEET sheetFunction;    // the driver's pfnComPropSheet
    IPrintCoreUI2* core;              // not an own reference
    UiPlugin* owner;                  // the object that created the context
    CoverPageBlock coverBlock;        // Output Options: the cover page being edited
    double lastValidAngle;            // Create/Edit dialog: last accepted field contents
    WORD lastValidIntensity;
    LONG lastValidSize;
    FaxRecord persistedFax;           // receives the stored FaxInfo value
    WatermarkRecord dialogRecord;     // the watermark being created or edited
    DWORD addMode;                    // 1 = the Create/Edit dialog creates, 0 = it edits
    WCHAR pickedName[128];            // chosen in "Select a Watermark to Edit"
    DWORD noPermission;               // 1 = every page disables all its controls
    DWORD shownOrder;                 // the watermark order the Watermark page shows
    WCHAR* helpFile;                  // from the driver's heap; null when there is none
    DWORD applied;                    // colour pages, Profiles page or option callback applied
    ColorBlock colorScratch;          // the colour block being edited
    WorkingPosition position;         // working position of the watermark being edited
    AcceptedOffsets lastOffsets;
    WCHAR newProfileName[128];        // typed in a profile name dialog
    WCHAR oldProfileName[128];        // the profile being renamed or overwritten
    JobSettings working;              // the settings every page edits
    POPTITEM driverItems;             // the core driver's own document options
    DWORD driverItemCount;
    DWORD pluginItemCount;            // cOEMOptItems as the driver reports it
    DWORD dialogResult;               // 1 = OK, 2 = Cancel of the last name or variables dialog
    WCHAR dynamicText[128];           // the text handed to and from the variables dialog
};

static_assert(sizeof(CoverPageBlock) == kCoverBlockSize);
static_assert(offsetof(CoverPageBlock, szSenderCompany) == offsetof(FaxRecord, szSenderCompany) - kCoverBlockOffset);
static_assert(offsetof(CoverPageBlock, szSenderAddress) == offsetof(FaxRecord, szSenderAddress) - kCoverBlockOffset);
static_assert(offsetof(CoverPageBlock, szReserved) == offsetof(FaxRecord, szReserved) - kCoverBlockOffset);
static_assert(offsetof(CoverPageBlock, szSenderFax) == offsetof(FaxRecord, szSenderFax) - kCoverBlockOffset);
static_assert(offsetof(CoverPageBlock, szSenderVoice) == offsetof(FaxRecord, szSenderVoice) - kCoverBlockOffset);
static_assert(offsetof(CoverPageBlock, szSenderEmail) == offsetof(FaxRecord, szSenderEmail) - kCoverBlockOffset);
static_assert(offsetof(CoverPageBlock, szComments) == offsetof(FaxRecord, szComments) - kCoverBlockOffset);
static_assert(offsetof(CoverPageBlock, dwCoverParts) == offsetof(FaxRecord, dwCoverParts) - kCoverBlockOffset);
static_assert(sizeof(ColorBlock) == kColorBlockSize);
static_assert(offsetof(ColorBlock, lBalanceCyan) == offsetof(JobSettings, lBalanceCyan) - kColorBlockOffset);
static_assert(offsetof(ColorBlock, dwPallidor) == offsetof(JobSettings, dwPallidor) - kColorBlockOffset);

static_assert(sizeof(SheetContext::coverBlock) == 3972);
static_assert(sizeof(SheetContext::persistedFax) == 4748);
static_assert(sizeof(SheetContext::dialogRecord) == 704);
static_assert(sizeof(SheetContext::colorScratch) == 13 * 4);
static_assert(sizeof(SheetContext::working) == 7672);
static_assert(sizeof(SheetContext::dynamicText) / sizeof(WCHAR) == 128);
static_assert(sizeof(SheetContext::pickedName) / sizeof(WCHAR) == 128);
static_assert(sizeof(SheetContext::newProfileName) / sizeof(WCHAR) == 128);
static_assert(sizeof(SheetContext::oldProfileName) / sizeof(WCHAR) == 128);

}  // namespace corv::ui
