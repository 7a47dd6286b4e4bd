// Staging, loading and driving the vendor voice compressor library.
#include "voice/compressor.h"

#include <cstring>

#include "files/expand.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "modem/vendors.h"
#include "shell/text.h"

namespace {

// Vendor file extensions. twoletter: with the ATI match codes 3, 4, 6 and 8
// the data-set extension is these two letters and that digit.
struct vendor_ext {
    std::int16_t vendor;
    const char* dataext;
    const char* twoletter;
    const char* progext;
};

const vendor_ext vendor_exts[] = {
    {VENDOR_CLS_GENERIC, "ROC", nullptr, "ROC"},
    {VENDOR_PHONEBLASTER, "PB", nullptr, "ROC"},
    {VENDOR_ZOOM, "ZM", nullptr, "ROC"},
    {VENDOR_ROCKWELL_ACF, "ACF", "AC", "ACF"},
    {VENDOR_UMC, "UMC", nullptr, "UMC"},
    {VENDOR_PCTEL, "PCT", nullptr, "PCT"},
    {VENDOR_MODEMBLASTER, "MB", nullptr, "ROC"},
    {VENDOR_HAYES, "HAY", nullptr, "ROC"},
    {VENDOR_CIRRUS_VCL, "CIR", nullptr, "CIR"},
    {VENDOR_CIRRUS_VCID, "CUX", nullptr, "CIR"},
    {VENDOR_CIRRUS, "C01", "C0", "C01"},
    {VENDOR_MODEMBLASTER_PLUS, "MBP", nullptr, "ROC"},
    {VENDOR_SIERRA, "SIE", nullptr, "SIE"},
    {VENDOR_SIERRA_V32, "SI4", nullptr, "SIE"},
    {VENDOR_USROBOTICS, "USR", "US", "USR"},
    {VENDOR_ATT, "ATT", "AT", "ATT"},
    {VENDOR_ZYXEL, "ZYX", nullptr, "ZYX"},
    {VENDOR_ZYXEL_2864, "Z28", nullptr, "ZYX"},
    {VENDOR_MOTOROLA, "M01", nullptr, "PCT"},
    {VENDOR_MOTOROLA_NOCLASS, "MOT", nullptr, "PCT"},
    {VENDOR_CONEXANT_HCF, "HCF", nullptr, "PCT"},
    {VENDOR_ESS_VOICE, "ESS", nullptr, "PCT"},
    {VENDOR_ESS, "ESS", nullptr, "PCT"},
    {VENDOR_LUCENT, "A02", nullptr, "PCT"},
    {VENDOR_CONEXANT_IS101, "R01", nullptr, "PCT"},
    {VENDOR_LUCENT_IS101, "A01", nullptr, "PCT"},
    {VENDOR_FAXONLY, "FAX", "FA", "FAX"},
};
const vendor_ext other_vendor_ext = {-1, "PCT", nullptr, "PCT"};

// Compressor parameters: the modem's rate, the block of 16-bit input per call
// in bytes, and the start flag (-1: the code-31 firmware flag usrversion).
struct compressor_row {
    std::int16_t vendors[7];  // ended by -1
    std::int32_t rate;
    std::int16_t blocklength;
    std::int16_t startflag;
};

const compressor_row compressor_rows[] = {
    {{VENDOR_PHONEBLASTER, VENDOR_ROCKWELL_ACF, VENDOR_UMC, VENDOR_MODEMBLASTER, VENDOR_HAYES, VENDOR_MODEMBLASTER_PLUS,
      -1},
     7200, 48, 0},
    {{VENDOR_PCTEL, -1}, 8000, 48, 0},
    {{VENDOR_MOTOROLA_NOCLASS, -1}, 8000, 48, 1},
    {{VENDOR_CIRRUS_VCL, -1}, 4800, 2048, 0},
    {{VENDOR_USROBOTICS, -1}, 8000, 320, -1},
    {{VENDOR_ZYXEL, VENDOR_ZYXEL_2864, -1}, 9600, 2040, 0},
};
const compressor_row other_compressor = {{-1}, 8000, 2048, 0};

const char* const thunkfiles[] = {"VEQSB16.DLL", "VEQTHK16.DLL", "VEQTHK32.DLL"};

bool rockwell(std::int16_t vendor)
{
    switch (vendor) {
    case VENDOR_CLS_GENERIC:
    case VENDOR_PHONEBLASTER:
    case VENDOR_ROCKWELL_ACF:
    case VENDOR_MODEMBLASTER:
    case VENDOR_HAYES:
    case VENDOR_MODEMBLASTER_PLUS: return true;
    default: return false;
    }
}

bool lists(const std::int16_t* codes, std::int16_t vendor)
{
    for (; *codes != -1; ++codes)
        if (*codes == vendor) return true;
    return false;
}

void path3(char out[TEXTSIZE], const char* a, const char* b, const char* c)
{
    UL_copytext(out, TEXTSIZE, a);
    UL_appendtext(out, TEXTSIZE, b);
    UL_appendtext(out, TEXTSIZE, c);
}

}  // namespace

