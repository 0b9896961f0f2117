// The n-up start procedure that the show-page point of the first page of a sheet sends: it
// redefines startnup for the rest of the sheet so that each page is scaled into its cell.
//
// Its names belong to the core driver's prolog; the plug-in neither defines nor checks them.
// It is written against corvhost's prolog (host/print/NUP-CONTRACT.md), whose own startnup lays
// out the same cells. What the procedure relies on:
//   ~ exch   ! pop   @ dup   $ index   V div   R roll   N newpath   F false   d def
//   +S scale   + translate (not add)   Lw setlinewidth   ld {load def}
//   ;  ends the current n-up cell: the grestore of the gsave that startnup makes
//   $m  the page's orientation matrix, rotation only, by a multiple of 90 degrees
//       ([1 0 0 1 0 0] for portrait)
//   LH  the procedure every page ends with;  nupv  a 6-element array;  nupshowpage, realshowpage
//   startpage  begins drawing a page in the current cell
//   variables with initial values: pgx_nup pgy_nup papermarg_nup pagemarg_nup nups paperw_nup
//       paperh_nup xoffset yoffset nx_nup ny_nup pagew_nup pageh_nup borderlinewidth nupangle
//       framenup
// The core driver's page setup pushes "nupangle borderlinewidth pagew pageh nx ny" and calls
// definenup on the first page of a sheet, then pushes "pgx pgy" and calls startnup on every
// page. pagew, pageh, nx and ny describe the grid as laid on the paper; the margins are in
// default user space units.
//
// Steps, in order:
//   1. take the cell (pgx, pgy), unpack nupv, gsave;
//   2. nups := the smaller of the vertical and the horizontal fit of nx x ny pages with their
//      page margins inside the paper margins of the clip path's box; scale by it;
//   3. cell size := page size + page margin / nups; the offsets centre the grid on the paper and
//      move the origin across the page where $m makes the page extend to the negative side;
//   4. cell and page sizes into the page's orientation (inverse of $m); a quarter turn swaps
//      nx and ny;
//   5. a border line of 0.48 / nups (0.48 on the paper), or no frame at all;
//   6. translate by the offsets, then to the cell inside the page's orientation, and start the
//      page.
#pragma once

#include <cstddef>

namespace corv::render {

inline constexpr char kStartNupProcedure[] =
    "/startnup {/pgy_nup ~ store /pgx_nup ~ store nupv aload !\n"
    "/ny_nup ~ store /nx_nup ~ store /pageh_nup ~ store /pagew_nup ~ store\n"
    "/borderlinewidth ~ store /nupangle ~ store gsave\n"
    "clippath pathbbox 2 $ sub ~ 3 $ sub ~\n"
    "@ papermarg_nup 2 mul sub ny_nup V pagemarg_nup sub pageh_nup V\n"
    "2 $ papermarg_nup 2 mul sub nx_nup V pagemarg_nup sub pagew_nup V\n"
    "2 copy gt {~} if ! /nups ~ store nups @ +S\n"
    "pagemarg_nup nups V @ pagew_nup add /paperw_nup ~ store\n"
    " @ pageh_nup add /paperh_nup ~ store 3 1 R\n"
    "nups V ny_nup paperh_nup mul sub 2 $ add 2 V 3 $ nups V add\n"
    " 1 1 $m dtransform ~ ! 0 lt {pageh_nup add} if /yoffset ~ store\n"
    "nups V nx_nup paperw_nup mul sub add 2 V ~ ! ~ nups V add\n"
    " 1 1 $m dtransform ! 0 lt {pagew_nup add} if /xoffset ~ store\n"
    "$m matrix invertmatrix @ paperw_nup paperh_nup 3 -1 R dtransform\n"
    "/paperh_nup ~ store /paperw_nup ~ store pagew_nup pageh_nup 3 -1 R dtransform\n"
    "/pageh_nup ~ store /pagew_nup ~ store\n"
    "$m 0 get 0 eq {nx_nup ny_nup /nx_nup ~ store /ny_nup ~ store} if\n"
    "borderlinewidth 0 gt {0.48 nups V @ Lw /borderlinewidth ~ store}\n"
    " {/framenup F d} ifelse xoffset yoffset +\n"
    "$m concat pgx_nup paperw_nup mul pgy_nup paperh_nup mul + $m matrix invertmatrix concat N startpage} def\n";

inline constexpr size_t kStartNupProcedureLength = sizeof kStartNupProcedure - 1;
static_assert(kStartNupProcedureLength == 1189);

}  // namespace corv::render
