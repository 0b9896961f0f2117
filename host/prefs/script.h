// `corvhost prefs --script FILE`: steps played against the real sheet, one a timer tick, then OK.
// The text format, one step a line (blank lines and lines starting with # are left out):
//
//   page TITLE          show the page of that title (the tab's text)
//   set ID VALUE        an edit field: VALUE typed key by key, so the field's limit applies;
//                       a combo or list box: the item whose text is VALUE selected;
//                       a check box or radio button: VALUE 1 checks, 0 clears, as a click would
//   press ID            click the button (its dialog, if it opens one, runs in its own loop)
//   answer ANSWER       answer the message box that is open: yes, no, ok or cancel
//
// Controls are those of the window in front: a dialog a button opened, or else the page shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace corv::host {

struct ScriptStep {
    enum class Kind { Page, Set, Press, Answer };
    Kind kind;
    int line;            // 1-based, for the report of a failing step
    int control = 0;     // Set, Press
    int answer = 0;      // Answer: IDYES, IDNO, IDOK or IDCANCEL
    std::wstring text;   // Page: the title; Set: the value
};

// False with "line N: why" for the first line that is not a step.
bool ParseScript(const std::wstring& text, std::vector<ScriptStep>* steps, std::string* error);

// Plays the steps on the sheet: Tick() from a timer inside whatever modal loop runs. A step that
// waits for a window (answer) gives it a few seconds. Done once every step ran or one failed.
class ScriptPlayer {
public:
    explicit ScriptPlayer(std::vector<ScriptStep> steps) : steps_(std::move(steps)) {}

    // One step on the sheet (or on the dialog in front of it); true once the script has ended.
    bool Tick(HWND sheet);
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    const std::vector<std::string>& log() const { return log_; }

private:
    bool Fail(const ScriptStep& step, const std::string& why);
    bool Run(HWND sheet, const ScriptStep& step);

    std::vector<ScriptStep> steps_;
    size_t next_ = 0;
    int waited_ = 0;
    std::string error_;
    std::vector<std::string> log_;
};

// The sheet's tab texts, in order: the pages' titles.
std::vector<std::wstring> SheetTabs(HWND sheet);

// The window the user faces: an enabled, visible window of this thread that a modal loop has put
// before the sheet (a dialog or a message box), or null when the sheet itself is in front.
HWND WindowInFront(HWND sheet);

}  // namespace corv::host
