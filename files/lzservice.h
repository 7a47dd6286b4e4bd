// The system's LZ expansion service (LZOpenFile, LZCopy, LZClose). A file
// that is not compressed is copied unchanged. Handles are negative on failure.
#pragma once
#include <cstdint>

std::int32_t UL_lzopenread(const char* name);
std::int32_t UL_lzcreate(const char* name);
// The expanded size, or a negative LZ error (-3 read, -4 write, ...).
std::int32_t UL_lzcopy(std::int32_t source, std::int32_t target);
void UL_lzclose(std::int32_t handle);
