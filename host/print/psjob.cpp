#include "host/print/psjob.h"

#include <cstdio>

namespace corv::host {
namespace {

std::string Num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    return buffer;
}

std::string Int(int v) { return std::to_string(v); }

// The prolog's fixed part. The short names, `;`, startpage, LH, realshowpage and finalpage are
// what the plug-in's own n-up procedures rely on; host/print/NUP-CONTRACT.md says how the pieces
// work together on a manual-duplex sheet. `;` closes the cell that startnup opened; startpage
// begins a page in it. A cell gets its frame when its page is done, so that a cell opened and
// closed again without a page stays blank. A side leaves the printer in sheetout_nup only: when
// its last cell is done (nupshowpage), when a whole page has been drawn on it, when a page is to
// be drawn whole after it, and at the end of the job. A side that n-up left with free cells stays
// until then, so that a grid that starts again on it (definenup and startnup right after
// finalpage) continues it.
constexpr char kProcedures[] = R"PS(/~ /exch load def
/! /pop load def
/@ /dup load def
/$ /index load def
/V /div load def
/R /roll load def
/N /newpath load def
/F false def
/d /def load def
/+S /scale load def
/+ /translate load def
/Lw /setlinewidth load def
/ld {load def} def
/$m [1 0 0 1 0 0] d
/cells_nup 0 d
/depth_nup 0 d
/llx_nup 0 d /lly_nup 0 d /urx_nup 0 d /ury_nup 0 d
/; {depth_nup {grestore} repeat /depth_nup 0 store} d
/cellmatrix_nup matrix d
/startpage {
  /depth_nup depth_nup 1 add store
  cellmatrix_nup currentmatrix !
  N 0 0 pagew_nup pageh_nup rectclip
  nupangle 0 ne {
    pagew_nup 2 V pageh_nup 2 V + nupangle rotate
    nupangle 180 mod 0 eq {pagew_nup pageh_nup} {pageh_nup pagew_nup} ifelse
    -2 V ~ -2 V ~ +
  } if
} d
/definenup {/LH/nupshowpage ld nupv astore ! /pgx_nup 0 store /pgy_nup 0 store} d
/startnup {
  /pgy_nup ~ store /pgx_nup ~ store
  nupv aload ! /ny_nup ~ store /nx_nup ~ store /pageh_nup ~ store /pagew_nup ~ store
  /borderlinewidth ~ store /nupangle ~ store
  gsave
  clippath pathbbox N /ury_nup ~ store /urx_nup ~ store /lly_nup ~ store /llx_nup ~ store
  urx_nup llx_nup sub papermarg_nup 2 mul sub nx_nup V pagemarg_nup sub pagew_nup V
  ury_nup lly_nup sub papermarg_nup 2 mul sub ny_nup V pagemarg_nup sub pageh_nup V
  2 copy gt {~} if ! /nups ~ store
  /paperw_nup pagew_nup pagemarg_nup nups V add store
  /paperh_nup pageh_nup pagemarg_nup nups V add store
  /xoffset llx_nup urx_nup add 2 V nx_nup paperw_nup mul pagemarg_nup nups V sub nups mul 2 V sub store
  /yoffset lly_nup ury_nup add 2 V ny_nup paperh_nup mul pagemarg_nup nups V sub nups mul 2 V sub store
  xoffset yoffset + nups @ +S
  borderlinewidth 0 gt {/borderlinewidth 0.48 nups V store borderlinewidth Lw} {/framenup F store} ifelse
  $m concat pgx_nup paperw_nup mul pgy_nup paperh_nup mul + $m matrix invertmatrix concat
  N startpage
} d
/startcell_nup /startnup load d
/sheetout_nup {showpage /cells_nup 0 store} d
/framecell_nup {
  framenup borderlinewidth 0 gt and {
    gsave cellmatrix_nup setmatrix 0 setgray borderlinewidth Lw N 0 0 pagew_nup pageh_nup rectstroke grestore
  } if
} d
/nupshowpage {; framecell_nup /cells_nup cells_nup 1 add store cells_nup persheet_nup ge {sheetout_nup} if} d
/placepage {
  depth_nup 0 gt {! !} {
    /LH load /nupshowpage load eq {startcell_nup} {
      ! ! cells_nup 0 gt {sheetout_nup} if /cells_nup persheet_nup store
    } ifelse
  } ifelse
} d
/flushnup {; cells_nup 0 gt {sheetout_nup} if} d
/bodytext {@ stringwidth ! 2 V neg 0 rmoveto show} d
)PS";

}  // namespace

