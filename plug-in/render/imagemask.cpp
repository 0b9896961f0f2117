#include "plug-in/render/imagemask.h"

#include <cstring>

namespace corv::render {
namespace {

constexpr DWORD kMinimumSize = 50;
constexpr DWORD kTailWindow = 50;  // the closing text is looked for within the last 50 bytes
constexpr char kClosing[] = "] ds imagemask grestore} for pop} forGSE";
constexpr DWORD kClosingLength = sizeof kClosing - 1;
static_assert(kClosingLength == 40);

constexpr char kSwitchOn[] =
    "4072958316 internaldict /SetSpecialImagemaskFlag known "
    "{4072958316 internaldict /SetSpecialImagemaskFlag get 1 exch exec}if";
constexpr char kSwitchOff[] =
    "4072958316 internaldict /SetSpecialImagemaskFlag known "
    "{4072958316 internaldict /SetSpecialImagemaskFlag get 0 exch exec}if";
static_assert(sizeof kSwitchOn == sizeof kSwitchOff);
// A switch buffer is as long as the application's and holds the count, so the text must fit in
// the smallest buffer that gets one.
static_assert(2 + sizeof kSwitchOn - 1 <= kImageMaskBracketMin);

bool StartsWith(const BYTE* data, DWORD size, const char* prefix) {
    DWORD length = static_cast<DWORD>(std::strlen(prefix));
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

// The opening is chosen by the data's first character.
bool HasOpening(const BYTE* data, DWORD size) {
    if (size == 0) return false;
    switch (data[0]) {
    case '/': return StartsWith(data, size, "/languagelevel");
    case '0': return StartsWith(data, size, "0 GpPBeg");
    case 'G': return StartsWith(data, size, "GpPBeg1");
    case 'u': return StartsWith(data, size, "userdict /GpPBeg");
    default: return false;
    }
}

// From position p on, line breaks left out, the bytes read the closing text; running out of
// buffer before a mismatch counts as a match.
bool ClosingMatchesAt(const BYTE* buffer, DWORD size, DWORD p) {
    DWORD matched = 0;
    for (DWORD i = p; i < size && matched < kClosingLength; ++i) {
        BYTE c = buffer[i];
        if (c == '\r' || c == '\n') continue;
        if (c != static_cast<BYTE>(kClosing[matched])) return false;
        ++matched;
    }
    return true;
}

}  // namespace

bool IsSpecialImageMask(const BYTE* buffer, DWORD size) {
    if (!buffer || size < kMinimumSize) return false;
    if (!HasOpening(buffer + 2, size - 2)) return false;
    // A ']' in the last 50 bytes with at least 40 bytes from it to the end; the count is not data.
    DWORD first = size - kTailWindow < 2 ? 2 : size - kTailWindow;
    for (DWORD p = first; p + kClosingLength <= size; ++p)
        if (buffer[p] == ']' && ClosingMatchesAt(buffer, size, p)) return true;
    return false;
}

WORD ImageMaskSwitchCount(const BYTE* buffer, DWORD size) {
    if (!buffer || size < 2) return 0;
    WORD count = static_cast<WORD>(buffer[0] | (buffer[1] << 8));
    DWORD room = size - 2;
    return count > room ? static_cast<WORD>(room > 0xFFFF ? 0xFFFF : room) : count;
}

void FillImageMaskSwitch(BYTE* out, DWORD size, WORD count, bool enable) {
    if (!out || size == 0) return;
    std::memset(out, 0, size);
    if (size < 2) return;
    out[0] = static_cast<BYTE>(count & 0xFF);
    out[1] = static_cast<BYTE>(count >> 8);
    const char* text = enable ? kSwitchOn : kSwitchOff;
    DWORD length = static_cast<DWORD>(sizeof kSwitchOn - 1);
    if (length > size - 2) length = size - 2;
    std::memcpy(out + 2, text, length);
}

}  // namespace corv::render
