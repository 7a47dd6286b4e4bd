// The copy plan from the medium and the total size of an installation.
#include "files/copyplan.h"
#include "files/copyplan_rows.h"

#include <cstdint>
#include <cstring>

#include "files/checkabort.h"
#include "files/expand.h"
#include "files/fileutil.h"
#include "files/installtree.h"
#include "files/log.h"
#include "modem/vendors.h"
#include "shell/text.h"

namespace {

// Subdirectories of the destination, parents before their children.
const char* const DIRS_FAX[] = {
    "TEMP", "RECEIVE", "SEND", "PROGRAM", "DATA", "SCRIPT1",
    "MBOX000", "MBOX000\\DSEND", "MBOX000\\DRECV", "MBOX000\\FOD", nullptr,
};

const char* const* const DIRS_OTHER = UL_INSTALLTREE;

struct plan_row {
    const char* source;  // below sourcedir
    const char* target;  // below pathname; "" is pathname itself
};

// List 1: only from a CD-ROM, where these lie beside the source directory.
const plan_row CDROM_ROWS[] = {
    {"..\\32PG", "PROGRAM"},
    {"..\\32DATA", "DATA"},
    {"..\\SDK", "SDK"},
};

// List 2: always.
const plan_row FIXED_ROWS[] = {
    {"PROGRAM", "PROGRAM"},
    {"DATA", "DATA"},
    {"SCRIPT1", "SCRIPT1"},
    {"SCRIPT2", "SCRIPT1"},  // into SCRIPT1, not SCRIPT2
    {"FOD", "MBOX000\\FOD"},
};

// List 3: by the modem vendor code; first matching line wins, the last line
// (no codes) serves every other vendor. Names exactly as on the medium.
struct vendor_rows {
    std::int16_t codes[3];  // unused places are -1
    plan_row rows[5];       // ends at the first row without a source
};

const vendor_rows VENDOR_ROWS[] = {
    {{VENDOR_CLS_GENERIC, VENDOR_ESS_VOICE, VENDOR_LUCENT},
     {{"ROCKPG", "PROGRAM"}, {"ROCKDAT", "DATA"}, {"ROCKSC1", "SCRIPT1"}, {"ROCKSC2", "SCRIPT2"}}},
    {{VENDOR_PHONEBLASTER, -1, -1},
     {{"ROCKPG", "PROGRAM"}, {"PBPG", "PROGRAM"}, {"PBDAT", "DATA"}, {"ROCKSC1", "SCRIPT1"}, {"ROCKSC2", "SCRIPT2"}}},
    {{VENDOR_ZOOM, -1, -1},
     {{"ZOOMPG", "PROGRAM"}, {"ZOOMDAT", "DATA"}, {"ZOOMSC1", "SCRIPT1"}, {"ZOOMSC2", "SCRIPT2"}}},
    {{VENDOR_ROCKWELL_ACF, VENDOR_MOTOROLA, -1},
     {{"ACFPG", "PROGRAM"}, {"PBDAT", "DATA"}, {"ACFSC1", "SCRIPT1"}, {"ACFSC2", "SCRIPT2"}}},
    {{VENDOR_UMC, -1, -1},
     {{"UMCPG", "PROGRAM"}, {"UMCDAT", "DATA"}, {"UMCSC1", "SCRIPT1"}, {"UMCSC2", "SCRIPT2"}}},
    {{VENDOR_PCTEL, -1, -1},
     {{"PCTPG", "PROGRAM"}, {"PCTDAT", "DATA"}, {"PCTSC1", "SCRIPT1"}, {"PCTSC2", "SCRIPT2"}}},
    {{VENDOR_MODEMBLASTER, -1, -1},
     {{"ROCKPG", "PROGRAM"}, {"MBPG", "PROGRAM"}, {"MBDAT", "DATA"}, {"ROCKSC1", "SCRIPT1"}, {"RCKSC2", "SCRIPT2"}}},
    {{VENDOR_HAYES, -1, -1},
     {{"HAYPG", "PROGRAM"}, {"HAYDAT", "DATA"}, {"HAYSC1", "SCRIPT1"}, {"HAYSC2", "SCRIPT2"}}},
    {{VENDOR_CIRRUS_VCL, VENDOR_CIRRUS, -1},
     {{"CIRPG", "PROGRAM"}, {"CIRDAT", "DATA"}, {"CIRSC1", "SCRIPT1"}, {"CIRSC2", "SCRIPT2"}}},
    {{VENDOR_CIRRUS_VCID, -1, -1},
     {{"CIRUPG", "PROGRAM"}, {"CIRUDAT", "DATA"}, {"CIRUSC1", "SCRIPT1"}, {"CIRUSC2", "SCRIPT2"}}},
    {{VENDOR_MODEMBLASTER_PLUS, -1, -1},
     {{"MBPPG", "PROGRAM"}, {"MBPDAT", "DATA"}, {"ROCKSC1", "SCRIPT1"}, {"RCKSC2", "SCRIPT2"}}},
    {{VENDOR_SIERRA, VENDOR_SIERRA_V32, -1},
     {{"SIEPG", "PROGRAM"}, {"SIEDAT", "DATA"}, {"SIESC1", "SCRIPT1"}, {"SIESC2", "SCRIPT2"}}},
    {{VENDOR_USROBOTICS, -1, -1},
     {{"USRPG", "PROGRAM"}, {"USRDAT", "DATA"}, {"USRSC1", "SCRIPT1"}, {"USRSC2", "SCRIPT2"}}},
    {{VENDOR_ATT, -1, -1},
     {{"ATTPG", "PROGRAM"}, {"ATTDAT", "DATA"}, {"ATTSC1", "SCRIPT1"}, {"ATTSC2", "SCRIPT2"}}},
    {{VENDOR_ZYXEL, VENDOR_ZYXEL_2864, -1},
     {{"ZYXPG", "PROGRAM"}, {"ZYXDAT", "DATA"}, {"ZYXSC1", "SCRIPT1"}, {"ZYXSC2", "SCRIPT2"}}},
    {{VENDOR_CONEXANT_HCF, -1, -1},
     {{"PROGRAM", "PROGRAM"}, {"DATA", "DATA"}, {"ATTSC1", "SCRIPT1"}}},
    {{VENDOR_CONEXANT_IS101, VENDOR_LUCENT_IS101, -1},
     {{"S101PG", "PROGRAM"}, {"S101DAT", "DATA"}, {"S101SC1", "SCRIPT1"}, {"S101SC2", "SCRIPT2"}}},
    {{VENDOR_FAXONLY, -1, -1},
     {{"FAXPG", "PROGRAM"}, {"FAXDAT", "DATA"}}},
    {{-1, -1, -1}, {{"ATTSC1", "SCRIPT1"}}},  // any other vendor
};

const vendor_rows& rows_for_vendor(std::int16_t vendor)
{
    const std::size_t count = sizeof VENDOR_ROWS / sizeof VENDOR_ROWS[0];
    for (std::size_t i = 0; i + 1 < count; ++i)
        for (std::int16_t code : VENDOR_ROWS[i].codes)
            if (code >= 0 && code == vendor) return VENDOR_ROWS[i];
    return VENDOR_ROWS[count - 1];
}

status_t copy_row(setup_context* ctx, const copyplan_row& row)
{
    char target[TEXTSIZE];
    UL_copytext(target, ctx->pathname);
    if (row.target[0] != '\0') {
        UL_appendtext(target, row.target);
        UL_appendtext(target, "\\");
    }
    char source[TEXTSIZE];
    UL_copytext(source, ctx->sourcedir);
    UL_appendtext(source, row.source);
    UL_appendtext(source, "\\");
    if (row.list == PLAN_CDROM) UL_logline(ctx, "Before INS_expanddirectory");
    if (row.list == PLAN_FIXED) UL_logstring(ctx, "expanddirectory from", source);
    if (row.list == PLAN_VENDOR) UL_logline(ctx, "@@@@ INS_expanddirectory");
    return INS_expanddirectory(ctx, target, source);
}

// The product's own directory list decides which targets exist. A modem without
// voice turns any product into the fax product after the set was made for
// another: a Pro CD-ROM then still carries ..\SDK (and *SC2 rows), whose targets
// the fax product never makes, and copying their files would stop the
// installation with 906. Such rows are left out; a row without files runs as
// ever (it copies nothing).
bool product_makes(const setup_context* ctx, const char* target)
{
    if (target[0] == '\0') return true;
    for (const char* const* name = INS_directorylist(ctx->INS_whichprogram); *name && **name; ++name)
        if (UL_equalnocase(*name, target)) return true;
    return false;
}

bool source_has_files(const setup_context* ctx, const copyplan_row& row)
{
    char pattern[TEXTSIZE];
    UL_copytext(pattern, ctx->sourcedir);
    UL_appendtext(pattern, row.source);
    UL_appendtext(pattern, "\\*.*");
    find_record found = {};
    if (UL_findfirst(pattern, 0, &found) != 0) return false;
    UL_findclose(&found);
    return true;
}

status_t expand_directory_files(setup_context* ctx, const char* targetdir, const char* sourcedir, find_record* found)
{
    for (;;) {
        RETURN_IF_FAILED(UL_checkabort(ctx));
        char name[TEXTSIZE];
        // The medium holds 8.3 names; a longer one is not ours to copy.
        if (UL_trim(name, found->filename) != ST_OK) name[0] = '\0';
        UL_logstring(ctx, "tmpfile=", name);
        if (name[0] != '\0') {
            char source[TEXTSIZE], target[TEXTSIZE];
            UL_makepath(source, sourcedir, name);
            UL_makepath(target, targetdir, name);
            RETURN_IF_FAILED(INS_expandfile(ctx, target, source));
            if (ctx->filecopied) ctx->filecopied(ctx, target);
        }
        if (UL_findnext(found) != 0) return ST_OK;
    }
}

}  // namespace

