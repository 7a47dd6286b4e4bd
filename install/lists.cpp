// Readers of the medium's list files behind the dialogs, and the earlier
// user details.
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "install/dialogs.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

// A country line holds 80 characters, a selection line (FAX.LST) 79.
enum { LISTLINE_SIZE = 81, SELECTIONLINE_SIZE = 80, SELECTION_TEXT_COLUMN = 6, SELECTION_NUMBER_WIDTH = 5 };

// Keys of the user-details file and the fields they fill, in reading order.
struct user_key {
    const char* key;
    char (setup_context::*field)[TEXTSIZE];
};

const user_key USER_KEYS[] = {
    {"USERNAME", &setup_context::username},     {"COMPANYNAME", &setup_context::companyname},
    {"ADDRESS1", &setup_context::address1},     {"ADDRESS2", &setup_context::address2},
    {"DATANUMBER", &setup_context::datanumber}, {"FAXNUMBER", &setup_context::terminalid},
    {"PHONENUMBER", &setup_context::phonenumber},
};

bool number_character(char c) { return c == ' ' || (c >= '0' && c <= '9'); }

}  // namespace

status_t INS_readcountrylist(setup_context* ctx, const char* filename, char (*extensions)[COUNTRYEXT_SIZE],
                             char (*names)[TEXTSIZE], std::int16_t* count)
{
    *count = 0;
    line_reader reader;
    RETURN_IF_FAILED(UL_readlineopen(ctx, &reader, filename));
    std::uint16_t end = UL_LINE_MORE;
    while (*count < COUNTRY_MAX) {
        char line[LISTLINE_SIZE];
        std::uint16_t length = 0;
        status_t st = UL_readline(ctx, &reader, line, sizeof line, &end, &length);
        if (st != ST_OK) {
            UL_readlineclose(ctx, &reader);
            return st;
        }
        if (line[0] != '\0') {
            UL_logstring(ctx, "countryline=", line);
            if (const char* comma = std::strchr(line, ',')) {
                UL_copyleft(extensions[*count], COUNTRYEXT_SIZE, line, std::size_t(comma - line));
                UL_copytext(names[*count], TEXTSIZE, comma + 1);
                ++*count;
            }
        }
        if (end != UL_LINE_MORE) break;
    }
    UL_readlineclose(ctx, &reader);
    return ST_OK;
}

status_t INS_getselection(setup_context* ctx, std::int16_t maximum, const char* listpath, char (*texts)[TEXTSIZE],
                          std::int16_t* numbers, std::int16_t* count)
{
    *count = 0;
    for (int i = 0; i < maximum; ++i) texts[i][0] = '\0';
    line_reader reader;
    status_t st = UL_readlineopen(ctx, &reader, listpath);
    std::int16_t found = 0;
    std::uint16_t end = UL_LINE_MORE;
    while (st == ST_OK && found < maximum) {
        char line[SELECTIONLINE_SIZE];
        std::uint16_t length = 0;
        st = UL_readline(ctx, &reader, line, sizeof line, &end, &length);
        if (st != ST_OK) break;
        if (line[0] != '\0') {
            UL_copytext(texts[found], TEXTSIZE, length > SELECTION_TEXT_COLUMN ? line + SELECTION_TEXT_COLUMN : "");
            char digits[SELECTION_NUMBER_WIDTH + 1];
            UL_copyleft(digits, sizeof digits, line, SELECTION_NUMBER_WIDTH);
            for (const char* c = digits; *c; ++c) {
                if (!number_character(*c)) {
                    UL_logshorthex(ctx, "c(HEX)=", std::int16_t(static_cast<unsigned char>(*c)));
                    st = ST_GENERAL;
                    break;
                }
            }
            if (st != ST_OK) break;
            numbers[found] = std::int16_t(UL_atol(digits));
            ++found;
        }
        if (end != UL_LINE_MORE) break;
    }
    if (reader.file || reader.block) UL_readlineclose(ctx, &reader);
    if (st != ST_OK) {
        // A damaged list offers nothing, not the part before the damage.
        for (int i = 0; i < found; ++i) texts[i][0] = '\0';
        UL_logerror(ctx, "INS_getselection", st);
        return st;
    }
    *count = found;
    return ST_OK;
}

status_t INS_readuserini(setup_context* ctx)
{
    char name[TEXTSIZE];
    UL_copytext(name, ctx->datadir);
    UL_appendtext(name, ctx->productname);
    UL_appendtext(name, ".ini");
    UL_logstring(ctx, "ini name = ", name);
    for (const auto& k : USER_KEYS) {
        char value[TEXTSIZE];
        std::uint32_t n = UL_getprofilestring("GENERAL", k.key, "", value, sizeof value, name);
        if (k.field == &setup_context::username) UL_logshort(ctx, "rc = ", std::int16_t(n));
        UL_copytext(ctx->*k.field, value);
    }
    return ST_OK;
}
