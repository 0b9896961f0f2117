#include "plug-in/render/narrow.h"

#include "common/text.h"

namespace corv::render {
namespace {

// The code page every length is measured in, whatever the language.
constexpr UINT kMeasureCodePage = 850;

// Bytes needed for the text without its terminator; 0 for empty text, -1 on failure.
int MeasuredLength(const WCHAR* text, int units) {
    if (units == 0) return 0;
    int n = WideCharToMultiByte(kMeasureCodePage, 0, text, units, nullptr, 0, nullptr, nullptr);
    return n > 0 ? n : -1;
}

}  // namespace

UINT NarrowCodePage(LANGID language) {
    switch (language) {
    case 1045: return 28592;
    case 1049: return 28595;
    default: return 850;
    }
}

bool NarrowInto(char* out, size_t outCapacity, const WCHAR* text, size_t capacity, LANGID language) {
    if (!out || outCapacity == 0) return false;
    out[0] = 0;
    if (!text) return false;
    int units = static_cast<int>(BoundedLength(text, capacity));
    if (units == 0) return true;
    int room = static_cast<int>(outCapacity - 1);
    int n = WideCharToMultiByte(NarrowCodePage(language), 0, text, units, out, room, nullptr, nullptr);
    if (n <= 0) {
        out[0] = 0;
        return false;
    }
    out[n] = 0;
    return true;
}

HeapArray<char> NarrowCopy(const WCHAR* text, size_t capacity, LANGID language) {
    int units = text ? static_cast<int>(BoundedLength(text, capacity)) : 0;
    int measured = text ? MeasuredLength(text, units) : -1;
    if (measured < 0) return HeapArray<char>(0);
    HeapArray<char> buffer(static_cast<size_t>(measured) + 1);
    if (buffer && !NarrowInto(buffer.get(), static_cast<size_t>(measured) + 1, text, capacity, language))
        return HeapArray<char>(0);
    return buffer;
}

}  // namespace corv::render
