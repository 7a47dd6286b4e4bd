// The decision tree that turns a modem's answers into the vendor code.
#include "modem/identify.h"

#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "modem/atcommand.h"
#include "modem/modem.h"
#include "modem/serialport.h"
#include "shell/messages.h"
#include "shell/text.h"

namespace {

// The answer tests of the #CLS branch, first hit wins. A row with `alsowith`
// gives `alsoresult` when that text occurs in the same answer too.
struct cls_answer_test {
    int area;
    const char* contains;
    const char* alsowith;
    vendor_code alsoresult;
    vendor_code result;
};

const cls_answer_test cls_answer_tests[] = {
    {ATI4_AREA, "PhoneBlaster", nullptr, {}, VENDOR_PHONEBLASTER},
    {ATI4_AREA, "Phone Blaster", nullptr, {}, VENDOR_PHONEBLASTER},
    {ATI4_AREA, "ModemBlaster", "Plus", VENDOR_MODEMBLASTER_PLUS, VENDOR_MODEMBLASTER},
    {ATI4_AREA, "Modem Blaster", "Plus", VENDOR_MODEMBLASTER_PLUS, VENDOR_MODEMBLASTER},
    {ATI7_AREA, "Hayes", nullptr, {}, VENDOR_HAYES},
    {ATI4_AREA, "UMC", nullptr, {}, VENDOR_UMC},
    {ATI4_AREA, "DAVICOM", nullptr, {}, VENDOR_UMC},
    {ATI4_AREA, "PCtel", nullptr, {}, VENDOR_PCTEL},
};

// The saved ATI queries: command, pause before the wait, area.
struct ati_query {
    const char* command;
    std::uint32_t pause;
    int area;
};

const ati_query ati_queries[] = {
    {"ATI3", 20, ATI3_AREA},
    {"ATI4", 20, ATI4_AREA},
    {"ATI7", 50, ATI7_AREA},
};

status_t checkafter(setup_context* ctx, const char* command, std::uint16_t* ok)
{
    RETURN_IF_FAILED(CM_sendcheck(ctx, command, ok));
    UL_logstring(ctx, "after ", command);
    return ST_OK;
}

status_t saveati(setup_context* ctx, const ati_query& query)
{
    std::uint16_t found = 0;
    RETURN_IF_FAILED(CM_send(ctx, query.command));
    CM_sleep(ctx, query.pause);
    UL_logstring(ctx, "Checking ", query.command);
    RETURN_IF_FAILED(CM_waitfor(ctx, "OK\r\n", 5, &found));
    char text[80];
    CM_buffertext(ctx, text, 0);
    UL_logstring(ctx, "CM_buffer=", text);
    if (found && ctx->CM_buffer) {
        std::memcpy(ctx->atiblock + query.area * ATI_AREASIZE, ctx->CM_buffer, ATI_AREASIZE - 1);
        ctx->atilength[query.area] = ctx->CM_where;
    }
    return ST_OK;
}

status_t fortheproduct(setup_context* ctx)
{
    ctx->INS_whichprogram = 0;
    return INS_loadidentity(ctx);
}

// One step of the tree. It sets *decided once INS_vendor holds the result;
// otherwise the next step runs.
typedef status_t (*tree_step)(setup_context* ctx, bool* decided);

// Ends the tree with code.
status_t endwith(setup_context* ctx, vendor_code code, bool* decided)
{
    ctx->INS_vendor = code;
    *decided = true;
    return ST_OK;
}

// A maker answer or a match section that named the vendor gives its code and data-set tag.
void takenamed(setup_context* ctx, std::int16_t code, const char* tag, bool* decided)
{
    if (code == 0) return;
    UL_copytext(ctx->INS_vendorini, tag);
    ctx->INS_vendor = code;
    *decided = true;
}

status_t presetvendor(setup_context* ctx, bool* decided)
{
    if (ctx->INS_vendor <= 0) return ST_OK;
    UL_logshort(ctx, "No autodetect-Vendor=", ctx->INS_vendor);
    *decided = true;
    return ST_OK;
}

// A modem without voice turns the installation into the fax product, and the
// fax product needs nothing more of the modem.
status_t faxproduct(setup_context* ctx, bool* decided)
{
    std::uint16_t voice = 0;
    RETURN_IF_FAILED(INS_checkvoicemodem(ctx, &voice));
    if (!voice) {
        UL_logline(ctx, "not voice modem");
        RETURN_IF_FAILED(fortheproduct(ctx));
    }
    if (ctx->INS_whichprogram != 0) return ST_OK;
    UL_logline(ctx, "Didovada install");
    ctx->INS_modem = 2;
    return endwith(ctx, VENDOR_FAXONLY, decided);
}

status_t answerblock(setup_context* ctx, bool*) { return INS_allocatiblock(ctx); }

status_t makeranswer(setup_context* ctx, bool* decided)
{
    std::int16_t code = 0;
    char tag[TEXTSIZE] = {};
    RETURN_IF_FAILED(INS_checkmaker(ctx, &code, tag));
    takenamed(ctx, code, tag, decided);
    return ST_OK;
}

status_t saveatianswers(setup_context* ctx, bool*)
{
    for (const ati_query& query : ati_queries) RETURN_IF_FAILED(saveati(ctx, query));
    return ST_OK;
}

status_t essanswer(setup_context* ctx, bool* decided)
{
    std::uint16_t found = 0;
    RETURN_IF_FAILED(INS_checkess(ctx, &found));
    if (found) return endwith(ctx, VENDOR_ESS, decided);
    return ST_OK;
}

status_t matchsections(setup_context* ctx, std::int16_t kind, bool* decided)
{
    std::int16_t code = 0;
    char tag[TEXTSIZE] = {};
    RETURN_IF_FAILED(INS_checkatimatch(ctx, kind, &code, tag));
    takenamed(ctx, code, tag, decided);
    return ST_OK;
}

status_t is101sections(setup_context* ctx, bool* decided) { return matchsections(ctx, 1, decided); }
status_t vendorsections(setup_context* ctx, bool* decided) { return matchsections(ctx, 0, decided); }

// The +VSM voice commands: "CL1" compression is Cirrus Logic's, any other AT&T's.
status_t vsmcommands(setup_context* ctx, bool* decided)
{
    std::uint16_t ok = 0;
    RETURN_IF_FAILED(checkafter(ctx, "AT+VSM=?", &ok));
    if (!ok) return ST_OK;
    if (INS_inanswer(ctx, "CL1")) return endwith(ctx, VENDOR_CIRRUS, decided);
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT+ES=?", &ok));  // only traced
    return endwith(ctx, VENDOR_ATT, decided);
}

// A parallel-port modem names its speed in the ATI4 answer.
bool parallelport(setup_context* ctx)
{
    if (INS_findinati(ctx, ATI4_AREA, "PARALLEL") < 0) return false;
    if (INS_findinati(ctx, ATI4_AREA, "V34") >= 0) ctx->INS_vendor = VENDOR_SIERRA;
    else if (INS_findinati(ctx, ATI4_AREA, "V32") >= 0) ctx->INS_vendor = VENDOR_SIERRA_V32;
    else return false;
    return true;
}

// The #CLS modems whose saved answers name the model; first hit wins.
bool clsnamedinanswers(setup_context* ctx)
{
    for (const cls_answer_test& test : cls_answer_tests) {
        if (INS_findinati(ctx, test.area, test.contains) < 0) continue;
        bool also = test.alsowith && INS_findinati(ctx, test.area, test.alsowith) >= 0;
        ctx->INS_vendor = also ? test.alsoresult : test.result;
        return true;
    }
    return false;
}

// A #CLS modem that rates its voice at 8000 Hz is a U.S. Robotics one; "ACF"
// in the ATI3 answer or a taken "AT#VBS=8" is a Rockwell ACF one.
status_t clsvoicerate(setup_context* ctx, bool* decided)
{
    std::uint16_t ok = 0;
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VSR=?", &ok));
    if (ok) {
        if (INS_inanswer(ctx, "8000")) return endwith(ctx, VENDOR_USROBOTICS, decided);
        CM_tracebuffer(ctx);
    }
    if (INS_findinati(ctx, ATI3_AREA, "ACF") >= 0) return endwith(ctx, VENDOR_ROCKWELL_ACF, decided);
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VBS=8", &ok));
    if (ok) return endwith(ctx, VENDOR_ROCKWELL_ACF, decided);
    return ST_OK;
}

// The modem speaks the #CLS voice command set: this branch always ends the tree,
// with VENDOR_CLS_GENERIC when nothing names the modem.
status_t clsmodem(setup_context* ctx)
{
    ctx->INS_modem = 3;
    UL_logstring(ctx, "xafter=", "AT#CLS=8");
    if (clsnamedinanswers(ctx)) return ST_OK;
    bool decided = false;
    RETURN_IF_FAILED(clsvoicerate(ctx, &decided));
    if (decided) return ST_OK;
    std::uint16_t found = 0;
    RETURN_IF_FAILED(INS_checkzyxel(ctx, &found));
    if (found) return ST_OK;
    std::uint16_t ok = 0;
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VLS=6", &ok));
    if (!ok) return ST_OK;
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VLS=0", &ok));
    ctx->INS_vendor = VENDOR_MODEMBLASTER;
    return ST_OK;
}

// "AT#CLS=8" refused: the #VCL voice commands are Cirrus Logic's, with caller ID
// when "AT#VCID=1" is taken too. Without them the tree goes on.
status_t vclcommands(setup_context* ctx, bool* decided)
{
    std::uint16_t ok = 0;
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VCL=1", &ok));
    if (!ok) return CM_sendcheck(ctx, "AT+FCLASS=8", &ok);  // only traced
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VCID=1", &ok));
    return endwith(ctx, ok ? VENDOR_CIRRUS_VCID : VENDOR_CIRRUS_VCL, decided);
}

// The INSTALL.INI ATI patterns, then the voice command set the modem takes.
// The fax pattern's match skips straight on to the Sierra test.
status_t voicecommandset(setup_context* ctx, bool* decided)
{
    RETURN_IF_FAILED(INS_checkati(ctx, &ctx->atimatchcode));
    if (ctx->atimatchcode == ATIMATCH_ATI4FAX) return ST_OK;
    ctx->INS_vendor = VENDOR_CLS_GENERIC;
    if (parallelport(ctx)) {
        *decided = true;
        return ST_OK;
    }
    std::uint16_t ok = 0;
    RETURN_IF_FAILED(checkafter(ctx, "AT#CLS=8", &ok));
    if (!ok) return vclcommands(ctx, decided);
    *decided = true;
    return clsmodem(ctx);
}

// INS_checksierra sets the code itself.
status_t sierra(setup_context* ctx, bool* decided)
{
    std::uint16_t found = 0;
    RETURN_IF_FAILED(INS_checksierra(ctx, &found));
    *decided = found != 0;
    return ST_OK;
}

// A modem that nothing above named is taken as fax only.
status_t faxclass(setup_context* ctx, bool* decided)
{
    std::uint16_t ok = 0;
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT+FCLASS=?", &ok));  // only traced
    return endwith(ctx, VENDOR_FAXONLY, decided);
}

// The tree in the order it asks the modem; the first step that decides ends it.
const tree_step tree[] = {
    presetvendor,     // a VENDOR from INSTALL.INI: no detection
    faxproduct,       // no voice, or the fax product chosen
    answerblock,
    makeranswer,      // "AT+GMI?" or "AT#MFR?"
    saveatianswers,   // ATI3, ATI4, ATI7
    essanswer,        // "AT+GMI?" again
    is101sections,    // IS101MATCH1, 2 ...
    vsmcommands,      // "AT+VSM=?"
    vendorsections,   // VENDORMATCH1, 2 ...
    voicecommandset,  // ATI patterns, parallel port, "AT#CLS=8", "AT#VCL=1"
    sierra,           // "AT#VS1"
    faxclass,         // whatever is left
};

// Leaves the result in INS_vendor (and INS_modem when it changes).
status_t decide(setup_context* ctx)
{
    for (tree_step step : tree) {
        bool decided = false;
        RETURN_IF_FAILED(step(ctx, &decided));
        if (decided) break;
    }
    return ST_OK;
}

}  // namespace