status_t INS_getvendorext(setup_context* ctx, char dataext[4], char progext[4])
{
    const vendor_ext* row = &other_vendor_ext;
    for (const vendor_ext& r : vendor_exts) {
        if (r.vendor == ctx->INS_vendor) {
            row = &r;
            break;
        }
    }
    UL_copytext(dataext, 4, row->dataext);
    UL_copytext(progext, 4, row->progext);
    const std::int16_t ati = ctx->atimatchcode;
    if (row->twoletter && (ati == 3 || ati == 4 || ati == 6 || ati == 8)) {
        const char digit[2] = {char('0' + ati), '\0'};
        UL_copytext(dataext, 4, row->twoletter);
        UL_appendtext(dataext, 4, digit);
    }
    if (ctx->INS_vendorini[0] != '\0' && ctx->INS_vendorini[0] != '0') UL_copytext(dataext, 4, ctx->INS_vendorini);
    return ST_OK;
}

compressor_params LV_compressorparams(const setup_context* ctx)
{
    const compressor_row* row = &other_compressor;
    for (const compressor_row& r : compressor_rows) {
        if (lists(r.vendors, ctx->INS_vendor)) {
            row = &r;
            break;
        }
    }
    return {row->rate, row->blocklength, row->startflag < 0 ? ctx->usrversion : row->startflag};
}

void LV_releasecompressor(setup_context* ctx)
{
    if (ctx->sblibrary) LV_sysfree(ctx->sblibrary);
    ctx->sblibrary = nullptr;
    ctx->sbstartentry = nullptr;
    ctx->sbcompressentry = nullptr;
}

status_t INS_loadsbfile(setup_context* ctx)
{
    char dataext[4], progext[4];
    INS_getvendorext(ctx, dataext, progext);

    char source[TEXTSIZE], target[TEXTSIZE];
    path3(source, ctx->sourcedir, "DATACHIP\\", ctx->productname);
    UL_appendtext(source, ".");
    UL_appendtext(source, dataext);
    path3(target, ctx->datadir, ctx->productname, ".INI");
    RETURN_IF_FAILED(INS_expandfile(ctx, target, source));

    UL_logshort(ctx, "winversion=", ctx->winversion);
    if (ctx->INS_whichprogram == 0) return ST_OK;

    LV_releasecompressor(ctx);
    ctx->sbvendorindex = -1;
    const bool rock = rockwell(ctx->INS_vendor);
    if (ctx->INS_vendor == VENDOR_MOTOROLA_NOCLASS || ctx->INS_vendor == VENDOR_LUCENT) {
        ctx->sbvendorindex = 1;
        UL_makepath(source, ctx->sourcedir, "PROGRAM\\VEQSBV.DLL");
    } else {
        UL_logshort(ctx, "winversion=", ctx->winversion);
        UL_logshort(ctx, "rockwell=", rock ? 1 : 0);
        if (rock && ctx->winversion == 2) {
            path3(source, ctx->sourcedir, "PROGCHIP\\", "VEQSB95.PCT");
        } else {
            path3(source, ctx->sourcedir, "PROGCHIP\\", "VEQSB95.");
            UL_appendtext(source, progext);
        }
    }
    UL_logstring(ctx, "from file=", source);
    UL_makepath(target, ctx->windowsdir, "VEQSB95.DLL");
    RETURN_IF_FAILED(INS_expandfile(ctx, target, source));
    if (rock) RETURN_IF_FAILED(INS_copythunkfiles(ctx));

    std::int32_t error = 0;
    ul_module library = LV_sysload(target, &error);
    if (!library) {
        UL_logstring(ctx, "cannot load", target);
        UL_loglong(ctx, "load err=", error);
        return ST_NOT_AVAILABLE;
    }
    const bool vendor = ctx->sbvendorindex == 1;
    const char* startname = vendor ? "SB_initcompressvendor" : "SB_initcompress";
    const char* compressname = vendor ? "SB_compressvendor" : "SB_compress";
    ctx->sblibrary = library;
    ctx->sbstartentry = LV_sysentry(library, startname);
    ctx->sbcompressentry = LV_sysentry(library, compressname);
    // A library without its entry points cannot be called; it is refused like one that does not load.
    if (!ctx->sbstartentry || !ctx->sbcompressentry) {
        if (UL_logdetail(ctx)) UL_logstring(ctx, "cannot find entry ", ctx->sbstartentry ? compressname : startname);
        LV_releasecompressor(ctx);
        return ST_NOT_AVAILABLE;
    }
    return ST_OK;
}

