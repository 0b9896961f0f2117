// The core driver's own option items as the UI plug-in meets them: the two items CommonUIProp
// remembers for the option-item callback, the installable options hidden on the printer sheet,
// and the callback itself, which sets bWatermarkOnEscape at apply and prepares the driver's
// document page when it becomes active.
#pragma once

#include "common/platform/oemintf.h"

namespace corv::ui {

// The callback CommonUIProp installs for the driver's document items.
LONG APIENTRY OptionItemCallback(PCPSUICBPARAM callback, POEMCUIPPARAM param);

// Items that one CommonUIProp call remembers for the callback: visible items with the page-order
// and n-up public ids; while no page-order item is known, one for the "OutputOrder" feature
// stands in. They are the driver's and valid only as long as its item list.
struct RememberedItems {
    POPTITEM pageOrder = nullptr;
    POPTITEM nup = nullptr;
};
RememberedItems FindRememberedItems(POPTITEM items, DWORD count);

// Hides the installable options of the printer sheet; returns how many items it hid.
DWORD HideInstallableOptions(POPTITEM items, DWORD count);

// The n-up list entry that stands for booklet printing when none is found by name.
inline constexpr LONG kDefaultBookletIndex = 6;

// Loads the display name of an n-up option by its string identifier; false when it cannot.
using OptionNameLoader = bool (*)(void* context, UINT id, WCHAR* buffer, int capacity);

// Index of the n-up item's entry whose name equals bookletName; kDefaultBookletIndex when the
// item is not a list box with parameters, no name is given, or no entry's name is equal.
LONG FindBookletIndex(const OPTITEM& nup, const WCHAR* bookletName, OptionNameLoader load, void* context);

// bWatermarkOnEscape as applying the sheet sets it: on for booklet, else for back-to-front order.
BOOL WatermarkOnEscapeFor(bool booklet, const OPTITEM* pageOrder);

}  // namespace corv::ui
