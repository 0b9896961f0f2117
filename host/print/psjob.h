// The PostScript the stand-in core driver writes around the plug-in's injections: its DSC
// comments, its prolog (with the names the plug-in's n-up procedures rely on), the setup, a
// visible body per page and the n-up calls of each page. Pure text functions.
//
// The n-up contract with the plug-in, in short (host/print/NUP-CONTRACT.md has it whole): the
// first page of each sheet calls definenup, every page startnup and then placepage, which draws
// the page in its cell even when the plug-in turned the calls before it off; a side leaves in
// nupshowpage when its last cell is done, in realshowpage when a whole page is on it, before a
// page drawn whole, and at the end of the job, but never in finalpage alone.
#pragma once

#include "host/kit/ppd.h"

#include <string>
#include <string_view>
#include <vector>

namespace corv::host {

// How pages sit on a sheet. The cell box is given in the sheet's orientation; a page turned by
// `angle` (0 or 270, clockwise for 270) fills it. Cells are counted in reading order: for
// turned pages, reading starts at the top of the rightmost column, as the sheet is read turned.
struct NupLayout {
    int perSheet = 1;
    int nx = 1, ny = 1;
    int angle = 0;
    double cellWidth = 0, cellHeight = 0;  // in page units, before scaling into the sheet
    bool booklet = false;
};

// Layouts for 1, 2, 4, 6, 9 and 16 pages per sheet; false for any other count. A booklet is laid
// out two up.
bool MakeNupLayout(int perSheet, bool booklet, double pageWidth, double pageHeight, NupLayout* layout);

struct Cell {
    int x, y;  // column from the left, row from the bottom
};
Cell CellOnSheet(const NupLayout& layout, int index);

// The pages of a booklet in the order they are laid out, two per sheet side; 0 is a blank page
// that fills the last sheet.
std::vector<int> BookletOrder(int pages);

// A PostScript string literal: parentheses, backslashes and bytes outside printable ASCII escaped.
std::string PsString(std::string_view text);

struct JobLayout {
    std::string title;  // printable text
    int pages = 1;
    int copies = 1;
    PaperSize paper;
    NupLayout nup;
    bool color = true;
    double borderLineWidth = 1;  // the n-up cell frame; 0 draws none
};

std::string DocumentComments(const JobLayout& job, std::string_view creationDate);
std::string PagesComment(int pages);
std::string BoundingBoxComment(const PaperSize& paper);
std::string Prolog(const JobLayout& job);
// One feature's invocation, wrapped so that a printer without it carries on.
std::string FeatureCode(std::string_view feature, std::string_view option, std::string_view code);
std::string CopiesCode(int copies);
// The n-up calls of the page at `index` of the job's output (empty for one page per sheet): the
// grid on the first page of each sheet, the cell on every page.
std::string PageSetup(const JobLayout& job, int index);
// The page's visible content; page 0 is a blank page of a booklet.
std::string PageBody(const JobLayout& job, int page);
std::string TrailerCode(const JobLayout& job);

}  // namespace corv::host
