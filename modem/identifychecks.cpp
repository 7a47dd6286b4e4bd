// The sub-tests of the identification: voice class, maker answer, ESS, the
// INSTALL.INI match sections and ATI patterns, ZyXEL, Sierra and the firmware
// check of code-31 modems.
#include <cstdio>
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "modem/atcommand.h"
#include "modem/identify.h"
#include "modem/serialport.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

enum { MAKERCOPYSIZE = 256 };

// What a maker name in the answer to "AT+GMI?" leads to; first hit wins.
enum maker_action { MAKER_CODE, MAKER_ROCKWELL, MAKER_MOTOROLA, MAKER_CIRRUS };

struct maker_row {
    const char* name;
    maker_action action;
    vendor_code code;
};

const maker_row gmi_makers[] = {
    {"ESS", MAKER_CODE, VENDOR_ESS},
    {"LUCENT", MAKER_CODE, VENDOR_LUCENT},
    {"ROCKWELL", MAKER_ROCKWELL, {}},  // the sub-test decides
    {"CONEXANT", MAKER_ROCKWELL, {}},
    {"MOTOROLA", MAKER_MOTOROLA, {}},
    {"PCTEL", MAKER_CODE, VENDOR_PCTEL},
    {"CIRRUS", MAKER_CIRRUS, {}},
};

// The answer to "AT#MFR?", asked when "AT+GMI?" got no OK.
const maker_row mfr_makers[] = {
    {"MOTOROLA", MAKER_CODE, VENDOR_MOTOROLA},
    {"ESS TECHNOLOGY", MAKER_CODE, VENDOR_ESS},
};

// The ATI patterns of INSTALL.INI, first hit wins.
struct ati_pattern_row {
    char (setup_context::*pattern)[TEXTSIZE];
    int area;
    ati_match_code code;
};

const ati_pattern_row ati_pattern_rows[] = {
    {&setup_context::INS_ati3, ATI3_AREA, ATIMATCH_ATI3},
    {&setup_context::INS_ati3a, ATI3_AREA, ATIMATCH_ATI3A},
    {&setup_context::INS_ati4, ATI4_AREA, ATIMATCH_ATI4},
    {&setup_context::INS_ati4a, ATI4_AREA, ATIMATCH_ATI4A},
    {&setup_context::INS_ati4fax, ATI4_AREA, ATIMATCH_ATI4FAX},
};

// The keys of a match section with the answer each is searched in and its trace labels.
struct match_key {
    const char* key;
    int area;
    const char* answerlabel;
    const char* patternlabel;
    const char* wherelabel;
};

const match_key match_keys[] = {
    {"ATI3", ATI3_AREA, "ati3=", "ati3 s=", "ati3where="},
    {"ATI4", ATI4_AREA, "ati4=", "ati4 s=", "ati4where="},
    {"ATI7", ATI7_AREA, "ati7=", "ati7 s=", "ati7where="},
};

// Send, pause, then wait up to 5 s for OK.
status_t sendwait(setup_context* ctx, const char* command, std::uint32_t pause, std::uint16_t* found)
{
    *found = 0;
    RETURN_IF_FAILED(CM_send(ctx, command));
    CM_sleep(ctx, pause);
    UL_logstring(ctx, "Checking ", command);
    return CM_waitfor(ctx, "OK\r\n", 5, found);
}

// Status of an expect step that the caller may take as "not accepted" (2107).
bool refused(status_t st) { return st == ST_NO_OK; }

// The received answer up to its first NUL, cut to fit, then flushed and upper-cased.
status_t takemakeranswer(setup_context* ctx, char copy[MAKERCOPYSIZE])
{
    std::size_t limit = ctx->CM_buffer ? std::size_t(ctx->CM_where > 0 ? ctx->CM_where : 0) : 0;
    if (limit > MAKERCOPYSIZE - 1) limit = MAKERCOPYSIZE - 1;
    const unsigned char* answer = ctx->CM_buffer ? ctx->CM_buffer : (const unsigned char*)"";
    UL_copyleft(copy, MAKERCOPYSIZE, reinterpret_cast<const char*>(answer), limit);
    RETURN_IF_FAILED(CM_flush(ctx));
    for (char* c = copy; *c; ++c)
        if (*c >= 'a' && *c <= 'z') *c = char(*c - 'a' + 'A');
    return ST_OK;
}