status_t LV_initcompress(setup_context* ctx, std::int16_t coding, std::int32_t* rate, std::int16_t* blocklength)
{
    compressor_params p = LV_compressorparams(ctx);
    *rate = p.rate;
    *blocklength = p.blocklength;
    if (!ctx->sblibrary || !ctx->sbstartentry) {
        if (UL_logdetail(ctx)) UL_logline(ctx, "no compressor loaded");
        return ST_NOT_AVAILABLE;
    }
    if (ctx->sbvendorindex < 0)
        return reinterpret_cast<sb_initcompress_fn>(ctx->sbstartentry)(ctx, coding, p.startflag);
    return reinterpret_cast<sb_initcompressvendor_fn>(ctx->sbstartentry)(ctx, ctx->sbvendorindex, coding,
                                                                         p.startflag);
}

status_t LV_compress(setup_context* ctx, const std::int16_t* samples, std::int16_t bytecount, std::uint8_t* output,
                     std::uint16_t* outcount)
{
    *outcount = 0;
    if (!ctx->sblibrary || !ctx->sbcompressentry) return ST_NOT_AVAILABLE;
    if (ctx->sbvendorindex < 0)
        return reinterpret_cast<sb_compress_fn>(ctx->sbcompressentry)(ctx, samples, std::uint16_t(bytecount), output,
                                                                      outcount);
    return reinterpret_cast<sb_compressvendor_fn>(ctx->sbcompressentry)(ctx, ctx->sbvendorindex, samples,
                                                                        std::uint16_t(bytecount), output, outcount);
}

status_t INS_copythunkfiles(setup_context* ctx)
{
    for (const char* name : thunkfiles) {
        char source[TEXTSIZE], target[TEXTSIZE];
        path3(source, ctx->sourcedir, "PROGCHIP\\", name);
        UL_makepath(target, ctx->windowsdir, name);
        RETURN_IF_FAILED(INS_expandfile(ctx, target, source));
        UL_makepath(target, ctx->programdir, name);
        RETURN_IF_FAILED(INS_expandfile(ctx, target, source));
    }
    return ST_OK;
}

status_t INS_removethunkfiles(setup_context* ctx)
{
    for (const char* name : thunkfiles) {
        char target[TEXTSIZE];
        UL_makepath(target, ctx->windowsdir, name);
        UL_deletefile(target);
    }
    return ST_OK;
}

status_t INS_removesbfile(setup_context* ctx)
{
    if (ctx->INS_whichprogram == 0) return ST_OK;
    // On the failure path the conversion has not run and the library may still
    // be loaded; a loaded library's file cannot be deleted.
    LV_releasecompressor(ctx);
    char staged[TEXTSIZE], kept[TEXTSIZE];
    UL_makepath(staged, ctx->windowsdir, "VEQSB95.DLL");
    std::uint16_t exists = 0;
    UL_fileexists(staged, &exists);
    if (exists) {
        UL_makepath(kept, ctx->programdir, "VEQSB95.DLL");
        status_t st = INS_expandfile(ctx, kept, staged);
        if (st != ST_OK) {
            UL_logerror(ctx, "INS_removesbfile", st);
            return st;
        }
        UL_deletefile(staged);
    }
    INS_removethunkfiles(ctx);
    return ST_OK;
}