bool MakeNupLayout(int perSheet, bool booklet, double w, double h, NupLayout* layout) {
    NupLayout l;
    l.booklet = booklet;
    if (booklet) perSheet = 2;
    l.perSheet = perSheet;
    switch (perSheet) {
        case 1: l.nx = 1, l.ny = 1, l.angle = 0; break;
        case 2: l.nx = 1, l.ny = 2, l.angle = 270; break;
        case 4: l.nx = 2, l.ny = 2, l.angle = 0; break;
        case 6: l.nx = 2, l.ny = 3, l.angle = 270; break;
        case 9: l.nx = 3, l.ny = 3, l.angle = 0; break;
        case 16: l.nx = 4, l.ny = 4, l.angle = 0; break;
        default: return false;
    }
    l.cellWidth = l.angle ? h : w;
    l.cellHeight = l.angle ? w : h;
    *layout = l;
    return true;
}

Cell CellOnSheet(const NupLayout& l, int index) {
    index %= l.perSheet;
    if (l.angle) return {l.nx - 1 - index / l.ny, l.ny - 1 - index % l.ny};
    return {index % l.nx, l.ny - 1 - index / l.nx};
}

std::vector<int> BookletOrder(int pages) {
    std::vector<int> order;
    if (pages <= 0) return order;
    int padded = (pages + 3) / 4 * 4;
    auto page = [&](int p) { return p <= pages ? p : 0; };
    for (int s = 0; s < padded / 4; ++s) {
        order.push_back(page(padded - 2 * s));  // front side: last, first
        order.push_back(page(1 + 2 * s));
        order.push_back(page(2 + 2 * s));  // back side: second, second to last
        order.push_back(page(padded - 1 - 2 * s));
    }
    return order;
}

