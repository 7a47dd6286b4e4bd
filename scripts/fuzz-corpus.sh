#!/usr/bin/env bash
# Fills build/fuzz/corpus/<target>/ with inputs made from the demo set's real
# files (media/demo, media/modems and the set mkmedia builds from them), so
# that every fuzz target starts from real data. The corpora are made afresh on
# every run; nothing here is committed. Small hand-made seeds live in
# tests/fuzz/seeds/<target>/ and are passed to the targets beside these.
#
#   scripts/fuzz-corpus.sh [OUTDIR]      (default build/fuzz/corpus)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/fuzz/corpus}
demo=$root/media/demo
modems=$root/media/modems

rm -rf "$out"
mkdir -p "$out"
corpus() { mkdir -p "$out/$1"; echo "$out/$1"; }
copy() {  # copy TARGET FILE...
    local dir; dir=$(corpus "$1"); shift
    local f
    for f in "$@"; do [ -f "$f" ] && cp "$f" "$dir/$(basename "$(dirname "$f")")_$(basename "$f")"; done
    return 0
}

# The demo installation set as the installer reads it: built by mkmedia
# (from the native build; built here when it is missing).
mkmedia=$root/build/native/tools/mkmedia/mkmedia
if [ ! -x "$mkmedia" ]; then
    echo "fuzz-corpus: building mkmedia" >&2
    cmake --preset native >/dev/null
    cmake --build "$root/build/native" --target mkmedia -j2 >/dev/null
fi
set_dir=$(mktemp -d)
trap 'rm -rf "$set_dir"' EXIT
"$mkmedia" "$demo/demo.manifest" "$set_dir/set" --diskettes >/dev/null
mapfile -t set_files < <(find "$set_dir/set" -type f | sort)

