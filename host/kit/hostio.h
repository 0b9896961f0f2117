// The small conversions and file reads every part of corvhost reports and reads with.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace corv::host {

// Printable ASCII as it is, anything else as '?': for messages on the console.
std::string Narrow(std::wstring_view s);
// Bytes as Latin-1: the printer descriptions' texts.
std::wstring Widen(std::string_view s);
// "0x%08lX": the form corvhost reports codes and results in.
std::string Hex(unsigned long value);
// A whole file of up to 16 MiB.
bool ReadWholeFile(const std::wstring& path, std::string* text);
// An absolute path, or the path as given when it cannot be made one.
std::wstring FullPath(const std::wstring& path);

}  // namespace corv::host
