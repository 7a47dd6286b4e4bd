// Native double of the LZ service: expands SZDD files, copies others.
#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "files/lzservice.h"
#include "files/szdd.h"
#include "tests/native/doubles/hostpath.h"

using doubles::host;

std::int32_t UL_lzopenread(const char* name)
{
    int fd = open(host(name).c_str(), O_RDONLY);
    return fd < 0 ? -1 : fd;
}

std::int32_t UL_lzcreate(const char* name)
{
    int fd = open(host(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    return fd < 0 ? -1 : fd;
}

std::int32_t UL_lzcopy(std::int32_t source, std::int32_t target)
{
    std::vector<std::uint8_t> in;
    std::uint8_t block[4096];
    for (;;) {
        ssize_t got = read(source, block, sizeof block);
        if (got < 0) return -3;
        if (got == 0) break;
        in.insert(in.end(), block, block + got);
    }
    std::vector<std::uint8_t> expanded;
    const std::vector<std::uint8_t>* out = &in;
    if (szdd_iscompressed(in.data(), in.size())) {
        if (!szdd_expand(in.data(), in.size(), &expanded)) return -2;
        out = &expanded;
    }
    if (!out->empty() && write(target, out->data(), out->size()) != ssize_t(out->size())) return -4;
    return std::int32_t(out->size());
}

void UL_lzclose(std::int32_t handle)
{
    if (handle >= 0) close(handle);
}
