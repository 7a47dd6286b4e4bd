// Status values of the installer. Every operation returns one; 0 is success,
// and a caller passes the first failure up unchanged. A status the user is
// shown is also the number of its message text in the resource library: the
// error box and the failure notice show the number, " - " and that text.
#pragma once
#include <cstdint>

typedef std::uint16_t status_t;

// shown: reaches the user with its message text. quiet: never shown (success,
// the user's own cancel, and the voice library's numbers, which are only traced).
enum class status_seen { shown, quiet };

// Every status, by number: one name each, saying what the number's message
// text says, so that the name fits every place that returns it.
// clang-format off
#define UL_STATUSES(X)                                                                                         \
    X(ST_OK,                     0, quiet)                                                                     \
    X(ST_NOT_AVAILABLE,        900, shown)  /* a needed file, library, port, diskette or voice answer */      \
    X(ST_SOURCE_MISSING,       905, shown)  /* a file to install is missing from the medium */               \
    X(ST_TARGET_NOT_CREATED,   906, shown)  /* a file cannot be created on the destination */                \
    X(ST_NO_WINDOWS_DIR,       920, shown)                                                                     \
    X(ST_NO_OK,               2107, shown)  /* the modem did not answer OK in time */                        \
    X(ST_NO_FILE_LIST,        2111, shown)  /* FAX.LST missing: not an installation set */                   \
    X(ST_NO_DRIVE,            2173, shown)  /* a voice prompt name without a drive */                        \
    X(ST_INI_NOT_WRITTEN,     2213, shown)                                                                     \
    X(ST_WININI_NOT_WRITTEN,  2214, shown)                                                                     \
    X(ST_DIR_NOT_CREATED,     2231, shown)  /* a directory of the destination tree */                        \
    X(ST_NO_DRIVE_LETTER,     2236, shown)  /* the installer was not started from a drive letter */          \
    X(ST_DEST_NO_DRIVE,       2251, shown)  /* the destination does not begin with a drive letter */         \
    X(ST_DEST_BAD_DRIVE,      2253, shown)                                                                     \
    X(ST_DEST_NO_ROOM,        2254, shown)  /* too little room for the installation */                       \
    X(ST_EXPAND_READ,         2259, shown)  /* a file of the medium cannot be read while expanding */        \
    X(ST_NO_MODEM_CHOSEN,     2311, shown)                                                                     \
    X(ST_NO_MODEM_PORT,       2312, shown)  /* no port has a modem, or the chosen one cannot be opened */    \
    X(ST_MODEM_NO_ANSWER,     2313, shown)  /* the modem on the chosen port */                               \
    X(ST_DEST_NOT_CREATED,    2315, shown)  /* the destination directory itself */                           \
    X(ST_PORT_SETTINGS,       8110, shown)                                                                     \
    X(ST_PORT_CLOSED,         8141, shown)                                                                     \
    X(ST_CANCELLED,          13000, quiet)                                                                     \
    X(ST_BAD_REQUEST,        13001, shown)  /* an invalid argument, or an answer the unattended run lacks */ \
    X(ST_GENERAL,            13002, shown)                                                                     \
    X(ST_WAVE_NOT_OPENED,    13011, shown)                                                                     \
    X(ST_WAVE_NOT_WRITTEN,   13012, shown)                                                                     \
    X(ST_WAVE_BAD_FORMAT,    13013, shown)                                                                     \
    X(ST_DDE_NO_WINDOW,      13023, shown)                                                                     \
    X(ST_DDE_NO_SERVER,      13024, shown)                                                                     \
    X(ST_DDE_NO_MEMORY,      13025, shown)                                                                     \
    X(ST_DDE_NO_LOCK,        13026, shown)                                                                     \
    X(ST_DDE_NO_ACK,         13027, shown)                                                                     \
    X(ST_NO_TEMPLATE,        13071, shown)  /* a dialog cannot be shown */                                   \
    X(ST_NO_DISK_ROOM,       13076, shown)                                                                     \
    X(ST_NOT_LOADED,         13077, shown)  /* the resource library, or the external converter's output */   \
    X(ST_TASK_NOT_STARTED,   13082, shown)                                                                     \
    X(ST_TASK_TIMEOUT,       13083, shown)                                                                     \
    X(ST_OPEN_FAILED,        13102, shown)                                                                     \
    X(ST_CREATE_FAILED,      13103, shown)                                                                     \
    X(ST_WAVE_NOT_11025,     13104, shown)  /* a prompt to resample is not 11025 Hz */                       \
    X(ST_READ_SHORT,         13920, shown)                                                                     \
    X(ST_WRITE_SHORT,        13921, shown)                                                                     \
    X(LV_ERR_OPEN,           48520, quiet)  /* the voice library's own numbers from here */                  \
    X(LV_ERR_CHUNK,          48521, quiet)                                                                     \
    X(LV_ERR_TYPE,           48522, quiet)                                                                     \
    X(LV_ERR_FMT,            48523, quiet)                                                                     \
    X(LV_ERR_FMTSIZE,        48524, quiet)                                                                     \
    X(SB_BADREQUEST,         48525, quiet)  /* a compressor call that cannot be carried out */               \
    X(LV_ERR_FORMAT,         48526, quiet)
// clang-format on

#define UL_STATUS_CONSTANT(name, number, seen) constexpr status_t name = number;
UL_STATUSES(UL_STATUS_CONSTANT)
#undef UL_STATUS_CONSTANT

namespace status_table {
#define UL_STATUS_NUMBER(name, number, seen) number,
constexpr status_t numbers[] = {UL_STATUSES(UL_STATUS_NUMBER)};
#undef UL_STATUS_NUMBER
constexpr bool one_name_per_number()
{
    for (const status_t& a : numbers)
        for (const status_t* b = &a + 1; b != numbers + sizeof numbers / sizeof *numbers; ++b)
            if (a == *b) return false;
    return true;
}
static_assert(one_name_per_number(), "a status number has two names in the table");
}  // namespace status_table

// Passes the first failure up unchanged.
#define RETURN_IF_FAILED(expr)             \
    do {                                   \
        status_t st_ = (expr);             \
        if (st_ != ST_OK) return st_;      \
    } while (0)