status_t INS_expanddirectory(setup_context* ctx, const char* targetdir, const char* sourcedir)
{
    char pattern[TEXTSIZE];
    UL_makepath(pattern, sourcedir, "*.*");
    UL_logstring(ctx, "expand dir=", pattern);
    find_record found = {};
    if (UL_findfirst(pattern, 0, &found) != 0) {
        UL_logstring(ctx, "dir empty/missing: ", sourcedir);
        return ST_OK;
    }
    status_t st = expand_directory_files(ctx, targetdir, sourcedir, &found);
    UL_findclose(&found);
    if (st != ST_OK) {
        UL_logerror(ctx, "INS_expanddirectory", st);
        UL_logstring(ctx, "expand from dir ", sourcedir);
        UL_logstring(ctx, "expand to   dir ", targetdir);
    }
    return st;
}

const char* const* INS_directorylist(std::int16_t whichprogram)
{
    return (whichprogram == 0 || whichprogram == 1) ? DIRS_FAX : DIRS_OTHER;
}

std::vector<copyplan_row> INS_copyplanrows(std::int16_t vendor, bool cdrom)
{
    std::vector<copyplan_row> rows;
    if (cdrom)
        for (const plan_row& r : CDROM_ROWS) rows.push_back({r.source, r.target, PLAN_CDROM});
    for (const plan_row& r : FIXED_ROWS) rows.push_back({r.source, r.target, PLAN_FIXED});
    for (const plan_row& r : rows_for_vendor(vendor).rows) {
        if (!r.source) break;
        rows.push_back({r.source, r.target, PLAN_VENDOR});
    }
    return rows;
}

