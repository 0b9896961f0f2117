// What both property sheets are built from: the sheet context taken from the driver's heap and
// given back to it, the pages of the page table added through the driver's sheet function, and
// the printer's features asked of the core driver.
#pragma once

#include "plug-in/inboxui/core/pagetable.h"
#include "plug-in/inboxui/core/sheetcontext.h"

namespace corv::ui {

// A zero-filled sheet context from the driver's plug-in heap; null without a heap or memory.
SheetContext* NewSheetContext(HANDLE heap);

// Gives the context and its help file path back to the heap they were taken from.
void FreeSheetContext(SheetContext* context, HANDLE heap);

// The heap named by the context's driver page parameters; null when it has none.
HANDLE SheetContextHeap(const SheetContext* context);

// What both kinds of sheet fill at their initialisation: sheet handle and function, the driver's
// page parameters, core driver interface, owning object, and the help file path (found once).
void FillSheetContext(SheetContext* context, const PROPSHEETUI_INFO& info, POEMUIPSPARAM pageParams,
                      IPrintCoreUI2* core, UiPlugin* owner);

// The core driver's answers for "FaxCard", "HasPrintandHold" and "HasManualColorCorrection".
PrinterFeatures AskPrinterFeatures(IPrintCoreUI2* core, POEMUIOBJ object);

// Adds the pages, in order, each with the context as its parameter; returns what the sheet
// function answered for the last one (0 without a sheet function).
LONG_PTR AddPages(const PROPSHEETUI_INFO& info, const PageList& pages, SheetContext* context);

// The reasons both sheets answer alike (header, result, icon); false for any other reason.
bool AnswerCommonReason(PPROPSHEETUI_INFO info, LPARAM lParam);

}  // namespace corv::ui
