// INS_convertscript and its passes over the prompt directory.
#include "voice/convertscript.h"

#include <cstring>

#include "files/checkabort.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "modem/vendors.h"
#include "shell/platform.h"
#include "shell/text.h"
#include "voice/adpcm.h"
#include "voice/compressor.h"

namespace {

// The road of each vendor code; first hit wins, the last row takes every other code.
const vendor_road roads[] = {
    {{VENDOR_CLS_GENERIC, VENDOR_PHONEBLASTER, VENDOR_ROCKWELL_ACF, VENDOR_MODEMBLASTER, VENDOR_HAYES,
      VENDOR_MODEMBLASTER_PLUS, -1},
     ANY_SETTING, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, true},
    {{VENDOR_UMC, VENDOR_PCTEL, VENDOR_MOTOROLA_NOCLASS, VENDOR_CONEXANT_HCF, -1},
     ANY_SETTING, ROAD_VOICEFILE, "ROCK ", 4, 0, 0, false},
    {{VENDOR_USROBOTICS, -1}, ANY_SETTING, ROAD_VOICEFILE, "ROCK ", 2, 0, 0, false},
    {{VENDOR_CIRRUS_VCL, -1}, ANY_SETTING, ROAD_VOICEFILE, "CIRRU", 8, 0, 0, false},
    {{VENDOR_CIRRUS_VCID, -1}, ANY_SETTING, ROAD_VOICEFILE, "CIRRU", 4, 0, 0, false},
    {{VENDOR_SIERRA, VENDOR_SIERRA_V32, -1}, ANY_SETTING, ROAD_VOICEFILE, "SIERR", 8, 0, 0, false},
    {{VENDOR_ATT, -1}, ATT8000_OFF, ROAD_VOICEFILE, "AT&T ", 8, 0, 0, false},
    {{VENDOR_ATT, -1}, ATT8000_ON, ROAD_RESAMPLE, nullptr, 0, 8000, 8, false},
    {{VENDOR_CIRRUS, VENDOR_ESS_VOICE, VENDOR_LUCENT, VENDOR_CONEXANT_IS101, VENDOR_LUCENT_IS101, -1},
     ANY_SETTING, ROAD_RESAMPLE, nullptr, 0, 8000, 8, false},
    {{VENDOR_MOTOROLA, -1}, ANY_SETTING, ROAD_RESAMPLE, nullptr, 0, 7200, 8, false},
    {{VENDOR_ZYXEL, VENDOR_ZYXEL_2864, -1}, ANY_SETTING, ROAD_VOICEFILE, "ZyXEL", 4, 0, 0, false},
    {{VENDOR_KEEPPROMPTS, VENDOR_ESS, -1}, ANY_SETTING, ROAD_NONE, nullptr, 0, 0, 0, false},
    {{-1}, ANY_SETTING, ROAD_RESAMPLE, nullptr, 0, 8000, 16, false},
};

enum { DECODESLOT = 20, RESAMPLESLOT = 80, LISTSLOTS = 200 };

// RINGING.WAV and PHONE.WAV stay WAV files on every road.
bool kept_as_wave(const char* name) { return UL_equalnocase(name, "RINGING.WAV") || UL_equalnocase(name, "PHONE.WAV"); }

void prompt_dir(const setup_context* ctx, char out[TEXTSIZE])
{
    UL_makepath(out, ctx->pathname, "SCRIPT1\\");
}

// dir + name, false when it does not fit a path.
bool full_name(char out[TEXTSIZE], const char* dir, const char* name)
{
    if (std::strlen(dir) + std::strlen(name) >= TEXTSIZE) return false;
    UL_makepath(out, dir, name);
    return true;
}

// A file search that is closed on every way out.
struct prompt_search {
    find_record found{};
    ~prompt_search() { UL_findclose(&found); }
};

// The one walk over the prompt directory that every pass makes: each file the
// pattern finds but the ring and phone tones, after a cancel check, handed to
// visit(name, full name). A name longer than `longest` (what the pass's list
// holds) or too long for a full path is refused, never cut, for a cut name
// names another file: traced as a detail line and handed on with no full name,
// the pass deciding what a refused prompt means. With `first`, the result of
// the search's start is traced and kept there.
template <class Visit>
status_t walk_prompts(setup_context* ctx, const char* pattern, std::size_t longest, Visit visit,
                      std::uint16_t* first = nullptr)
{
    char dir[TEXTSIZE];
    prompt_dir(ctx, dir);
    prompt_search search;
    std::uint16_t more = UL_findfirst(pattern, 0, &search.found);
    if (first) {
        *first = more;
        UL_logshort(ctx, "findfirst=", std::int16_t(more));
    }
    for (; more == 0; more = UL_findnext(&search.found)) {
        RETURN_IF_FAILED(UL_checkabort(ctx));
        const char* name = search.found.filename;
        if (kept_as_wave(name)) continue;
        char full[TEXTSIZE];
        const bool fits = std::strlen(name) <= longest && full_name(full, dir, name);
        if (!fits && UL_logdetail(ctx)) UL_logstring(ctx, "name too long=", name);
        RETURN_IF_FAILED(visit(name, fits ? full : nullptr));
    }
    return ST_OK;
}

// The pattern of a pass: the prompt directory and the files' extension, traced.
void prompt_pattern(setup_context* ctx, char out[TEXTSIZE], const char* files)
{
    char dir[TEXTSIZE];
    prompt_dir(ctx, dir);
    UL_makepath(out, dir, files);
    UL_logstring(ctx, "tmpfile=", out);
}

struct name_list {
    char* names = nullptr;
    void* block = nullptr;
    int count = 0;
    std::size_t slot = 0;
    status_t take(std::size_t slotsize)
    {
        slot = slotsize;
        void* p = nullptr;
        status_t st = UL_allocmem(&p, std::uint32_t(LISTSLOTS * slotsize), &block);
        names = static_cast<char*>(p);
        return st;
    }
    void add(const char* name) { UL_copytext(names + count++ * slot, slot, name); }
    // The full name of entry i; it fitted when it was collected.
    void full(setup_context* ctx, int i, char out[TEXTSIZE]) const
    {
        char dir[TEXTSIZE];
        prompt_dir(ctx, dir);
        UL_makepath(out, dir, names + i * slot);
    }
    ~name_list()
    {
        if (block) UL_freemem(block);
    }
};

// One prompt of the voice file road: deleted, or converted beside itself.
status_t to_voicefile(setup_context* ctx, const vendor_road* row, const char* wavename, std::int16_t* converted)
{
    const bool remove = row->rockwell && ctx->INS_iniusevoxrock != 0;
    const bool external = row->rockwell && ctx->winversion == 2;
    if (!wavename) {
        UL_logline(ctx, "cannot convert");
        return ST_OK;
    }
    if (remove) {
        // The search yields no directories, so a directory link is never
        // entered; a file link is deleted as the link, its target stays.
        UL_deletefile(wavename);
        return ST_OK;
    }
    // The extension is the text from the last "." of the file's own name.
    char voicename[TEXTSIZE];
    UL_copytext(voicename, wavename);
    char* base = std::strrchr(voicename, '\\');
    char* dot = std::strrchr(base ? base : voicename, '.');
    if (!dot) {
        UL_logstring(ctx, "wrong file=", wavename);
        return ST_GENERAL;
    }
    *dot = '\0';
    UL_appendtext(voicename, ".VOX");
    std::uint32_t size = 0;
    RETURN_IF_FAILED(UL_filesize(ctx, wavename, &size));
    status_t st;
    if (external) {
        UL_logstring(ctx, "wavefile=", wavename);
        st = LVWAVE_wavetomodem(ctx, wavename, voicename, row->coding);
    } else {
        UL_logstring(ctx, "local convert wavefile=", wavename);
        st = LV_wavetomodem(ctx, wavename, voicename, row->coding);
    }
    INS_addfilesize(ctx, std::uint32_t(size));
    if (st != ST_OK) UL_logline(ctx, "cannot convert");
    else ++*converted;
    return ST_OK;
}

status_t voicefile_road(setup_context* ctx, const vendor_road* row)
{
    LV_makeheader(ctx->voiceheader, row->tag, std::uint8_t(row->coding));
    const bool remove = row->rockwell && ctx->INS_iniusevoxrock != 0;

    const std::uint32_t start = UL_gettickcount();
    char dir[TEXTSIZE], pattern[TEXTSIZE];
    prompt_dir(ctx, dir);
    prompt_pattern(ctx, pattern, "*.WAV");
    // A prompt folder that is a link would have the prompts of wherever it
    // points deleted.
    if (remove && UL_islink(dir)) {
        if (UL_logdetail(ctx)) UL_logstring(ctx, "prompt folder is a link, nothing removed: ", dir);
        return ST_OK;
    }
    std::int16_t converted = 0;
    RETURN_IF_FAILED(walk_prompts(ctx, pattern, TEXTSIZE, [&](const char*, const char* full) {
        return to_voicefile(ctx, row, full, &converted);
    }));
    UL_logshort(ctx, "numfiles=", converted);
    UL_loglong(ctx, "time convert=", std::int32_t(UL_gettickcount() - start));
    return ST_OK;
}

}  // namespace

