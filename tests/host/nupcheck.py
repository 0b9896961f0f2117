#!/usr/bin/env python3
"""Checks a set of n-up jobs with Ghostscript: the sides each job makes, where every page's body
lands, and the texts in the pages' trailers.

    nupcheck.py MANIFEST

Each line of MANIFEST names one job, NAME.prn beside the manifest, and what it must show:

    NAME N PAGES [cover] [erased=K] [mode1=K] [mode2=K] [same=OTHER]

N pages per sheet, PAGES pages of the document (corvhost's bodies read "page K of PAGES"), a fax
cover page after them, page K erased (its cell blank), the manual duplex mode 1 or 2
text in the trailer of page K and nowhere else, sides identical to those of job OTHER.

All jobs go through one Ghostscript run per device, each job inside save and restore: bbox counts
the sides and finds blank ones, txtwrite places each page's "page K of PAGES" text, pnggray at
50 dpi gives the ink in and between the cells. A side is a cell grid read from the job's prolog
(papermarg_nup, pagemarg_nup, nupv) and laid out as the core driver's startnup lays it on the
whole page; each page's cell is the one its page setup gives placepage.
"""
import html
import math
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pngcheck  # noqa: E402

DPI = 50
MODE_TEXT = "statusdict dup /setmanualduplexmode known {begin %d setmanualduplexmode end}{pop}ifelse\n"
DARK = bytes(1 if v < 128 else 0 for v in range(256))


class Job:
    def __init__(self, fields, folder):
        self.name, self.n, self.pages = fields[0], int(fields[1]), int(fields[2])
        self.cover = "cover" in fields[3:]
        options = dict(f.split("=", 1) for f in fields[3:] if "=" in f)
        self.erased = {int(v) for k, v in options.items() if k == "erased"}
        self.modes = {m: int(options["mode%d" % m]) for m in (1, 2) if "mode%d" % m in options}
        self.same = options.get("same")
        self.problems = []
        with open(os.path.join(folder, self.name + ".prn"), "rb") as f:
            stream = f.read()
        start = stream.find(b"%!PS-Adobe")
        end = stream.find(b"\x1b%-12345X", start)
        self.ps = stream[start:end if end > 0 else len(stream)].decode("latin-1")
        self.psfile = os.path.join(folder, self.name + ".ps")
        with open(self.psfile, "w", encoding="latin-1") as f:
            f.write(self.ps)
        self.sides = []  # per side: bbox, texts [(page, x, y)], png rows
        self.error = self.left = None

    def fail(self, why):
        self.problems.append(why)

    def expected_sides(self):
        return math.ceil(self.pages / self.n) + (1 if self.cover else 0)

    def read_layout(self):
        number = r"(-?[\d.]+)"
        size = re.search(r"%%BoundingBox: 0 0 (\d+) (\d+)", self.ps)
        margins = re.search(r"/papermarg_nup " + number + r" d /pagemarg_nup " + number + " d", self.ps)
        nupv = re.search(r"/nupv \[" + " ".join([number] * 6) + r"\] d", self.ps)
        if not (size and margins and nupv):
            self.fail("the job has no page size or n-up layout in its prolog")
            return False
        self.width, self.height = float(size.group(1)), float(size.group(2))
        paper_margin, page_margin = float(margins.group(1)), float(margins.group(2))
        _, _, page_w, page_h, nx, ny = (float(v) for v in nupv.groups())
        self.nx, self.ny = int(nx), int(ny)
        scale = min(((self.width - 2 * paper_margin) / nx - page_margin) / page_w,
                    ((self.height - 2 * paper_margin) / ny - page_margin) / page_h)
        self.cell_w, self.cell_h = page_w * scale, page_h * scale
        self.step_w, self.step_h = self.cell_w + page_margin, self.cell_h + page_margin
        self.x0 = (self.width - (nx * self.step_w - page_margin)) / 2
        self.y0 = (self.height - (ny * self.step_h - page_margin)) / 2
        return True

    def cell_box(self, cell):
        """The cell (column, row from the bottom) in points: x0, y0, x1, y1 from the bottom left."""
        x, y = self.x0 + cell[0] * self.step_w, self.y0 + cell[1] * self.step_h
        return x, y, x + self.cell_w, y + self.cell_h

    def page_sections(self):
        """Each page's PostScript, from its %%Page: comment to the next page or the trailer."""
        body = re.split(r"(?m)^%%Trailer$", self.ps)[0]
        return re.split(r"(?m)^(?=%%Page: )", body)[1:]


