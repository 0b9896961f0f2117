// The two graphics-engine functions the plug-in hooks: start of document and escape.
#pragma once

#include "common/platform/oemintf.h"

namespace corv::render {

inline constexpr ULONG kHookCount = 2;
inline constexpr ULONG kEngineVersion = DDI_DRIVER_VERSION_NT5_01;  // 0x00030100

// Fills a table of kHookCount entries with the plug-in's hooks.
void FillHookTable(DRVFN* table);

// The hooked DrvStartDoc. dhpdev of the surface is the core driver's device object.
BOOL APIENTRY HookStartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId);

}  // namespace corv::render