status_t INS_expandall(setup_context* ctx)
{
    bool vendorlist = false;
    for (const copyplan_row& row : INS_copyplanrows(ctx->INS_vendor, ctx->INS_cdrom != 0)) {
        if (row.list == PLAN_VENDOR && !vendorlist) {
            UL_logshort(ctx, "copying INS_vendor=", ctx->INS_vendor);
            vendorlist = true;
        }
        if (!product_makes(ctx, row.target) && source_has_files(ctx, row)) {
            if (UL_logdetail(ctx)) UL_logstring(ctx, "not for product: ", row.target);
            continue;
        }
        RETURN_IF_FAILED(copy_row(ctx, row));
    }
    return ST_OK;
}

status_t INS_getfilesize(setup_context* ctx)
{
    UL_logline(ctx, "enter INS_getfilesize");
    char path[TEXTSIZE];
    UL_makepath(path, ctx->sourcedir, "FILESIZE.txt");
    UL_logstring(ctx, "filename =", path);
    std::uint16_t exists = 0;
    UL_fileexists(path, &exists);
    if (!exists) return ST_NOT_AVAILABLE;
    line_reader reader;
    RETURN_IF_FAILED(UL_readlineopen(ctx, &reader, path));
    char line[TEXTSIZE] = {};
    std::uint16_t end = 0, length = 0;
    status_t st = UL_readline(ctx, &reader, line, sizeof line, &end, &length);
    if (st == ST_OK && length != 0) ctx->totalfilesize = std::int32_t(UL_atol(line));
    UL_readlineclose(ctx, &reader);
    if (st != ST_OK) return st;
    UL_logstring(ctx, "ffilesize.txt==", path);
    UL_loglong(ctx, "total size=", ctx->totalfilesize);
    return ST_OK;
}