def run_gs(args, driver):
    done = subprocess.run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-sstdout=%stderr"] + args + [driver],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, errors="replace")
    return done.stderr


def ps_string(text):
    return "(" + text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ")"


def write_driver(jobs, folder):
    path = os.path.join(folder, "nupcheck-driver.ps")
    with open(path, "w") as f:
        for i, job in enumerate(jobs):
            f.write("(@@job %d\\n) print flush /corvjobsave save def\n" % i)
            f.write("{%s run} stopped {(@@error ) print $error /errorname get =} if\n" % ps_string(job.psfile))
            f.write("(@@left ) print count = flush clear cleardictstack corvjobsave restore\n")
    return path


def split_by_job(log, jobs, line_pattern):
    """The lines of a Ghostscript log that match, per job; errors and leftovers noted."""
    per_job, current = [[] for _ in jobs], None
    for line in log.splitlines():
        if line.startswith("@@job "):
            current = int(line.split()[1])
        elif current is None:
            continue
        elif line.startswith("@@error "):
            jobs[current].fail("Ghostscript error " + line[8:])
        elif line.startswith("@@left "):
            if line.split()[1] != "0":
                jobs[current].fail("the job left %s operands on the stack" % line.split()[1])
        elif re.match(line_pattern, line):
            per_job[current].append(line)
    return per_job


def read_texts(path, height):
    """(page, x, y) of every "page K of M" text on a side, its middle in points from the bottom."""
    with open(path, encoding="utf-8", errors="replace") as f:
        xml = f.read()
    found = []
    for box, body in re.findall(r'<span bbox="([\d.\s-]+)"[^>]*>(.*?)</span>', xml, re.S):
        text = "".join(html.unescape(c) for c in re.findall(r'<char [^>]*c="([^"]*)"', body))
        match = re.search(r"page (\d+) of \d+$", text)
        if match:
            x0, y0, x1, y1 = (float(v) for v in box.split())
            found.append((int(match.group(1)), (x0 + x1) / 2, height - (y0 + y1) / 2))
    return found


def ink(rows, box, scale_x, scale_y, pad=0):
    """Share of dark pixels in a box given in points from the bottom left (grown by pad pixels)."""
    x0, y0, x1, y1 = box
    height = len(rows)
    left, right = max(0, int(x0 * scale_x) - pad), min(len(rows[0]), int(math.ceil(x1 * scale_x)) + pad)
    top, bottom = max(0, int(height - y1 * scale_y) - pad), min(height, int(math.ceil(height - y0 * scale_y)) + pad)
    if right <= left or bottom <= top:
        return 0.0, 0
    dark = sum(rows[y][left:right].translate(DARK).count(1) for y in range(top, bottom))
    return dark / ((right - left) * (bottom - top)), dark


def check_side(job, number, side, pages_here):
    """pages_here: {page: cell} of the bodies this side must show."""
    rows = side["rows"]
    scale_x, scale_y = len(rows[0]) / job.width, len(rows) / job.height
    cells = [(x, y) for x in range(job.nx) for y in range(job.ny)]
    filled = {cell: page for page, cell in pages_here.items()}
    for cell in cells:
        box = job.cell_box(cell)
        if cell in filled:
            # The inner part of the cell: the page's frame, its bar and its big number.
            w, h = box[2] - box[0], box[3] - box[1]
            inner = (box[0] + w * 0.1, box[1] + h * 0.1, box[2] - w * 0.1, box[3] - h * 0.1)
            share, _ = ink(rows, inner, scale_x, scale_y)
            if share < 0.02:
                job.fail("side %d: cell %s of page %d has ink %.4f" % (number, cell, filled[cell], share))
        else:
            share, _ = ink(rows, box, scale_x, scale_y, pad=1)
            if share > 0.001:
                job.fail("side %d: cell %s should be empty, has ink %.4f" % (number, cell, share))
    # Nothing between or around the cells: a page drawn whole, or off its cell, shows here.
    _, total = ink(rows, (0, 0, job.width, job.height), scale_x, scale_y)
    inside = sum(ink(rows, job.cell_box(cell), scale_x, scale_y, pad=2)[1] for cell in cells)
    if total - inside > 20:
        job.fail("side %d: %d dark pixels outside the cells" % (number, total - inside))