status_t INS_allocatiblock(setup_context* ctx)
{
    for (std::int16_t& length : ctx->atilength) length = 0;
    if (ctx->atiblock) return ST_OK;
    void* block = nullptr;
    void* handle = nullptr;
    if (UL_allocmem(&block, ATI_AREAS * ATI_AREASIZE, &handle) != ST_OK || !block) return ST_GENERAL;
    std::memset(block, 0, ATI_AREAS * ATI_AREASIZE);
    ctx->atiblock = static_cast<unsigned char*>(block);
    ctx->atiblockhandle = handle;
    return ST_OK;
}

void INS_freeatiblock(setup_context* ctx)
{
    if (ctx->atiblockhandle) UL_freemem(ctx->atiblockhandle);
    ctx->atiblock = nullptr;
    ctx->atiblockhandle = nullptr;
    for (std::int16_t& length : ctx->atilength) length = 0;
}

bool INS_inanswer(setup_context* ctx, const char* pattern)
{
    std::int16_t at = -1;
    CM_find(ctx, ctx->CM_buffer, pattern, ctx->CM_buffer ? ctx->CM_where : std::int16_t(0), &at);
    return at >= 0;
}

std::int16_t INS_findinati(setup_context* ctx, int area, const char* pattern)
{
    std::int16_t at = -1;
    if (!ctx->atiblock || !pattern || !pattern[0] || area < 0 || area >= ATI_AREAS) return -1;
    std::int16_t length = ctx->atilength[area];
    if (length > ATI_AREASIZE) length = ATI_AREASIZE;
    CM_find(ctx, ctx->atiblock + area * ATI_AREASIZE, pattern, length, &at);
    return at;
}

