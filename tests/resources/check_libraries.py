#!/usr/bin/env python3
"""Holds the resource libraries together, read from the built DLLs.

    check_libraries.py ENGLISH.DLL OTHER.DLL [LANGUAGE-ID]

The English library is the reference. The other one must have exactly the same
string numbers, with the same "%" sequences and "@@" in each text, and the same
dialog templates with the same numbered controls of the same kind. Every text
of both must fit the 80-byte buffer the installer loads it into, and every
template must keep its controls inside the dialog and apart from each other.
The PE resources are parsed here directly, so no Windows is needed.
"""
import re
import struct
import sys

RT_DIALOG, RT_STRING = 5, 6
CONTROL_KINDS = {0x80: "Button", 0x81: "Edit", 0x82: "Static", 0x83: "ListBox", 0x84: "ScrollBar", 0x85: "ComboBox"}
SS_SUNKEN = 0x1000
# The longest product title "@@" can stand for: the built-in ones, unless a library's is longer.
BUILTIN_TITLES = ["ZeltaVoice Home", "ZeltaVoice Comm Server"]


def resources(path):
    """{(type, number): (language, bytes)} of a PE file's numbered resources."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: not a PE file")
    sections, optsize = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    rsrc_rva = struct.unpack_from("<I", data, opt + 96 + 2 * 8)[0]
    table = []
    for i in range(sections):
        s = opt + optsize + 40 * i
        vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, s + 8)
        table.append((va, max(vsize, rawsize), raw))

    def offset(rva):
        for va, size, raw in table:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError(f"{path}: address {rva:#x} outside every section")

    base = offset(rsrc_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield (None if name & 0x80000000 else name), target

    out = {}
    for rtype, t in entries(0):
        for number, n in entries(t & 0x7FFFFFFF):
            for language, leaf in entries(n & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                if rtype is not None and number is not None:
                    out[(rtype, number)] = (language, data[offset(rva):offset(rva) + size])
    return out


def strings(res):
    """{number: (language, text)} of the string tables: block b holds 16 (b - 1) to 16 b - 1."""
    out = {}
    for (rtype, block), (language, raw) in res.items():
        if rtype != RT_STRING:
            continue
        at = 0
        for i in range(16):
            length = struct.unpack_from("<H", raw, at)[0]
            if length:
                out[(block - 1) * 16 + i] = (language, raw[at + 2:at + 2 + 2 * length].decode("utf-16-le"))
            at += 2 + 2 * length
    return out


def read_sz_or_ord(raw, at):
    first = struct.unpack_from("<H", raw, at)[0]
    if first == 0xFFFF:
        return struct.unpack_from("<H", raw, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", raw, end)[0]:
        end += 2
    return raw[at:end].decode("utf-16-le"), end + 2


def dialog(raw):
    """A DIALOG template: its size and its controls (id, kind, style, x, y, cx, cy, text)."""
    style, _, count, _, _, cx, cy = struct.unpack_from("<IIHhhhh", raw, 0)
    _, at = read_sz_or_ord(raw, 18)  # menu
    _, at = read_sz_or_ord(raw, at)  # class
    _, at = read_sz_or_ord(raw, at)  # caption
    if style & 0x40:  # DS_SETFONT
        _, at = read_sz_or_ord(raw, at + 2)
    controls = []
    for _ in range(count):
        at = (at + 3) & ~3
        cstyle, _, x, y, w, h, number = struct.unpack_from("<IIhhhhH", raw, at)
        kind, at = read_sz_or_ord(raw, at + 18)
        text, at = read_sz_or_ord(raw, at)
        extra = struct.unpack_from("<H", raw, at)[0]
        at += 2 + extra
        if isinstance(kind, str):  # a class by name, e.g. "STATIC"
            kind = next((k for k in CONTROL_KINDS.values() if k.lower() == kind.lower()), kind)
        else:
            kind = CONTROL_KINDS.get(kind, kind)
        controls.append((number, kind, cstyle, x, y, w, h, text))
    return (cx, cy), controls


def percent_sequences(text):
    return re.findall(r"%[-+ #0]*[0-9]*(?:\.[0-9]+)?[a-zA-Z%]?", text)


def uninstaller_text(number):
    return 1600 <= number < 1700


def status_text(number):
    # Status texts show in the error box behind the number and " - ".
    return number >= 900 and not 7104 <= number < 7200 and not uninstaller_text(number)


class Check:
    def __init__(self):
        self.failures = 0
        self.checks = 0

    def expect(self, condition, message):
        self.checks += 1
        if not condition:
            self.failures += 1
            print("FAIL:", message)


def check_texts(check, name, texts):
    titles = BUILTIN_TITLES + [texts.get(t, (0, ""))[1] for t in (7104, 7114, 7124)]
    longest = max(len(t) for t in titles)
    for number, (_, text) in sorted(texts.items()):
        try:
            length = len(text.encode("cp1252"))
        except UnicodeEncodeError:
            check.expect(False, f"{name} text {number} has a character outside code page 1252: {text!r}")
            continue
        if uninstaller_text(number):
            continue
        if "@@" in text:
            length += longest - 2
        room = 79 - (len(str(number)) + 3 if status_text(number) else 0)
        check.expect(length <= room, f"{name} text {number} is cut at {room} characters: {text!r}")
    for number in (7108, 7118, 7128):
        check.expect(len(texts.get(number, (0, ""))[1]) <= 19, f"{name} product name {number} is longer than 19")
    # Without its format the port note has its last character replaced by the port's digit.
    check.expect(texts.get(457, (0, ""))[1].endswith("0"), f"{name} text 457 does not end in the digit 0")


def check_layout(check, name, number, size, controls):
    cx, cy = size
    boxes = []
    for cid, kind, style, x, y, w, h, text in controls:
        if w == 0 or h == 0:
            continue
        check.expect(x >= 0 and y >= 0 and x + w <= cx and y + h <= cy,
                     f"{name} template {number}: control {cid} {text!r} reaches outside the dialog")
        frame = kind == "Static" and style & SS_SUNKEN and not text
        if not frame:
            boxes.append((cid, text, x, y, x + w, y + h))
    for i, a in enumerate(boxes):
        for b in boxes[i + 1:]:
            apart = a[4] <= b[2] or b[4] <= a[2] or a[5] <= b[3] or b[5] <= a[3]
            check.expect(apart, f"{name} template {number}: controls {a[0]} {a[1]!r} and {b[0]} {b[1]!r} overlap")


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    english_path, other_path = sys.argv[1], sys.argv[2]
    language = int(sys.argv[3], 0) if len(sys.argv) > 3 else None
    english, other = resources(english_path), resources(other_path)
    check = Check()

    en_texts, other_texts = strings(english), strings(other)
    check.expect(len(en_texts) > 50, f"the English library has only {len(en_texts)} texts")
    for number, (_, text) in sorted(en_texts.items()):
        if number not in other_texts:
            check.expect(False, f"text {number} is missing from {other_path}")
            continue
        translated = other_texts[number][1]
        check.expect(percent_sequences(translated) == percent_sequences(text),
                     f"text {number}: {percent_sequences(translated)} in {translated!r}, "
                     f"{percent_sequences(text)} in the English {text!r}")
        check.expect(translated.count("@@") == text.count("@@"), f"text {number}: the product title \"@@\" differs")
    for number in sorted(set(other_texts) - set(en_texts)):
        check.expect(False, f"text {number} is only in {other_path}: {other_texts[number][1]!r}")
    check_texts(check, "English", en_texts)
    check_texts(check, "translated", other_texts)

    en_dialogs = {n: dialog(raw) for (t, n), (_, raw) in english.items() if t == RT_DIALOG}
    other_dialogs = {n: dialog(raw) for (t, n), (_, raw) in other.items() if t == RT_DIALOG}
    check.expect(sorted(en_dialogs) == [900, 986, 988, 990, 991, 992, 994, 997],
                 f"the English templates are {sorted(en_dialogs)}")
    check.expect(sorted(other_dialogs) == sorted(en_dialogs),
                 f"templates {sorted(other_dialogs)} against the English {sorted(en_dialogs)}")
    for number in sorted(set(en_dialogs) & set(other_dialogs)):
        def numbered(controls):
            return sorted((c[0], c[1]) for c in controls if c[0] != 0xFFFF)
        check.expect(numbered(other_dialogs[number][1]) == numbered(en_dialogs[number][1]),
                     f"template {number}: controls {numbered(other_dialogs[number][1])} "
                     f"against the English {numbered(en_dialogs[number][1])}")
        check_layout(check, "English", number, *en_dialogs[number])
        check_layout(check, "translated", number, *other_dialogs[number])

    if language is not None:
        wrong = sorted({(t, n) for (t, n), (lang, _) in other.items() if lang != language})
        check.expect(not wrong, f"resources not in language {language:#x}: {wrong}")

    print(f"{len(en_texts)} texts, {len(en_dialogs)} templates: "
          f"{check.checks - check.failures} passed, {check.failures} failed")
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
