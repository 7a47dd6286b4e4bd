// Stores the files of a set: LZ-compressed where that pays, as they are where
// it does not. The work is spread over threads by pieces of files, and what a
// file becomes does not depend on how many threads there were: every piece's
// matches are those a single run finds, and each file is coded on its own.
#include <algorithm>
#include <atomic>
#include <thread>

#include "files/szdd.h"
#include "tools/mkmedia/mkmedia.h"

namespace {

// Piece of a file searched by one thread at a time: long enough that the
// window it must first read (4096 bytes) costs little.
const std::size_t PIECE = 256 * 1024;
// Input held in memory at once (with its matches, 5 bytes a byte).
const std::size_t BATCH = 64 * 1024 * 1024;

template <class Work>
void run_parallel(std::size_t count, unsigned threads, Work work)
{
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;) work(i);
    };
    unsigned n = unsigned(std::min<std::size_t>(threads, count));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < n; ++t) pool.emplace_back(worker);
    worker();
    for (auto& t : pool) t.join();
}

void store_batch(const std::vector<media_file*>& files, unsigned threads)
{
    struct piece {
        std::size_t file, from, to;
    };
    std::vector<std::vector<szdd_match>> matches(files.size());
    std::vector<piece> pieces;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::size_t size = files[i]->content.size();
        matches[i].resize(size);
        for (std::size_t from = 0; from < size; from += PIECE) pieces.push_back({i, from, std::min(size, from + PIECE)});
    }
    run_parallel(pieces.size(), threads, [&](std::size_t k) {
        const piece& p = pieces[k];
        const auto& content = files[p.file]->content;
        szdd_find_matches(content.data(), content.size(), p.from, p.to, matches[p.file].data() + p.from);
    });
    run_parallel(files.size(), threads, [&](std::size_t i) {
        media_file& f = *files[i];
        // The last character of the name, kept for the conventional name with '_'.
        char missing = f.medium.empty() ? 0 : f.medium.back();
        szdd_encode(f.content.data(), f.content.size(), matches[i].data(), missing, &f.stored);
        std::vector<szdd_match>().swap(matches[i]);
        // Not smaller: stored as it is, unless the installer would take it for
        // a compressed file.
        if (f.stored.size() >= f.content.size() && !looks_compressed(f.content)) {
            f.plain = true;
            f.stored = f.content;
        } else {
            f.plain = false;
        }
    });
}

}  // namespace

bool looks_compressed(const std::vector<std::uint8_t>& content)
{
    static const std::uint8_t magic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    return content.size() >= sizeof magic && std::equal(magic, magic + sizeof magic, content.begin());
}

void store_files(const std::vector<media_file*>& files, unsigned threads)
{
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<media_file*> batch;
    std::size_t held = 0;
    for (media_file* f : files) {
        if (!batch.empty() && held + f->content.size() > BATCH) {
            store_batch(batch, threads);
            batch.clear();
            held = 0;
        }
        batch.push_back(f);
        held += f->content.size();
    }
    if (!batch.empty()) store_batch(batch, threads);
}
