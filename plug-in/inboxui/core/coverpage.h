// The fax cover page: one more page at the end of a fax job, drawn on the printer's device context,
// with the PostScript that marks it as the cover page and stamps the number of pages that follow.
#pragma once

#include "common/record.h"

#include <windows.h>

namespace corv::ui {

BOOL DrawFaxCoverPage(HDC dc, HANDLE printer, const corv::JobSettings* record, const DEVMODEW* devmode,
                      LONG pageCount);

}  // namespace corv::ui