def check_job(job, by_name):
    if job.problems:
        return
    sides = len(job.sides)
    if sides != job.expected_sides():
        job.fail("%d sides, expected %d" % (sides, job.expected_sides()))
        return
    setups = [re.search(r"(\d+) (\d+) placepage", s) for s in job.page_sections()]
    if len(setups) < job.pages or not all(setups[:job.pages]):
        job.fail("not every page names its cell to placepage")
        return
    cell_of = {page: (int(setups[page - 1].group(1)), int(setups[page - 1].group(2)))
               for page in range(1, job.pages + 1)}
    seen = {}
    for number, side in enumerate(job.sides, 1):
        for page, x, y in side["texts"]:
            seen.setdefault(page, []).append((number, x, y))
        if side["bbox"] == "0 0 0 0" and not (job.cover and number == sides):
            job.fail("side %d is blank" % number)
    for page in range(1, job.pages + 1):
        where = seen.get(page, [])
        if page in job.erased:
            continue  # txtwrite keeps text that erasepage removed: the ink of its cell tells
        want = math.ceil(page / job.n)
        if [w[0] for w in where] != [want]:
            job.fail("page %d: its text is on sides %s, expected once on side %d"
                     % (page, [w[0] for w in where], want))
            continue
        x0, y0, x1, y1 = job.cell_box(cell_of[page])
        _, x, y = where[0]
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            job.fail("page %d: its text at (%.0f, %.0f) is outside its cell %s" % (page, x, y, cell_of[page]))
    strays = sorted(set(seen) - set(range(1, job.pages + 1)))
    if strays:
        job.fail("text of pages %s that the job does not have" % strays)
    if job.cover and job.sides[-1]["texts"]:
        job.fail("the cover page's side carries page bodies")
    for number in range(1, math.ceil(job.pages / job.n) + 1):
        here = {p: cell_of[p] for p in range((number - 1) * job.n + 1, min(number * job.n, job.pages) + 1)
                if p not in job.erased}
        check_side(job, number, job.sides[number - 1], here)
    sections = job.page_sections()
    for mode, page in job.modes.items():
        text = MODE_TEXT % mode
        if job.ps.count(text) != 1:
            job.fail("the mode %d text appears %d times" % (mode, job.ps.count(text)))
        elif page > len(sections) or text not in sections[page - 1].partition("%%PageTrailer\n")[2]:
            job.fail("the mode %d text is not in the trailer of page %d" % (mode, page))
    if job.same:
        other = by_name.get(job.same)
        if other is None or [s["rows"] for s in other.sides] != [s["rows"] for s in job.sides]:
            job.fail("its sides are not those of %s" % job.same)


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    folder = os.path.dirname(os.path.abspath(argv[1]))
    with open(argv[1]) as f:
        jobs = [Job(line.split(), folder) for line in f if line.strip() and not line.startswith("#")]
    for job in jobs:
        job.read_layout()
    driver = write_driver(jobs, folder)
    permit = "--permit-file-read=" + folder + "/"

    boxes = split_by_job(run_gs([permit, "-sDEVICE=bbox"], driver), jobs, r"%%BoundingBox: ")
    for job, lines in zip(jobs, boxes):
        job.sides = [{"bbox": line.split(": ", 1)[1].strip(), "texts": [], "rows": None} for line in lines]
    total = sum(len(job.sides) for job in jobs)

    for old in os.listdir(folder):
        if re.match(r"nupcheck-(text|side)-\d+\.(txt|png)$", old):
            os.remove(os.path.join(folder, old))
    run_gs([permit, "-sDEVICE=txtwrite", "-dTextFormat=0", "-o", os.path.join(folder, "nupcheck-text-%04d.txt")],
           driver)
    run_gs([permit, "-sDEVICE=pnggray", "-r%d" % DPI, "-o", os.path.join(folder, "nupcheck-side-%04d.png")], driver)
    texts = sorted(f for f in os.listdir(folder) if f.startswith("nupcheck-text-"))
    pngs = sorted(f for f in os.listdir(folder) if f.startswith("nupcheck-side-"))
    if len(texts) != total or len(pngs) != total:
        print("FAIL: bbox counted %d sides, txtwrite made %d, pnggray %d" % (total, len(texts), len(pngs)))
        return 1
    at = 0
    for job in jobs:
        for side in job.sides:
            side["texts"] = [] if job.problems else read_texts(os.path.join(folder, texts[at]), job.height)
            side["rows"] = pngcheck.read_rows(os.path.join(folder, pngs[at]))[3]
            at += 1

    by_name = {job.name: job for job in jobs}
    failed = 0
    for job in jobs:
        check_job(job, by_name)
        if job.problems:
            failed += 1
            for problem in job.problems:
                print("FAIL %s: %s" % (job.name, problem))
    print("%d jobs, %d sides, %d failed" % (len(jobs), total, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