void tracefound(setup_context* ctx, const char* label)
{
    char text[80];
    CM_buffertext(ctx, text, 0);
    UL_logstring(ctx, label, text);
    UL_logshort(ctx, " CM_where=", ctx->CM_where);
}

status_t rockwell(setup_context* ctx, std::int16_t* code)
{
    std::uint16_t ok = 0;
    RETURN_IF_FAILED(sendwait(ctx, "AT+FCLASS=8", 20, &ok));
    if (ok) {
        RETURN_IF_FAILED(CM_sendexpect(ctx, "AT+FCLASS=0"));
        RETURN_IF_FAILED(sendwait(ctx, "AT+GMR?", 20, &ok));
        *code = VENDOR_CONEXANT_HCF;
        if (!ok) return ST_OK;
        char text[80];
        CM_buffertext(ctx, text, 0);
        UL_logstring(ctx, "CM_buffer=", text);
        char copy[MAKERCOPYSIZE];
        RETURN_IF_FAILED(takemakeranswer(ctx, copy));
        if (std::strstr(copy, "V90_2M_DL")) *code = VENDOR_CONEXANT_IS101;
        return ST_OK;
    }
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VLS=6", &ok));
    if (!ok) {
        *code = VENDOR_ROCKWELL_ACF;
        return ST_OK;
    }
    RETURN_IF_FAILED(CM_sendexpect(ctx, "AT#VLS=0"));
    *code = VENDOR_MODEMBLASTER;
    return ST_OK;
}

status_t motorola(setup_context* ctx, std::int16_t* code)
{
    status_t st = CM_sendexpect(ctx, "AT#CLS=8");
    if (refused(st)) {
        *code = VENDOR_MOTOROLA_NOCLASS;
        return ST_OK;
    }
    RETURN_IF_FAILED(st);
    UL_logstring(ctx, "after ", "AT#CLS=8");
    RETURN_IF_FAILED(CM_sendexpect(ctx, "AT#CLS=0"));
    *code = VENDOR_MOTOROLA;
    return ST_OK;
}

status_t cirrus(setup_context* ctx, std::int16_t* code)
{
    status_t st = CM_sendexpect(ctx, "AT+FCLASS=8");
    if (refused(st)) {
        UL_logline(ctx, "No maker matched");
        return ST_OK;
    }
    RETURN_IF_FAILED(st);
    RETURN_IF_FAILED(CM_sendexpect(ctx, "AT+FCLASS=0"));
    *code = VENDOR_CIRRUS;
    return ST_OK;
}

const maker_row* firstmaker(const char* copy, const maker_row* rows, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (std::strstr(copy, rows[i].name)) return &rows[i];
    return nullptr;
}

}  // namespace

status_t INS_checkvoicemodem(setup_context* ctx, std::uint16_t* voice)
{
    UL_logline(ctx, "INS_checkvoicemodem");
    *voice = 0;
    std::uint16_t ok = 0;
    RETURN_IF_FAILED(sendwait(ctx, "AT+FCLASS=8", 20, &ok));
    if (ok) {
        RETURN_IF_FAILED(CM_sendexpect(ctx, "AT+FCLASS=0"));
        *voice = 1;
        return ST_OK;
    }
    RETURN_IF_FAILED(sendwait(ctx, "AT#CLS=8", 20, &ok));
    if (!ok) return ST_OK;
    RETURN_IF_FAILED(CM_sendexpect(ctx, "AT#CLS=0"));
    *voice = 1;
    return ST_OK;
}

status_t INS_checkmaker(setup_context* ctx, std::int16_t* code, char tag[TEXTSIZE])
{
    UL_logline(ctx, "INS_checkmaker");
    *code = 0;
    tag[0] = '\0';
    RETURN_IF_FAILED(CM_flush(ctx));
    std::uint16_t ok = 0;
    char copy[MAKERCOPYSIZE];
    RETURN_IF_FAILED(sendwait(ctx, "AT+GMI?", 20, &ok));
    if (ok) {
        tracefound(ctx, "found CM_buffer=");
        RETURN_IF_FAILED(takemakeranswer(ctx, copy));
        const maker_row* maker = firstmaker(copy, gmi_makers, sizeof gmi_makers / sizeof gmi_makers[0]);
        if (!maker) {
            UL_logline(ctx, "No maker matched");
            return ST_OK;
        }
        switch (maker->action) {
        case MAKER_CODE: *code = maker->code; return ST_OK;
        case MAKER_ROCKWELL: return rockwell(ctx, code);
        case MAKER_MOTOROLA: return motorola(ctx, code);
        case MAKER_CIRRUS: return cirrus(ctx, code);
        }
        return ST_OK;
    }
    RETURN_IF_FAILED(sendwait(ctx, "AT#MFR?", 20, &ok));
    if (!ok) {
        UL_logline(ctx, "No maker matched 2");
        return ST_OK;
    }
    tracefound(ctx, "found #MFR=");
    RETURN_IF_FAILED(takemakeranswer(ctx, copy));
    const maker_row* maker = firstmaker(copy, mfr_makers, sizeof mfr_makers / sizeof mfr_makers[0]);
    if (maker) *code = maker->code;
    else UL_logline(ctx, "No maker matched 2");
    return ST_OK;
}

