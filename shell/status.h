// Status values of the installer. Every operation returns one; 0 is success.
// Every value other than ST_CANCELLED is also the number of a message text
// in the resource library.
#pragma once
#include <cstdint>

typedef std::uint16_t status_t;

constexpr status_t ST_OK = 0;
constexpr status_t ST_FILESIZE_MISSING = 900;
constexpr status_t ST_SOURCE_MISSING = 905;
constexpr status_t ST_TARGET_NOT_CREATED = 906;
constexpr status_t ST_NO_FILE_LIST = 2111;
constexpr status_t ST_NO_DRIVE_LETTER = 2236;
constexpr status_t ST_EXPAND_READ = 2259;
constexpr status_t ST_CANCELLED = 13000;
constexpr status_t ST_BAD_ARGUMENT = 13001;
constexpr status_t ST_GENERAL = 13002;
constexpr status_t ST_NO_TEMPLATE = 13071;
constexpr status_t ST_NO_DISK_ROOM = 13076;
constexpr status_t ST_NO_LIBRARY = 13077;
constexpr status_t ST_OPEN_FAILED = 13102;
constexpr status_t ST_CREATE_FAILED = 13103;
constexpr status_t ST_READ_SHORT = 13920;
constexpr status_t ST_WRITE_SHORT = 13921;

// Passes the first failure up unchanged.
#define RETURN_IF_FAILED(expr)             \
    do {                                   \
        status_t st_ = (expr);             \
        if (st_ != ST_OK) return st_;      \
    } while (0)