# Text files of the medium, as the line reader and the list readers see them.
text_files=("$demo"/*.LST "$demo"/*.INI "$demo"/COUNTRY/* "$demo"/txt/PROMPTS.LST "$demo"/*/*.SCR
            "$demo"/DATA/*.TXT "$demo"/PROGRAM/*.INI)
for f in "${set_files[@]}"; do
    case "$(basename "$f")" in FILESIZE.txt|lastdisk.txt|*.LST|*.INI) text_files+=("$f") ;; esac
done
copy linereader_fuzz "${text_files[@]}"
copy sequence_lists_fuzz "$demo/FAX.LST" "$demo/COUNTRY/COUNTRY.LST"
copy integration_iconlist_fuzz "$demo/ICONS.LST"
copy files_lists_fuzz $(printf '%s\n' "${set_files[@]}" | grep -E '/(FILESIZE|lastdisk)\.txt$')
copy shell_settings_fuzz "$demo/INSTALL.INI" "$modems/install-match.ini" "$demo/FAX.INI" "$demo"/DATACHIP/* \
    $(printf '%s\n' "${set_files[@]}" | grep -E '/INSTALL\.INI$' | head -1)

# Packed archive and LZ files of the built set; the sources as input to compress.
copy archive_fuzz $(printf '%s\n' "${set_files[@]}" | grep -i '/txt\.pck$')
dir=$(corpus szdd_fuzz)
for f in "${set_files[@]}"; do
    if [ "$(head -c 4 "$f" | tr -d "\\000")" = "SZDD" ]; then cp "$f" "$dir/$(basename "$(dirname "$f")")_$(basename "$f")"; fi
done
mapfile -t sources < <(find "$demo" -type f ! -name '*.py' ! -name '*.manifest' | sort)
copy szddcompress_fuzz "${sources[@]}"

# Voice prompts.
copy wavefile_fuzz "$demo"/txt/*.WAV
python3 - "$demo/txt" "$(corpus voice_roads_fuzz)" "$(corpus voice_vox_fuzz)" <<'EOF'
import os, sys
wavdir, roads, vox = sys.argv[1:4]
waves = sorted(f for f in os.listdir(wavdir) if f.endswith('.WAV'))
# voice_roads_fuzz: a vendor index byte (28 codes in its table), a settings byte, the prompt.
for i in range(28):
    for s, wave in ((0, waves[i % len(waves)]), (0x0C, waves[(i + 1) % len(waves)])):
        data = open(os.path.join(wavdir, wave), 'rb').read()
        open(os.path.join(roads, 'v%02d_s%02x_%s' % (i, s, wave)), 'wb').write(bytes([i, s]) + data)
# voice_vox_fuzz: a control byte, then a headed prompt whose body is the WAV's
# samples as ADPCM-sized bytes (any byte is a valid pair of ADPCM codes).
for wave in waves:
    data = open(os.path.join(wavdir, wave), 'rb').read()[44:]
    header = b'SIERR\x02' + bytes(4) + b'\x04' + bytes(5)
    body = bytes((data[k] & 0xF0) | (data[k + 1] >> 4) for k in range(0, min(len(data) - 1, 4096), 2))
    open(os.path.join(vox, wave.replace('.WAV', '.VOX')), 'wb').write(b'\x00' + header + body)
EOF

# Modems: the profiles themselves, their answers for the AT engine, whole
# identifications with the demo's match sections, and the answer script of
# the scripted identification.
copy modemprofile_fuzz "$modems"/*.modem
python3 - "$modems" "$demo/INSTALL.INI" "$(corpus modem_atengine_fuzz)" "$(corpus modem_identify_fuzz)" \
    "$(corpus modem_answers_fuzz)" <<'EOF'
import os, re, sys
modems, demo_ini, engine, identify, answers = sys.argv[1:6]
profiles = sorted(f for f in os.listdir(modems) if f.endswith('.modem'))
match_ini = open(os.path.join(modems, 'install-match.ini'), 'rb').read()
demo = open(demo_ini, 'rb').read()

def rules(path):
    """The profile's commands with their answer lines and final result."""
    out, current = {}, None
    for line in open(path, encoding='latin-1'):
        line = line.rstrip('\r\n')
        m = re.match(r'\s*\[(.*)\]\s*$', line)
        if m:
            current = m.group(1)
            out[current] = {'answers': [], 'final': 'OK'}
            continue
        m = re.match(r'\s*(\w+)\s*=\s?(.*)$', line)
        if current and m:
            key, value = m.group(1).lower(), m.group(2)
            if key == 'answer':
                out[current]['answers'].append(value)
            elif key == 'final':
                out[current]['final'] = value
    return out

commands = ["AT+FCLASS=8", "AT+FCLASS=0", "AT#CLS=8", "AT#CLS=0", "AT+GMI?", "AT#MFR?", "AT+GMR?", "ATI3",
            "ATI4", "ATI7", "AT+VSM=?", "AT#VSR=?", "AT#VBS=8", "ATI2", "ATI", "AT#VLS=6", "AT#VLS=0",
            "AT#VCL=1", "AT#VCID=1", "AT#VS1", "AT#VLS=1", "AT#VRX"]
for n, name in enumerate(profiles):
    r = rules(os.path.join(modems, name))
    base = name[:-len('.modem')]
    # AT engine: read size, third table entry (the first answer line), the modem's bytes.
    for command, rule in r.items():
        text = ''.join('\r\n%s\r\n' % a for a in rule['answers']) + ('\r\n%s\r\n' % rule['final'] if rule['final'] else '')
        pattern = (rule['answers'][0] if rule['answers'] else 'CONNECT')[:18].encode('latin-1') or b'OK'
        data = bytes([n % 64, len(pattern) - 1]) + pattern + text.encode('latin-1')
        safe = re.sub(r'[^A-Za-z0-9]', '_', command)
        open(os.path.join(engine, '%s_%s' % (base, safe)), 'wb').write(data)
    # Identification: the profile's index, then INSTALL.INI.
    open(os.path.join(identify, base + '_match'), 'wb').write(bytes([n]) + match_ini)
    open(os.path.join(identify, base + '_demo'), 'wb').write(bytes([n]) + demo)
    # Scripted answers: echo flag, then per command a kind byte and the answer up to 0xFF.
    data = bytearray([1 if 'echo = on' in open(os.path.join(modems, name), encoding='latin-1').read() else 0])
    for command in commands:
        rule = r.get(command)
        final = rule['final'] if rule else 'ERROR'
        kind = 0x01 if final == 'ERROR' else 0x02 if final == 'CONNECT' else 0x04
        data.append(kind)
        data += '\r\n'.join(rule['answers']).encode('latin-1') if rule else b''
        data.append(0xFF)
    open(os.path.join(answers, base), 'wb').write(bytes(data))
EOF

for d in "$out"/*/; do
    printf '%-28s %4d files\n' "$(basename "$d")" "$(find "$d" -type f | wc -l)"
done
