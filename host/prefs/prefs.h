// `corvhost prefs`: the printing-preferences sheet of the UI plug-in, opened the way the core
// driver opens it. corvhost loads the plug-in through its exports, publishes its IPrintCoreUI2,
// asks for the private DEVMODE, hands its own document options to CommonUIProp and shows the
// sheet through the common property sheet UI (compstui's CommonPropertySheetUIW), with a sheet
// function of its own that adds the driver's option page and calls the plug-in's
// DocumentPropertySheets for each reason.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace corv::host {

struct PrefsOptions {
    std::wstring driver;      // the package the printer's driver is installed from; empty: driver\ beside corvhost.exe
    std::wstring plugin;      // empty: the UI plug-in the package's plug-in configuration file names
    std::wstring ppd;         // empty: the data file of the package's first model
    std::wstring screenshot;  // a PNG of the sheet once it has painted; then the sheet closes
    std::wstring page;        // the title of the page to picture; empty: the last
    // Controls to click, the first on that page and each next one in the dialog the one before
    // opened; the last dialog opened is pictured instead of the page.
    std::vector<int> presses;
    bool autoClose = false;   // press Apply, then OK, once the sheet is shown
    bool askHelp = false;     // show the last page (About) and ask it for help, as its Help button would
    bool trace = false;
    bool help = false;
    std::vector<std::wstring> settings;  // --set FIELD=VALUE, put into the driver's record before the sheet
    // This user's preferences (userprefs.h): the sheet opens on them unless ignorePrefs; a sheet
    // closed with OK by a person or by a script keeps what it returns; reset forgets them.
    std::wstring script;  // steps played against the sheet, then OK (script.h)
    bool ignorePrefs = false;
    bool reset = false;
};

bool ParsePrefsOptions(int argc, const wchar_t* const* argv, PrefsOptions* options, std::string* error);
std::string PrefsUsageText();

// argv[0] is "prefs". Exit codes as for a job: 0, 1 (the sheet could not be shown), 2 (bad
// options or printer description), 3 (the plug-in broke a rule of the interfaces).
int RunPrefs(int argc, wchar_t** argv);

}  // namespace corv::host
