// The search ahead of the voice encoders. A modem's decoder is fixed, so an
// encoder may pick any code sequence; choosing each code greedily, by the
// quantiser's thresholds, is not the sequence the decoder turns into the
// closest signal. This keeps the `width` cheapest code paths (cost: squared
// error of the decoder's output against the input), extends each by every
// code, and fixes a code once it lies `depth` samples behind the newest, taking
// it from the cheapest path (the M-algorithm with delayed decision). At the end
// of a block every code still open is taken from the cheapest path, so a
// block's codes are final when it returns and the state runs on from there.
//
// State is the whole state the decoder and the packer carry (copied per path);
// step(State&, unsigned code, std::int16_t* out) advances it by one code,
// stores the decoder's output and returns false when the code may not be sent
// there (the state is then discarded).
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

namespace vc {

struct search_shape {
    unsigned depth = 1;  // samples between a code's sample and its decision (1: greedy by error)
    unsigned width = 1;  // paths kept
};

// Most codes a path holds open; depth is clipped to it.
constexpr unsigned SEARCH_MAXDEPTH = 16;

template <class State>
struct search_path {
    State state;
    std::uint64_t cost;
    std::uint8_t codes[SEARCH_MAXDEPTH];  // open codes, by sample index modulo SEARCH_MAXDEPTH
};

// Codes n samples into codes[0..n-1] (one code 0..ncodes-1 each) and advances
// *s as the decoder will. step must allow some code at every sample (every
// family forbids at most one); were none allowed, the sample would get code 0
// without a state step.
template <class State, class Step>
void search_encode(State* s, const std::int16_t* x, unsigned n, std::uint8_t* codes, unsigned ncodes,
                   search_shape shape, Step step)
{
    const unsigned depth = std::max(1u, std::min(shape.depth, SEARCH_MAXDEPTH));
    const unsigned width = std::max(1u, shape.width);
    std::vector<search_path<State>> paths(1), next;
    paths[0].state = *s;
    paths[0].cost = 0;
    next.reserve(std::size_t(width) * ncodes);
    unsigned fixed = 0;  // codes[0..fixed-1] are final
    for (unsigned i = 0; i < n; ++i) {
        next.clear();
        for (const auto& p : paths) {
            for (unsigned c = 0; c < ncodes; ++c) {
                search_path<State> q = p;
                std::int16_t y = 0;
                if (!step(q.state, c, &y)) continue;
                const std::int64_t e = std::int64_t(y) - x[i];
                q.cost += std::uint64_t(e * e);
                q.codes[i % SEARCH_MAXDEPTH] = std::uint8_t(c);
                next.push_back(q);
            }
        }
        if (next.empty()) {  // nothing allowed: keep the cheapest path as it is, code 0
            for (auto& p : paths) p.codes[i % SEARCH_MAXDEPTH] = 0;
            next = paths;
        }
        const auto cheaper = [](const search_path<State>& a, const search_path<State>& b) { return a.cost < b.cost; };
        if (next.size() > width) {
            std::nth_element(next.begin(), next.begin() + (width - 1), next.end(), cheaper);
            next.resize(width);
        }
        std::swap(paths, next);
        if (i + 1 >= depth) {
            // Fix the oldest open code from the cheapest path; paths that chose
            // otherwise there cannot follow any more.
            const auto& best = *std::min_element(paths.begin(), paths.end(), cheaper);
            const std::uint8_t c = best.codes[fixed % SEARCH_MAXDEPTH];
            codes[fixed++] = c;
            paths.erase(std::remove_if(paths.begin(), paths.end(),
                                       [&](const search_path<State>& p) {
                                           return p.codes[(fixed - 1) % SEARCH_MAXDEPTH] != c;
                                       }),
                        paths.end());
        }
    }
    if (n == 0) return;
    const auto& best = *std::min_element(paths.begin(), paths.end(),
                                         [](const search_path<State>& a, const search_path<State>& b) {
                                             return a.cost < b.cost;
                                         });
    for (; fixed < n; ++fixed) codes[fixed] = best.codes[fixed % SEARCH_MAXDEPTH];
    *s = best.state;
}

}  // namespace vc