status_t INS_checkess(setup_context* ctx, std::uint16_t* found)
{
    *found = 0;
    std::uint16_t ok = 0;
    CM_sendcheck(ctx, "AT+GMI?", &ok);
    UL_logstring(ctx, "Checking ", "AT+GMI?");
    UL_logshort(ctx, "ok=", std::int16_t(ok));
    if (!ok) return ST_OK;
    UL_logshort(ctx, "CM_where=", ctx->CM_where);
    if (INS_inanswer(ctx, "ESS")) {
        UL_logline(ctx, "Found ESS");
        *found = 1;
    } else {
        CM_tracebuffer(ctx);
    }
    return ST_OK;
}

status_t INS_checkatimatch(setup_context* ctx, std::int16_t kind, std::int16_t* code, char tag[TEXTSIZE])
{
    UL_logshort(ctx, "INS_checkatimatch is101=", kind);
    char found_tag[TEXTSIZE] = {};
    std::int16_t found_code = 0;
    // Sections are numbered from 1; the first one without VENDOR or VENDORINI ends the list.
    for (long n = 1;; ++n) {
        char section[32];
        std::snprintf(section, sizeof section, "%s%ld", kind == 1 ? "IS101MATCH" : "VENDORMATCH", n);
        UL_logstring(ctx, "title=", section);
        char value[TEXTSIZE];
        RETURN_IF_FAILED(INS_readinstallkey(ctx, section, "VENDOR", value));
        if (!value[0]) {
            UL_logline(ctx, "ATI not found");
            found_code = 0;
            found_tag[0] = '\0';
            break;
        }
        std::int16_t sectioncode = std::int16_t(UL_atol(value));
        RETURN_IF_FAILED(INS_readinstallkey(ctx, section, "VENDORINI", value));
        if (!value[0]) {
            UL_logline(ctx, "ATI not found");
            found_code = 0;
            found_tag[0] = '\0';
            break;
        }
        char trimmed[TEXTSIZE];
        UL_trim(trimmed, value);
        UL_copyleft(found_tag, sizeof found_tag, trimmed, VENDORINI_MAX);

        bool match = false;
        for (const match_key& key : match_keys) {
            RETURN_IF_FAILED(INS_readinstallkey(ctx, section, key.key, value));
            if (!value[0] || ctx->atilength[key.area] <= 0 || !ctx->atiblock) continue;
            char answer[80];
            UL_copyleft(answer, sizeof answer, reinterpret_cast<const char*>(ctx->atiblock + key.area * ATI_AREASIZE),
                        79);
            UL_logstring(ctx, key.answerlabel, answer);
            UL_logstring(ctx, key.patternlabel, value);
            UL_logshort(ctx, key.wherelabel, ctx->atilength[key.area]);
            if (INS_findinati(ctx, key.area, value) >= 0) {
                match = true;
                break;
            }
        }
        if (match) {
            found_code = sectioncode;
            UL_logshort(ctx, "found vendor=", found_code);
            break;
        }
    }
    *code = found_code;
    UL_copytext(tag, TEXTSIZE, found_tag);
    UL_logshort(ctx, "found vendor=", found_code);
    UL_logstring(ctx, "check vendorini=", found_tag);
    return ST_OK;
}

status_t INS_checkati(setup_context* ctx, std::int16_t* code)
{
    *code = ATIMATCH_NONE;
    for (const ati_pattern_row& row : ati_pattern_rows) {
        const char* pattern = ctx->*row.pattern;
        if (!pattern[0]) continue;
        if (row.pattern == &setup_context::INS_ati4fax) UL_logstring(ctx, "ati4fax=", pattern);
        if (INS_findinati(ctx, row.area, pattern) >= 0) {
            *code = row.code;
            break;
        }
    }
    UL_logshort(ctx, "checkati=", *code);
    return ST_OK;
}