const vendor_road* LV_findroad(const setup_context* ctx)
{
    const vendor_road* row = roads;
    for (; row->vendors[0] != -1; ++row) {
        bool listed = false;
        for (const std::int16_t* v = row->vendors; *v != -1; ++v)
            if (*v == ctx->INS_vendor) listed = true;
        if (!listed) continue;
        if (row->when == ATT8000_OFF && ctx->INS_iniuse8000waveatt != 0) continue;
        if (row->when == ATT8000_ON && ctx->INS_iniuse8000waveatt == 0) continue;
        return row;
    }
    return row;
}

status_t INS_convertscript(setup_context* ctx)
{
    status_t st = ST_OK;
    if (ctx->INS_whichprogram != 0) {
        if (ctx->INS_whichprogram < 2 && ctx->INS_convertvox != 0) {
            st = INS_decodeprompts(ctx);
        } else {
            INS_getwinversion(ctx, &ctx->winversion);
            UL_logshort(ctx, "INS_convertscript vendor=", ctx->INS_vendor);
            const vendor_road* row = LV_findroad(ctx);
            if (row->road == ROAD_RESAMPLE) st = INS_resampleprompts(ctx, row->rate, row->bits);
            else if (row->road == ROAD_VOICEFILE) st = voicefile_road(ctx, row);
        }
    }
    if (st == ST_OK) UL_logline(ctx, "INS_convertscript done");
    LV_releasecompressor(ctx);
    return st;
}

