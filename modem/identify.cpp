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

bool inanswer(setup_context* ctx, const char* pattern)
{
    std::int16_t at = -1;
    CM_find(ctx, CM_buffer, pattern, CM_buffer ? CM_where : std::int16_t(0), &at);
    return at >= 0;
}

status_t saveati(setup_context* ctx, const ati_query& query)
{
    std::uint16_t found = 0;
    RETURN_IF_FAILED(CM_send(ctx, query.command));
    CM_sleep(ctx, query.pause);
    UL_logstring(ctx, "Checking ", query.command);
    RETURN_IF_FAILED(CM_waitfor(ctx, "OK\r\n", 5, &found));
    char text[80];
    CM_buffertext(text, 0);
    UL_logstring(ctx, "CM_buffer=", text);
    if (found && CM_buffer) {
        std::memcpy(ctx->atiblock + query.area * ATI_AREASIZE, CM_buffer, ATI_AREASIZE - 1);
        ctx->atilength[query.area] = CM_where;
    }
    return ST_OK;
}

status_t fortheproduct(setup_context* ctx)
{
    ctx->INS_whichprogram = 0;
    return INS_loadidentity(ctx);
}

// The tree up to its ending: leaves the result in INS_vendor (and INS_modem when it changes).
status_t decide(setup_context* ctx)
{
    if (ctx->INS_vendor > 0) {
        UL_logshort(ctx, "No autodetect-Vendor=", ctx->INS_vendor);
        return ST_OK;
    }
    std::uint16_t voice = 0;
    RETURN_IF_FAILED(INS_checkvoicemodem(ctx, &voice));
    if (!voice) {
        UL_logline(ctx, "not voice modem");
        RETURN_IF_FAILED(fortheproduct(ctx));
    }
    if (ctx->INS_whichprogram == 0) {
        UL_logline(ctx, "Didovada install");
        ctx->INS_modem = 2;
        ctx->INS_vendor = VENDOR_FAXONLY;
        return ST_OK;
    }

    RETURN_IF_FAILED(INS_allocatiblock(ctx));
    std::int16_t code = 0;
    char tag[TEXTSIZE] = {};
    RETURN_IF_FAILED(INS_checkmaker(ctx, &code, tag));
    if (code != 0) {
        UL_copytext(ctx->INS_vendorini, tag);
        ctx->INS_vendor = code;
        return ST_OK;
    }
    for (const ati_query& query : ati_queries) RETURN_IF_FAILED(saveati(ctx, query));

    std::uint16_t found = 0;
    RETURN_IF_FAILED(INS_checkess(ctx, &found));
    if (found) {
        ctx->INS_vendor = VENDOR_ESS;
        return ST_OK;
    }
    RETURN_IF_FAILED(INS_checkatimatch(ctx, 1, &code, tag));
    if (code != 0) {
        UL_copytext(ctx->INS_vendorini, tag);
        ctx->INS_vendor = code;
        return ST_OK;
    }

    std::uint16_t ok = 0;
    RETURN_IF_FAILED(checkafter(ctx, "AT+VSM=?", &ok));
    if (ok) {
        if (inanswer(ctx, "CL1")) {
            ctx->INS_vendor = VENDOR_CIRRUS;
            return ST_OK;
        }
        RETURN_IF_FAILED(CM_sendcheck(ctx, "AT+ES=?", &ok));
        ctx->INS_vendor = VENDOR_ATT;
        return ST_OK;
    }
    RETURN_IF_FAILED(INS_checkatimatch(ctx, 0, &code, tag));
    if (code != 0) {
        UL_copytext(ctx->INS_vendorini, tag);
        ctx->INS_vendor = code;
        return ST_OK;
    }

    RETURN_IF_FAILED(INS_checkati(ctx, &ctx->atimatchcode));
    bool cls = false;
    if (ctx->atimatchcode != 5) {
        ctx->INS_vendor = VENDOR_CLS_GENERIC;
        if (INS_findinati(ctx, ATI4_AREA, "PARALLEL") >= 0) {
            if (INS_findinati(ctx, ATI4_AREA, "V34") >= 0) {
                ctx->INS_vendor = VENDOR_SIERRA;
                return ST_OK;
            }
            if (INS_findinati(ctx, ATI4_AREA, "V32") >= 0) {
                ctx->INS_vendor = VENDOR_SIERRA_V32;
                return ST_OK;
            }
        }
        RETURN_IF_FAILED(checkafter(ctx, "AT#CLS=8", &ok));
        if (ok) {
            cls = true;
        } else {
            RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VCL=1", &ok));
            if (ok) {
                RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VCID=1", &ok));
                ctx->INS_vendor = ok ? VENDOR_CIRRUS_VCID : VENDOR_CIRRUS_VCL;
                return ST_OK;
            }
            RETURN_IF_FAILED(CM_sendcheck(ctx, "AT+FCLASS=8", &ok));
        }
    }

    if (cls) {
        // The modem speaks the #CLS voice command set.
        ctx->INS_modem = 3;
        UL_logstring(ctx, "xafter=", "AT#CLS=8");
        for (const cls_answer_test& test : cls_answer_tests) {
            if (INS_findinati(ctx, test.area, test.contains) < 0) continue;
            bool also = test.alsowith && INS_findinati(ctx, test.area, test.alsowith) >= 0;
            ctx->INS_vendor = also ? test.alsoresult : test.result;
            return ST_OK;
        }
        RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VSR=?", &ok));
        if (ok) {
            if (inanswer(ctx, "8000")) {
                ctx->INS_vendor = VENDOR_USROBOTICS;
                return ST_OK;
            }
            CM_tracebuffer(ctx);
        }
        if (INS_findinati(ctx, ATI3_AREA, "ACF") >= 0) {
            ctx->INS_vendor = VENDOR_ROCKWELL_ACF;
            return ST_OK;
        }
        RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VBS=8", &ok));
        if (ok) {
            ctx->INS_vendor = VENDOR_ROCKWELL_ACF;
            return ST_OK;
        }
        RETURN_IF_FAILED(INS_checkzyxel(ctx, &found));
        if (found) return ST_OK;
        RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VLS=6", &ok));
        if (!ok) return ST_OK;
        RETURN_IF_FAILED(CM_sendcheck(ctx, "AT#VLS=0", &ok));
        ctx->INS_vendor = VENDOR_MODEMBLASTER;
        return ST_OK;
    }

    RETURN_IF_FAILED(INS_checksierra(ctx, &found));
    if (found) return ST_OK;
    RETURN_IF_FAILED(CM_sendcheck(ctx, "AT+FCLASS=?", &ok));
    ctx->INS_vendor = VENDOR_FAXONLY;
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
