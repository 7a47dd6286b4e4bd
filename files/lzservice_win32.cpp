#include <windows.h>
#include <lzexpand.h>

#include "files/lzservice.h"

std::int32_t UL_lzopenread(const char* name)
{
    OFSTRUCT of = {};
    return LZOpenFileA(const_cast<char*>(name), &of, OF_READ | OF_SHARE_DENY_WRITE);
}

std::int32_t UL_lzcreate(const char* name)
{
    OFSTRUCT of = {};
    return LZOpenFileA(const_cast<char*>(name), &of, OF_CREATE | OF_WRITE | OF_SHARE_EXCLUSIVE);
}

std::int32_t UL_lzcopy(std::int32_t source, std::int32_t target) { return LZCopy(source, target); }

void UL_lzclose(std::int32_t handle) { LZClose(handle); }
