#!/usr/bin/env python3
"""Writes the installation sets of the scenario matrix (tests/e2e/matrix_*_e2e.sh).

One set per product (WHICHPROGRAM 0, 1, 2, 5 and 6), each a manifest for
tools/mkmedia that serves diskettes and CD-ROM alike. Beside the demo set's
files they carry:

- plan/<DIR>/<DIR>.TXT: one marker file in every source directory that the
  copy plan knows, so that a scenario can tell which rows ran and where each
  landed. The directories whose rows copy into SCRIPT2 or SDK are left out of
  the sets of WHICHPROGRAM 0 and 1, which make neither directory.
- cd/: the directories beside the source directory of a CD-ROM (32PG, 32DATA,
  SDK), marked "cdonly".
- chip/CHIP.<EXT>: one chip-family INI file for every data-set extension that
  a modem of media/modems may select, so that every modem family installs;
  each names its extension in [CHIP] SET=.
- txt/: voice prompts at 11025 samples per second, 16 bits, mono, so that
  both the resampling and the voice file roads have work to do.
- The fax product's own files (FAX.FAX, ICONS.FAX) in every set: a voice
  product whose modem turns out to handle fax only installs as the fax product.
- VEQCLEAN.BAT, the clean-up list of a temporary copy in C:\\ZSETUP.

Run it again to remake the files beside it.
"""
import math
import os
import struct
import wave

HERE = os.path.dirname(os.path.abspath(__file__))

PRODUCTS = {
    # WHICHPROGRAM: (product name, makes SCRIPT2 and SDK, printer step)
    0: ("ZELTAFAX", False, 3),
    1: ("ZELTAVOX", False, 3),
    2: ("ZELTAPRO", True, 3),
    5: ("RURORA", True, 0),
    6: ("VUZAZARE", True, 0),
}

# Every source directory of the vendor rows of the copy plan, and the target
# it is copied to.
VENDOR_DIRS = {
    "ROCKPG": "PROGRAM", "ROCKDAT": "DATA", "ROCKSC1": "SCRIPT1", "ROCKSC2": "SCRIPT2",
    "PBPG": "PROGRAM", "PBDAT": "DATA",
    "ZOOMPG": "PROGRAM", "ZOOMDAT": "DATA", "ZOOMSC1": "SCRIPT1", "ZOOMSC2": "SCRIPT2",
    "ACFPG": "PROGRAM", "ACFSC1": "SCRIPT1", "ACFSC2": "SCRIPT2",
    "UMCPG": "PROGRAM", "UMCDAT": "DATA", "UMCSC1": "SCRIPT1", "UMCSC2": "SCRIPT2",
    "PCTPG": "PROGRAM", "PCTDAT": "DATA", "PCTSC1": "SCRIPT1", "PCTSC2": "SCRIPT2",
    "MBPG": "PROGRAM", "MBDAT": "DATA", "RCKSC2": "SCRIPT2",
    "HAYPG": "PROGRAM", "HAYDAT": "DATA", "HAYSC1": "SCRIPT1", "HAYSC2": "SCRIPT2",
    "CIRPG": "PROGRAM", "CIRDAT": "DATA", "CIRSC1": "SCRIPT1", "CIRSC2": "SCRIPT2",
    "CIRUPG": "PROGRAM", "CIRUDAT": "DATA", "CIRUSC1": "SCRIPT1", "CIRUSC2": "SCRIPT2",
    "MBPPG": "PROGRAM", "MBPDAT": "DATA",
    "SIEPG": "PROGRAM", "SIEDAT": "DATA", "SIESC1": "SCRIPT1", "SIESC2": "SCRIPT2",
    "USRPG": "PROGRAM", "USRDAT": "DATA", "USRSC1": "SCRIPT1", "USRSC2": "SCRIPT2",
    "ATTPG": "PROGRAM", "ATTDAT": "DATA", "ATTSC1": "SCRIPT1", "ATTSC2": "SCRIPT2",
    "ZYXPG": "PROGRAM", "ZYXDAT": "DATA", "ZYXSC1": "SCRIPT1", "ZYXSC2": "SCRIPT2",
    "S101PG": "PROGRAM", "S101DAT": "DATA", "S101SC1": "SCRIPT1", "S101SC2": "SCRIPT2",
    "FAXPG": "PROGRAM", "FAXDAT": "DATA",
    # The fixed list's SCRIPT2, which goes into SCRIPT1.
    "SCRIPT2": "SCRIPT1",
}
CD_DIRS = {"32PG": "PROGRAM", "32DATA": "DATA", "SDK": "SDK"}