status_t INS_checkzyxel(setup_context* ctx, std::uint16_t* found)
{
    *found = 0;
    // Any failure here only means that this is not a ZyXEL modem.
    if (CM_sendexpect(ctx, "ATI2") != ST_OK) return ST_OK;
    CM_sleep(ctx, 100);
    if (!INS_inanswer(ctx, "ZyXEL")) return ST_OK;
    if (CM_sendexpect(ctx, "ATI") != ST_OK) ctx->INS_vendor = VENDOR_ZYXEL;
    else ctx->INS_vendor = INS_inanswer(ctx, "2864") ? VENDOR_ZYXEL_2864 : VENDOR_ZYXEL;
    *found = 1;
    return ST_OK;
}

status_t INS_checksierra(setup_context* ctx, std::uint16_t* found)
{
    *found = 0;
    std::uint16_t ok = 0;
    CM_sendcheck(ctx, "AT#VS1", &ok);
    if (ok) {
        ctx->INS_vendor = VENDOR_SIERRA;
        *found = 1;
    }
    UL_logshort(ctx, "checksierra=", std::int16_t(*found));
    return ST_OK;
}

namespace {

enum : std::uint32_t { VOICEWATCH = 5000 };
enum { CANCELAFTER = 100 };

const cm_answer voicestart[] = {"VCON", "CONNECT"};

// Starts voice reception and watches the data until DLE ETX or the time-out; the caller handles a failure.
status_t watchvoicedata(setup_context* ctx)
{
    RETURN_IF_FAILED(CM_send(ctx, "AT#VLS=1"));
    UL_logstring(ctx, "done ", "AT#VLS=1");
    std::int16_t index = -1;
    RETURN_IF_FAILED(CM_waitforany(ctx, voicestart, 2, 5, &index));
    if (index < 0) return ST_NOT_AVAILABLE;
    RETURN_IF_FAILED(CM_send(ctx, "AT#VRX"));
    UL_logstring(ctx, "done ", "AT#VRX");
    std::uint16_t found = 0;
    RETURN_IF_FAILED(CM_waitfor(ctx, "CONNECT\r\n", 5, &found));
    if (!found) return ST_NOT_AVAILABLE;

    std::int16_t scan = 0;
    bool cancelled = false;
    std::uint32_t start = UL_gettickcount();
    for (;;) {
        // Only a complete pair is tested, so a DLE ETX split over two reads is still seen.
        if (scan + 2 <= ctx->CM_where) {
            if (ctx->CM_buffer[scan] == 0x10 && ctx->CM_buffer[scan + 1] == 0x03) break;
            ++scan;
        } else {
            CM_sleep(ctx, 1);
        }
        RETURN_IF_FAILED(CM_read(ctx));
        UL_pumpmessage(ctx);
        if (UL_gettickcount() - start > VOICEWATCH) {
            UL_logline(ctx, "timeout");
            break;
        }
        if (ctx->CM_where >= CANCELAFTER && !cancelled) {
            UL_logline(ctx, "sending cancel");
            static const unsigned char cancel[3] = {0x00, 0x10, 0x18};
            CM_write(ctx, cancel, 3);
            cancelled = true;
        }
    }
    return ST_OK;
}

}  // namespace

status_t INS_checkusrversion(setup_context* ctx, std::int16_t* usrversion)
{
    *usrversion = 1;
    status_t st = watchvoicedata(ctx);
    if (st != ST_OK) {
        UL_logerror(ctx, "INS_checkusrversion", st);
        CM_tracebuffer(ctx);
        CM_flush(ctx);
        CM_flush(ctx);
        return st;
    }
    CM_tracebuffer(ctx);
    std::int16_t at = -1;
    CM_find(ctx, ctx->CM_buffer, "CONNECT\r\n", ctx->CM_where, &at);
    // The two bytes after the CONNECT are the first voice samples.
    if (at >= 0 && at + 11 <= ctx->CM_where) {
        unsigned char first = ctx->CM_buffer[at + 9];
        unsigned char second = ctx->CM_buffer[at + 10];
        if (first == second && (first == 0xB6 || first == 0xFE)) *usrversion = 0;
        else if (first == second) UL_logshort(ctx, "c1=", std::int16_t(first));
    }
    UL_logshort(ctx, "usrversion=", *usrversion);
    CM_flush(ctx);
    return ST_OK;
}