status_t INS_identifymodem(setup_context* ctx, std::int16_t* modemclass)
{
    status_t st = decide(ctx);
    if (st != ST_OK) {
        INS_freeatiblock(ctx);
        return st;
    }
    if (ctx->INS_vendor == VENDOR_USROBOTICS) INS_checkusrversion(ctx, &ctx->usrversion);
    if (ctx->INS_vendor == VENDOR_FAXONLY) {
        ctx->INS_modem = 2;
        if (ctx->INS_whichprogram == 1) {
            st = fortheproduct(ctx);
            if (st != ST_OK) {
                INS_freeatiblock(ctx);
                return st;
            }
        }
    }
    INS_freeatiblock(ctx);
    UL_logshort(ctx, "INS_vendor = ", ctx->INS_vendor);
    UL_logshort(ctx, "INS_whichprog = ", ctx->INS_whichprogram);
    *modemclass = ctx->INS_modem;
    return ST_OK;
}

status_t INS_detectmodem(setup_context* ctx)
{
    status_t opened = CM_opencomm(ctx, ctx->comport);
    if (opened != ST_OK) {
        UL_logerror(ctx, "INS_detectmodem", opened);
        return opened;
    }
    std::int16_t modemclass = ctx->INS_modem;
    status_t st = INS_identifymodem(ctx, &modemclass);
    CM_closecomm(ctx);
    ctx->INS_modem = modemclass;
    UL_logshort(ctx, "INS_modem = ", modemclass);
    if (st != ST_OK) UL_logerror(ctx, "INS_detectmodem", st);
    return st;
}
