#!/usr/bin/env python3
"""Writes the hand-made seeds of the fuzz corpora (fuzz/corpus/<target>/seed-*): records as the
driver stores them, jobs for every destination, escape payloads of the protocol's sizes, texts
with every variable. The fuzzers grow their own corpora from these in a build folder."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RECORD_SIZE = 7672


def wide(text, units):
    data = text.encode("utf-16-le")[: 2 * units]
    return data.ljust(2 * units, b"\0")


def watermark(name="", text="", angle=0.0, position=0, dynamic=0):
    wm = bytearray(704)
    wm[0:256] = wide(name, 128)
    wm[256:512] = wide(text, 128)
    struct.pack_into("<d", wm, 512, angle)
    wm[524:652] = wide("Arial", 64)
    struct.pack_into("<iIIH", wm, 652, 72, 0, 0, 100)
    struct.pack_into("<I", wm, 668, position)
    wm[672] = 1
    struct.pack_into("<I", wm, 700, dynamic)
    return bytes(wm)


def record(**fields):
    r = bytearray(RECORD_SIZE)
    struct.pack_into("<III", r, 0, RECORD_SIZE, 0x51545256, 10)
    r[24:728] = watermark("Draft", "DRAFT", 45.0)
    r[728:1432] = watermark("Date", "%datelong% %time%", 0.0, 7, 1)
    struct.pack_into("<H", r, 1440, 2)
    struct.pack_into("<i", r, 2532, 1)
    struct.pack_into("<I", r, 2580 + 4744, 7)
    struct.pack_into("<i", r, 7660, 1)
    offsets = {"dwOutputTo": (1436, "<I"), "bAccountNumber": (2536, "<i"), "dwColorCorrection": (7328, "<I"),
               "bColorBalance": (7356, "<I"), "dwPallidor": (7376, "<I"), "lBrightness": (7648, "<i"),
               "dwSize": (0, "<I"), "bBlockAppPostScript": (2528, "<i"), "bRotate180": (1432, "<i")}
    for name, value in fields.items():
        if name in offsets:
            off, fmt = offsets[name]
            struct.pack_into(fmt, r, off, value)
    r[2466:2516] = wide(fields.get("hold", "jsmith"), 25)
    r[2516:2526] = wide(fields.get("pin", "1234"), 5)
    r[2540:2574] = wide(fields.get("account", "4711"), 17)
    r[2580:2836] = wide(fields.get("fax", "+44 20 7946 0000"), 128)
    r[2836:3092] = wide(fields.get("station", "Front desk"), 128)
    if fields.get("manual"):
        struct.pack_into("<IIIIII", r, 7332, 1, 2, 5, 1, 4, 5)
        struct.pack_into("<iiii", r, 7360, -5, 5, -1, 2)
    return bytes(r)


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def random_length_string(text):
    """FuzzedDataProvider's encoding: a backslash doubles, a backslash and another byte end it."""
    return text.replace(b"\\", b"\\\\") + b"\\x"


def main():
    default = record()
    write("record", "merge-default", b"\x01" + default + default)
    write("record", "convert-short-source", b"\x00" + record(dwSize=4000) + default)
    write("record", "convert-long-source", b"\x00" + record(dwSize=9000) + default)
    write("record", "merge-in-place", b"\x02" + record(dwOutputTo=9, lBrightness=-7))
    write("record", "validate-foreign", b"\x03" + bytes(range(256)) * 30)

    # pjl: record, 512 bytes of document name, computer and user names, then the integral choices
    # that FuzzedDataProvider takes from the end.
    name = wide("Quarterly report \"final\"", 256)
    tail = bytes([1, 0, 1, 1, 1, 1, 0, 3])
    for label, rec in [("printer", default), ("fax", record(dwOutputTo=3)), ("confidential", record(dwOutputTo=4)),
                       ("reserve", record(dwOutputTo=5)), ("repeat", record(dwOutputTo=6)),
                       ("verify", record(dwOutputTo=7)), ("manual-colour", record(dwColorCorrection=4, manual=1,
                       bColorBalance=1, dwPallidor=2, bAccountNumber=1))]:
        write("pjl", label, rec + name + random_length_string(b"HOST") + random_length_string(b"jsmith") + tail)

    # escape: an image mask buffer, the helper's answers, bytes written over the default record, then
    # steps.
    mask = b"0 GpPBeg " + b"x" * 120 + b"] ds imagemask grestore} for pop} forGSE"
    mask = struct.pack("<H", len(mask)) + mask
    write("escape", "image-mask", mask + random_length_string(b"%PagePerSheet\x002") + default)
    write("escape", "booklet", random_length_string(b"%PagePerSheet\x00Booklet") + record(bBlockAppPostScript=1)
          + bytes(range(256)) * 4)

    # dyntext: the default token table, values, mode and a text with every variable.
    text = "Printed by %Username% on %datelong% at %time% (%timemil%, %timehrmn%) page %pagenumber% of " \
           "%hostname% %printer% %modelname% %dateshort% %dateddmmyyyy% 100%% sure %date% 50% off"
    values = b"".join(random_length_string("v{}".format(i).encode("utf-16-le")) for i in range(11))
    write("dyntext", "every-variable", b"\x00" + values + random_length_string(text.encode("utf-16-le")))

    # geometry: watermark records at each position, then device numbers.
    for position in range(10):
        wm = watermark("W", "TEXT", 30.0 * position - 120.0, position)
        write("geometry", "position-{}".format(position), wm + bytes(range(0, 256, 3)) * 2)

    # stored: a watermark value, a fax value, a user name, a profile.
    write("stored", "watermark", watermark("Draft", "DRAFT", 45.0) + b"\x00\x00")
    write("stored", "fax", default[2580:2580 + 4748] + b"\x01\x00")
    write("stored", "profile", random_length_string(b"CustomDevData") + default + bytes(range(64)) + b"\x03")


if __name__ == "__main__":
    main()
