// What a printer device context of the job reports about itself, worked out from the printer
// description: the sheet and its imageable area of the chosen *PageSize, at the job's
// resolution. Wine has no printer DCs, so corvhost answers GetDeviceCaps from this. Pure.
#pragma once

#include "host/kit/ppd.h"

namespace corv::host {

struct PrinterCaps {
    int dpi = 600;
    int physicalWidth = 0, physicalHeight = 0;  // the whole sheet, device units
    int offsetX = 0, offsetY = 0;               // the imageable area's top left corner on the sheet
    int horzRes = 0, vertRes = 0;               // the imageable area, device units
    int horzSize = 0, vertSize = 0;             // the imageable area, millimetres
};

// A paper without an imageable area (all zero) is imageable to its edges.
PrinterCaps CapsForPaper(const PaperSize& paper, int dpi);

// The answer of GetDeviceCaps for the indexes in which a printer differs from the screen; false
// for every other index, which the real function answers.
bool AnswerDeviceCaps(const PrinterCaps& caps, int index, int* value);

}  // namespace corv::host
