#pragma once

// The plain way of finding a spot for a piece, kept as the reference the placement index
// must agree with: the covered area is rebuilt from the records on every call and every
// position is tried, row by row, left to right.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "base/texture_record.h"
#include "edit/placement_index.h"

namespace pelmora::test {

inline std::optional<PieceSpot> StraightforwardSpot(const std::vector<TextureRecord>& records,
                                                    int page, int width, int height) {
    // Covered pixels as 2-D prefix sums (sum(x, y): those above and left of (x, y)), so
    // testing one position is four look-ups.
    static thread_local std::vector<uint8_t> covered;
    static thread_local std::vector<int> sums;
    covered.assign(256 * 256, 0);
    sums.assign(257 * 257, 0);
    const auto sum = [](int x, int y) -> int& { return sums[y * 257 + x]; };
    for (size_t i = 1; i < records.size(); ++i) {
        const TextureRecord& r = records[i];
        for (int y = r.Y; r.Page == page && y < std::min(r.Y + r.Height(), 256); ++y)
            std::fill(&covered[y * 256 + r.X], &covered[y * 256] + std::min(r.X + r.Width(), 256),
                      1);
    }
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            sum(x + 1, y + 1) = covered[y * 256 + x] + sum(x + 1, y) + sum(x, y + 1) - sum(x, y);
    for (int y = 0; y + height <= 256; ++y)
        for (int x = 0; x + width <= 256; ++x)
            if (sum(x + width, y + height) - sum(x + width, y) - sum(x, y + height) + sum(x, y) ==
                0)
                return PieceSpot{x, y};
    return std::nullopt;
}

// Places every piece first-fit from page 0 on, adding pages when none has room, and appends
// its record; pageCount grows with the pages added.
inline void StraightforwardPlaceAll(std::vector<TextureRecord>& records, int& pageCount,
                                    const std::vector<std::pair<int, int>>& sizes) {
    for (const auto& [width, height] : sizes) {
        for (int k = 0;; ++k) {
            if (k >= pageCount) ++pageCount;
            if (const auto spot = StraightforwardSpot(records, k, width, height)) {
                records.push_back(MakeRecord(spot->x, spot->y, width, height, k, -1, -1));
                break;
            }
        }
    }
}

// The same through the index.
inline void IndexedPlaceAll(std::vector<TextureRecord>& records, int& pageCount,
                            const std::vector<std::pair<int, int>>& sizes) {
    PlacementIndex index(records, pageCount);
    for (const auto& [width, height] : sizes) {
        for (int k = 0;; ++k) {
            if (k >= pageCount) {
                ++pageCount;
                index.AddPage();
            }
            if (const auto spot = index.FindSpot(k, width, height)) {
                records.push_back(MakeRecord(spot->x, spot->y, width, height, k, -1, -1));
                index.Occupy(k, spot->x, spot->y, width, height);
                break;
            }
        }
    }
}

// Piece sizes like those of an icon set: mostly small squares of common sizes, some odd
// rectangles, a few large ones.
inline std::vector<std::pair<int, int>> RandomPieceSizes(int count, unsigned seed, int maxSide) {
    std::mt19937 random(seed);
    const auto below = [&](int n) { return static_cast<int>(random() % n); };
    const int common[] = {8, 16, 22, 24, 32, 48, 64, 128};
    std::vector<std::pair<int, int>> sizes;
    for (int i = 0; i < count; ++i) {
        const int kind = below(10), side = common[below(8)];
        const int w = kind < 6 ? side : kind < 9 ? 1 + below(100) : 100 + below(157);
        const int h = kind < 6 ? side : 1 + below(kind < 9 ? 100 : 256);
        sizes.emplace_back(std::min(w, maxSide), std::min(h, maxSide));
    }
    return sizes;
}

}  // namespace pelmora::test