std::string PsString(std::string_view text) {
    std::string out = "(";
    for (unsigned char c : text) {
        if (c == '(' || c == ')' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 32 || c > 126) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    out.push_back(')');
    return out;
}

std::string DocumentComments(const JobLayout& job, std::string_view creationDate) {
    std::string out;
    out += "%%Title: " + job.title + "\n";
    out += "%%Creator: corvhost\n";
    out += "%%CreationDate: " + std::string(creationDate) + "\n";
    out += "%%DocumentData: Clean7Bit\n";
    out += "%%LanguageLevel: 2\n";
    return out;
}

std::string PagesComment(int pages) { return "%%Pages: " + Int(pages) + "\n"; }

std::string BoundingBoxComment(const PaperSize& paper) {
    return "%%BoundingBox: 0 0 " + Int(static_cast<int>(paper.width + 0.5)) + " " +
           Int(static_cast<int>(paper.height + 0.5)) + "\n";
}

std::string Prolog(const JobLayout& job) {
    const NupLayout& n = job.nup;
    const double w = job.paper.width, h = job.paper.height;
    const double border = n.perSheet > 1 ? job.borderLineWidth : 0;
    std::string out = "%%BeginResource: procset CorvaneHost 1.0 0\n";
    out += kProcedures;
    // The n-up state with the job's own layout, so that a page begun before any definenup still
    // finds a whole vector.
    out += "/pgx_nup 0 d /pgy_nup 0 d /papermarg_nup 18 d /pagemarg_nup 12 d\n";
    out += "/nups 1 d /paperw_nup " + Num(w) + " d /paperh_nup " + Num(h) + " d /xoffset 0 d /yoffset 0 d\n";
    out += "/nx_nup " + Int(n.nx) + " d /ny_nup " + Int(n.ny) + " d /pagew_nup " + Num(n.cellWidth) +
           " d /pageh_nup " + Num(n.cellHeight) + " d\n";
    out += "/borderlinewidth " + Num(border) + " d /nupangle " + Int(n.angle) + " d /framenup true d\n";
    out += "/nupv [" + Int(n.angle) + " " + Num(border) + " " + Num(n.cellWidth) + " " + Num(n.cellHeight) + " " +
           Int(n.nx) + " " + Int(n.ny) + "] d\n";
    out += "/persheet_nup " + Int(n.perSheet) + " d\n";
    if (n.perSheet > 1) {
        // Only an n-up job has the real showpage apart: the plug-in asks userdict for it.
        out += "userdict /realshowpage {; cells_nup persheet_nup ge {sheetout_nup} if} put\n";
        out += "/finalpage {; realshowpage /LH /realshowpage ld} d\n";
        out += "/LH /nupshowpage ld\n";
    } else {
        out += "/finalpage {} d\n";
        out += "/LH /showpage ld\n";
    }
    out += "%%EndResource\n";
    return out;
}

std::string FeatureCode(std::string_view feature, std::string_view option, std::string_view code) {
    std::string out = "[{\n%%BeginFeature: *" + std::string(feature) + " " + std::string(option) + "\n";
    out += code;
    if (!code.empty() && code.back() != '\n') out.push_back('\n');
    out += "%%EndFeature\n} stopped cleartomark\n";
    return out;
}

std::string CopiesCode(int copies) {
    return "[{\n<</NumCopies " + Int(copies) + ">> setpagedevice\n} stopped cleartomark\n";
}

std::string PageSetup(const JobLayout& job, int index) {
    const NupLayout& n = job.nup;
    if (n.perSheet < 2) return {};
    Cell c = CellOnSheet(n, index);
    const std::string cell = Int(c.x) + " " + Int(c.y);
    // A page's cell is set up from the sheet, never inside a cell left open before it. The grid is
    // given on the first page of each sheet only; placepage draws the page where it belongs even
    // when the n-up calls before it were turned off.
    std::string out = "; ";
    if (index % n.perSheet == 0)
        out += Int(n.angle) + " " + Num(job.borderLineWidth) + " " + Num(n.cellWidth) + " " + Num(n.cellHeight) + " " +
               Int(n.nx) + " " + Int(n.ny) + " definenup ";
    return out + cell + " startnup " + cell + " placepage\n";
}

std::string PageBody(const JobLayout& job, int page) {
    if (page <= 0) return "% blank page\n";
    const double w = job.paper.width, h = job.paper.height;
    const char* ink = job.color ? "0 0.3 0.7 setrgbcolor" : "0 setgray";
    const char* number = job.color ? "0.7 0.1 0.1 setrgbcolor" : "0.25 setgray";
    std::string out = "gsave\n";
    out += std::string(ink) + " 3 Lw N 36 36 " + Num(w - 72) + " " + Num(h - 72) + " rectstroke\n";
    // A bar in the top left corner shows which way up the page lies.
    out += "N 36 " + Num(h - 96) + " " + Num((w - 72) / 3) + " 60 rectfill\n";
    out += std::string(number) + " /Helvetica-Bold findfont 288 scalefont setfont\n";
    out += Num(w / 2) + " " + Num(h / 2 - 100) + " moveto " + PsString(Int(page)) + " bodytext\n";
    out += "0 setgray /Helvetica findfont 14 scalefont setfont\n";
    out += Num(w / 2) + " 54 moveto " +
           PsString(job.title + " - page " + Int(page) + " of " + Int(job.pages)) + " bodytext\n";
    out += "grestore\n";
    return out;
}

std::string TrailerCode(const JobLayout& job) { return job.nup.perSheet > 1 ? "flushnup\n" : std::string(); }

}  // namespace corv::host
