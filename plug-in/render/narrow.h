// Wide text of the record and the job for the printer: one code page per system language, so
// that the printer's panel shows Polish and Cyrillic names as the user typed them.
#pragma once

#include "common/handles.h"

#include <cstddef>

namespace corv::render {

// 28592 (ISO 8859-2) for Polish, 28595 (ISO 8859-5) for Russian, 850 for every other language.
UINT NarrowCodePage(LANGID language);

// The text (at most `capacity` units, so an unterminated array is not overrun) in the
// language's code page, in a buffer of exactly the length code page 850 measures, terminator
// included. Characters the code page lacks become its default character. Null when the
// conversion or the allocation fails.
HeapArray<char> NarrowCopy(const WCHAR* text, size_t capacity, LANGID language);

// The same conversion into a caller's buffer; false (and an empty buffer) when it does not fit
// or fails.
bool NarrowInto(char* out, size_t outCapacity, const WCHAR* text, size_t capacity, LANGID language);

}  // namespace corv::render