status_t INS_decodeprompts(setup_context* ctx)
{
    UL_logshort(ctx, "vendor=", ctx->INS_vendor);
    UL_logshort(ctx, "INS_convertvox2=", ctx->INS_convertvox);
    if (ctx->INS_convertvox == 0) return ST_OK;

    const std::uint32_t start = UL_gettickcount();
    name_list list;
    RETURN_IF_FAILED(list.take(DECODESLOT));
    char pattern[TEXTSIZE];
    prompt_pattern(ctx, pattern, ctx->INS_convertvox == 3 ? "*.VOX" : "*.WAV");
    std::uint16_t first = 0;
    RETURN_IF_FAILED(walk_prompts(
        ctx, pattern, DECODESLOT - 1,
        [&](const char* name, const char* full) {
            if (!full) return status_t(ST_GENERAL);
            list.add(name);
            return list.count == LISTSLOTS ? status_t(ST_GENERAL) : status_t(ST_OK);
        },
        &first));
    if (first != 0) return ST_OK;
    UL_logshort(ctx, "numfile=", std::int16_t(list.count));

    for (int i = 0; i < list.count; ++i) {
        RETURN_IF_FAILED(UL_checkabort(ctx));
        char name[TEXTSIZE];
        list.full(ctx, i, name);
        status_t st;
        switch (ctx->INS_convertvox) {
        case 1:
        case 2: st = LV_decodewavefile(ctx, name, name, 8); break;
        case 3: st = LV_convertvoxfile(ctx, name); break;
        default:
            UL_logshort(ctx, "oem ofr=", ctx->INS_convertvox);
            st = ST_GENERAL;
            break;
        }
        RETURN_IF_FAILED(st);
    }
    UL_loglong(ctx, "time convert=", std::int32_t(UL_gettickcount() - start));
    return ST_OK;
}

status_t INS_resampleprompts(setup_context* ctx, std::int32_t rate, std::int16_t bits)
{
    const std::uint32_t start = UL_gettickcount();
    name_list list;
    RETURN_IF_FAILED(list.take(RESAMPLESLOT));
    char pattern[TEXTSIZE];
    prompt_pattern(ctx, pattern, "*.WAV");
    RETURN_IF_FAILED(walk_prompts(ctx, pattern, RESAMPLESLOT - 1, [&](const char* name, const char* full) {
        if (!full) return status_t(ST_OK);  // a refused prompt stays as it is, like one that does not convert
        // More prompts than the list holds: none is converted rather than some silently not.
        if (list.count == LISTSLOTS) {
            if (UL_logdetail(ctx)) UL_logline(ctx, "too many prompts");
            return status_t(ST_GENERAL);
        }
        list.add(name);
        return status_t(ST_OK);
    }));
    UL_logshort(ctx, "numfiles=", std::int16_t(list.count));

    for (int i = 0; i < list.count; ++i) {
        RETURN_IF_FAILED(UL_checkabort(ctx));
        char name[TEXTSIZE];
        list.full(ctx, i, name);
        UL_logstring(ctx, "fromfile", name);
        std::uint32_t size = 0;
        UL_filesize(ctx, name, &size);
        // A prompt that is not 11025 Hz stays as it is.
        UL_wfresample(ctx, name, name, rate, bits);
        INS_addfilesize(ctx, std::uint32_t(size));
    }
    UL_loglong(ctx, "time convert=", std::int32_t(UL_gettickcount() - start));
    return ST_OK;
}