# Data-set extensions: the vendor table, its forms with an ATI match digit,
# and the VENDORINI tags of the match sections below.
CHIP_EXTS = ["ROC", "PB", "ZM", "ACF", "UMC", "PCT", "MB", "HAY", "CIR", "CUX", "C01", "MBP", "SIE", "SI4", "USR",
             "ATT", "ZYX", "Z28", "M01", "MOT", "HCF", "ESS", "A02", "R01", "A01", "FAX"]
CHIP_EXTS += [two + d for two in ("AC", "C0", "US", "AT", "FA") for d in "3468"]
CHIP_EXTS += ["T45", "A47"]

PROMPT_RATE = 11025
PROMPTS = {
    "GREETING.WAV": [(440, 120), (554, 120)],
    "MENU.WAV": [(523, 80), (659, 80), (784, 80)],
    "GOODBYE.WAV": [(554, 120), (440, 160)],
    "RINGING.WAV": [(425, 200)],
    "PHONE.WAV": [(350, 100), (440, 100)],
}

CRLF = "\r\n"


def write(path, text, newline=CRLF):
    path = os.path.join(HERE, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(text.replace("\n", newline).encode("ascii"))


def tone(freq, ms):
    n = PROMPT_RATE * ms // 1000
    return [int(9000 * math.sin(2 * math.pi * freq * i / PROMPT_RATE) * min(1, i / 80, (n - i) / 80))
            for i in range(n)]


def prompts():
    os.makedirs(os.path.join(HERE, "txt"), exist_ok=True)
    for name, parts in PROMPTS.items():
        samples = [s for f, ms in parts for s in tone(f, ms)]
        with wave.open(os.path.join(HERE, "txt", name), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(PROMPT_RATE)
            w.writeframes(struct.pack("<%dh" % len(samples), *samples))
    write("txt/PROMPTS.LST", "; prompt list\nGREETING.WAV\nMENU.WAV\nGOODBYE.WAV\n")


def install_ini(which, name, printer):
    match = open(os.path.join(HERE, "..", "modems", "install-match.ini")).read().split("[GENERAL]")[1]
    match = match.split("\n", 2)[2].strip()  # without its VENDOR line
    return ("; Installation settings of the matrix set for WHICHPROGRAM=%d (%s).\n"
            "[GENERAL]\nWHICHPROGRAM=%d\nVERSION=2.2i-M%d\nVENDOR=0\nVENDORVERSION=0\nCDROM=0\nDISKSPACE=15\n"
            "USEVOXROCK=0\nINSTALLPRINTER=%d\nNOCLEAN=0\n\n%s\n" % (which, name, which, which, printer, match))


def icons(name):
    return ("#%s.EXE\n\n%s\n#%s.EXE\n*README.TXT\n\nRead Me\n\n" % (name, name.capitalize(), name))


def manifest(which, name, full_tree):
    lines = [
        "# Matrix set of WHICHPROGRAM=%d (%s), written by make_matrix.py." % (which, name),
        "# Build it with: mkmedia product%d.manifest OUT [--cdrom | --diskettes] --win32 build/win32" % which,
        "set medium cdrom",
        "set cdsource SETUP",
        "set vendor 8",
        "",
        "file INSTALL.INI            INSTALL%d.INI" % which,
        "file FAX.LST                ../demo/FAX.LST",
        "file ICONS.LST              ICONS%d.LST    everydisk" % which,
        "file ICONS.FAX              ICONS.FAX     everydisk",
        "file FAX.INI                ../demo/FAX.INI",
        "file FAX.FAX                FAX.FAX",
        "file VEQCLEAN.BAT           VEQCLEAN.BAT",
        "file COUNTRY\\COUNTRY.LST    ../demo/COUNTRY/COUNTRY.LST",
        "file COUNTRY\\COUNTRY.USA    ../demo/COUNTRY/COUNTRY.USA",
        "file COUNTRY\\COUNTRY.GER    ../demo/COUNTRY/COUNTRY.GER",
        "file COUNTRY\\COUNTRY.UK     ../demo/COUNTRY/COUNTRY.UK",
        "build SETUP.EXE             SETUP.EXE     plain",
        "build VEQINS.DLL            VEQINS.DLL    plain",
        "",
        "# The fixed rows of the copy plan.",
        "dir PROGRAM                 ../demo/PROGRAM",
        "dir DATA                    ../demo/DATA",
        "dir SCRIPT1                 ../demo/SCRIPT1",
        "dir FOD                     ../demo/FOD",
        "",
        "# One marker per source directory of the vendor rows.",
    ]
    for d, target in VENDOR_DIRS.items():
        if target in ("SCRIPT2", "SDK") and not full_tree:
            continue
        lines.append("dir %-22s plan/%s" % (d, d))
    lines.append("")
    lines.append("# Beside the source directory of a CD-ROM.")
    for d, target in CD_DIRS.items():
        if target == "SDK" and not full_tree:
            continue
        lines.append("dir ..\\%-18s cd/%s cdonly" % (d, d))
    lines.append("")
    lines.append("# Chip-family INI files for every data-set extension.")
    for ext in CHIP_EXTS:
        lines.append("file DATACHIP\\%s.%-4s chip/CHIP.%s" % (name, ext, ext))
    if which != 0:
        lines.append("# A modem without voice turns the installation into the fax product.")
        for ext in [e for e in CHIP_EXTS if e.startswith("FA")]:
            lines.append("file DATACHIP\\ZELTAFAX.%-4s chip/CHIP.%s" % (ext, ext))
    lines += [
        "",
        "packdir txt",
        "",
        "# Companions from the win32 build.",
        "build PROGRAM\\%s.EXE %s.EXE optional" % (name, name),
        "build PROGRAM\\DUVOVIR.EXE   DUVOVIR.EXE   optional",
        "build PROGRAM\\VEQADDPR.EXE  VEQADDPR.EXE  optional",
        "build PROGRAM\\VEQSBV.DLL    VEQSBV.DLL    optional",
        "build ZVUNINST.EXE          ZVUNINST.EXE  optional everydisk",
        "build VEQUNINS.DLL          VEQUNINS.DLL  optional everydisk",
        "build VEQWAVE.EXE           VEQWAVE.EXE   optional plain everydisk",
        "build VEQ95.DRV             VEQ95.DRV     optional everydisk",
        "build VEQNT.DLL             VEQNT.DLL     optional everydisk",
        "build VEQ.DRV               VEQ.DRV       optional everydisk",
    ]
    for ext in ("ROC", "ACF", "UMC", "PCT", "CIR", "C01", "SIE", "USR", "ZYX", "FAX", "ATT"):
        lines.append("build PROGCHIP\\VEQSB95.%s  VEQSB95.%s   optional" % (ext, ext))
    for lib in ("VEQSB16.DLL", "VEQTHK16.DLL", "VEQTHK32.DLL"):
        lines.append("build PROGCHIP\\%-12s %-13s optional" % (lib, lib))
    return "\n".join(lines) + "\n"


def main():
    prompts()
    for d in VENDOR_DIRS:
        write("plan/%s/%s.TXT" % (d, d), "copied from %s\n" % d)
    for d in CD_DIRS:
        write("cd/%s/%s.TXT" % (d, d), "copied from ..\\%s\n" % d)
    for ext in CHIP_EXTS:
        write("chip/CHIP.%s" % ext, "[CHIP]\nSET=%s\n" % ext)
    # With a PROGRAM value, which the installer replaces by the installed fax task.
    write("FAX.FAX", "; fax product template\n[FAX]\nPRODUCT=FAX\nRETRIES=3\nPROGRAM=FAXTASK.EXE\n")
    write("ICONS.FAX", icons("ZELTAFAX"))
    write("VEQCLEAN.BAT", "DEL C:\\ZSETUP\\SETUP.EXE\nDEL C:\\ZSETUP\\VEQCLEAN.BAT\n")
    for which, (name, full_tree, printer) in PRODUCTS.items():
        write("INSTALL%d.INI" % which, install_ini(which, name, printer))
        if which != 0:
            write("ICONS%d.LST" % which, icons(name))
        write("product%d.manifest" % which, manifest(which, name, full_tree), "\n")
    # The fax product lists its items in ICONS.FAX; its ICONS.LST is never read.
    write("ICONS0.LST", icons("ZELTAFAX"))


if __name__ == "__main__":
    main()
