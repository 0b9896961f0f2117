// The typing rules of the Create/Edit Watermark dialog's fields, and the repairs a stored record
// gets before the dialog shows it, as plain functions over texts and numbers.
#pragma once

#include "common/record.h"

#include <windows.h>

namespace corv::ui {

// Intensity: the first 3 characters, digits only, 1 to 100.
bool AcceptIntensityText(const WCHAR* text, WORD* value);
// Angle: the first 4 characters, digits with at most one '-' in front and more than that '-'
// alone, -180 to 180.
bool AcceptAngleText(const WCHAR* text, int* value);
// Size: the first 4 characters, digits only, 1 to 500; an empty field is refused.
bool AcceptSizeText(const WCHAR* text, LONG* value);

// At least one character that is not white space.
bool HasVisibleText(const WCHAR* text);
// Drops the space characters at the end.
void TrimTrailingSpaces(WCHAR* text);
// dwStyle from the Bold and Italics boxes: 0 regular, 1 italic, 2 bold, 3 bold italic.
DWORD StyleOf(bool bold, bool italic);

// What the dialog opens on must pass the dialog's own typing rules, or restoring the last valid
// value would restore a value that is refused again: intensity outside 1 to 100 becomes 100, size
// outside 1 to 500 becomes 72, angle outside -180 to 180 becomes 0.
void RepairForEditing(WatermarkRecord* record);

// The device context driver name for a printer's fonts: the configuration file's name without
// its folder and extension, or "PS5UI" when there is none or it has no extension.
void ConfigModuleBaseName(const WCHAR* configFile, WCHAR* out, size_t capacity);

}  // namespace corv::ui
