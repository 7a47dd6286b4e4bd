// Message texts from the resource library, the product identity and error boxes.
#pragma once
#include <cstddef>

#include "shell/context.h"

enum { MESSAGESIZE = 80 };

status_t INS_loadidentity(setup_context* ctx);
status_t INS_getproducttext(setup_context* ctx, unsigned number, char* out, std::size_t size);
status_t UL_xloadmessage(setup_context* ctx, char* out, const char* libname, unsigned number, std::size_t size);
status_t INS_loadmessage(setup_context* ctx, char out[MESSAGESIZE], const char* libname, unsigned number);
status_t INS_insertproductname(setup_context* ctx, char out[MESSAGESIZE], const char* source);
status_t INS_errortext(setup_context* ctx, char out[MESSAGESIZE], unsigned status);
status_t INS_errorbox(setup_context* ctx, std::uint16_t status);
status_t INS_messagebox(const char* caption, const char* text);

// The body and caption that INS_errorbox shows.
// The main screen's notice line: text 496 of the library, so that it speaks the
// library's language; the program's own English line without one.
void INS_noticetext(setup_context* ctx, char out[MESSAGESIZE]);
void INS_errorboxtexts(setup_context* ctx, std::uint16_t status, char body[MESSAGESIZE], char caption[MESSAGESIZE]);
