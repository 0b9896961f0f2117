// A modeless property sheet for page tests, shown the way the common property sheet UI shows the
// plug-in's pages. Pages come from page rows with a sheet context, from the plug-in's own sheet
// function calls (Function() stands in for the driver's pfnComPropSheet), or as a blank page to
// leave to. Show() opens the sheet on the first page; select() moves between pages with
// PSM_SETCURSEL (PSN_KILLACTIVE to the page left, PSN_SETACTIVE to the page entered), apply()
// presses Apply (PSM_APPLY), help() the Help button.
//
//     corvtest::SheetHost host;
//     host.Add(row, &context);
//     HWND page = host.ShowWithBlankPage();
//     ASSERT_TRUE(page);
//     EXPECT_TRUE(host.select(1));   // leave the page
//     EXPECT_TRUE(host.apply());
#pragma once

#include "plug-in/inboxui/core/pagetable.h"
#include "plug-in/inboxui/core/sheetcontext.h"

#include <windows.h>
#include <prsht.h>

#include <vector>

namespace corvtest {

// The document sheet's row of that template; a row without procedure when there is none.
const corv::ui::PageRow& DocumentRow(WORD templateId);

class SheetHost {
public:
    SheetHost();
    ~SheetHost();
    SheetHost(const SheetHost&) = delete;
    SheetHost& operator=(const SheetHost&) = delete;

    // A page of the module's resources, as the plug-in adds it: PSP_HASHELP, the context as lParam.
    void Add(const corv::ui::PageRow& row, corv::ui::SheetContext* context, HINSTANCE module = nullptr);
    void AddBlankPage();
    size_t pageCount() const { return pages_.size(); }

    // The driver's sheet function: CPSFUNC_ADD_PROPSHEETPAGEW adds the page to this host; every
    // other function answers 0. Hand handle() with it as hComPropSheet.
    static LONG_PTR CALLBACK Function(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2);
    HANDLE handle() { return reinterpret_cast<HANDLE>(this); }
    // A PROPSHEETUI_INFO of this reason whose sheet function adds pages here.
    PROPSHEETUI_INFO Info(ULONG reason, LPARAM lParamInit = 0);

    // Opens the modeless sheet on page 0; false when the property sheet could not be made.
    bool Show();
    // How a page is tested on its own: a blank page after it to leave to, the sheet opened on it.
    // The page's window; null when the sheet could not be made.
    HWND ShowWithBlankPage();
    HWND sheet() const { return sheet_; }
    // The page's window; a page is made when it is first shown.
    HWND page(int index) const;
    HWND current() const;
    int currentIndex() const;

    // False when the page being left refused (PSN_KILLACTIVE answered TRUE).
    bool select(int index);
    // False when a page refused to be left or applied.
    bool apply();
    // The Help button: PSN_HELP to the current page.
    void help();
    // Sends WM_NOTIFY with a page notification to the current page and returns its DWLP_MSGRESULT.
    LONG_PTR notify(UINT code);
    // Handles the messages waiting on this thread.
    static void Pump();

private:
    std::vector<PROPSHEETPAGEW> pages_;
    std::vector<std::vector<WORD>> blankTemplates_;
    HWND sheet_ = nullptr;
};

// Counts the frame repaints (WM_NCPAINT with wParam 1) a window is sent while the object lives:
// what a page sends the sheet after it sets or clears the context-help button.
class FrameRepaints {
public:
    explicit FrameRepaints(HWND window);
    ~FrameRepaints();
    FrameRepaints(const FrameRepaints&) = delete;
    FrameRepaints& operator=(const FrameRepaints&) = delete;
    int count() const { return count_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    HWND window_;
    int count_ = 0;
};

// Counts the PSM_CHANGED messages a property sheet is sent while the object lives: a page
// marking the sheet changed, so that Apply lights.
class SheetChanges {
public:
    explicit SheetChanges(HWND sheet);
    ~SheetChanges();
    SheetChanges(const SheetChanges&) = delete;
    SheetChanges& operator=(const SheetChanges&) = delete;
    int count() const { return count_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    HWND sheet_;
    int count_ = 0;
};

}  // namespace corvtest
