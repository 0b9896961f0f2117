#include "host/standins/devcaps.h"

#include <windows.h>

#include <cmath>

namespace corv::host {
namespace {

int Dots(double points, int dpi) { return static_cast<int>(std::lround(points * dpi / 72.0)); }

}  // namespace

PrinterCaps CapsForPaper(const PaperSize& paper, int dpi) {
    PrinterCaps c;
    c.dpi = dpi > 0 ? dpi : 600;
    c.physicalWidth = Dots(paper.width, c.dpi);
    c.physicalHeight = Dots(paper.height, c.dpi);
    const bool hasArea = paper.right > paper.left && paper.top > paper.bottom;
    // PostScript measures the imageable area from the bottom left, the device from the top left.
    const double left = hasArea ? paper.left : 0, right = hasArea ? paper.right : paper.width;
    const double top = hasArea ? paper.top : paper.height, bottom = hasArea ? paper.bottom : 0;
    c.offsetX = Dots(left, c.dpi);
    c.offsetY = Dots(paper.height - top, c.dpi);
    c.horzRes = Dots(right, c.dpi) - c.offsetX;
    c.vertRes = Dots(paper.height - bottom, c.dpi) - c.offsetY;
    c.horzSize = static_cast<int>(std::lround((right - left) * 25.4 / 72.0));
    c.vertSize = static_cast<int>(std::lround((top - bottom) * 25.4 / 72.0));
    return c;
}

bool AnswerDeviceCaps(const PrinterCaps& c, int index, int* value) {
    switch (index) {
        case TECHNOLOGY: *value = DT_RASPRINTER; return true;
        case PHYSICALWIDTH: *value = c.physicalWidth; return true;
        case PHYSICALHEIGHT: *value = c.physicalHeight; return true;
        case PHYSICALOFFSETX: *value = c.offsetX; return true;
        case PHYSICALOFFSETY: *value = c.offsetY; return true;
        case HORZRES: *value = c.horzRes; return true;
        case VERTRES: *value = c.vertRes; return true;
        case HORZSIZE: *value = c.horzSize; return true;
        case VERTSIZE: *value = c.vertSize; return true;
        case LOGPIXELSX:
        case LOGPIXELSY: *value = c.dpi; return true;
        default: return false;
    }
}

}  // namespace corv::host
