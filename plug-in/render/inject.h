// PostScript the rendering plug-in adds at the core driver's injection points.
#pragma once

#include "common/platform/oemintf.h"

namespace corv::render {

// 0 (S_OK) when the point is handled, also when nothing needed writing; E_NOTIMPL for a point the
// plug-in does not inject at; E_FAIL when the device, helper, record or job state is missing.
HRESULT HandleInjection(PDEVOBJ device, IPrintCorePS2* helper, DWORD point);

}  // namespace corv::render
