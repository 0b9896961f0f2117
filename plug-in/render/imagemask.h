// Application passthrough data that draws one kind of image mask must be bracketed by a printer
// switch. A passthrough buffer is a 2-byte count followed by that many bytes of data.
#pragma once

#include "common/platform/oemintf.h"

namespace corv::render {

// True when the buffer (size bytes in all, count included) is such an image mask. Never reads
// past size, whatever the count claims.
bool IsSpecialImageMask(const BYTE* buffer, DWORD size);

// Fills out[0..size) as the switch buffer that goes before (enable) or after (!enable) such a
// buffer: the count, the switch text, NUL padding. size is the application buffer's size; the
// switch is only sent for buffers longer than 127 bytes. A text that does not fit is cut.
void FillImageMaskSwitch(BYTE* out, DWORD size, WORD count, bool enable);

// The count a switch buffer carries: the application's, but never more data than the buffer
// holds, so the core driver cannot read past a switch buffer on an application's lying count.
WORD ImageMaskSwitchCount(const BYTE* buffer, DWORD size);

inline constexpr DWORD kImageMaskBracketMin = 128;

}  // namespace corv::render
