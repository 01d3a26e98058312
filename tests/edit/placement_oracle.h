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

#include "edit/placement_index.h"
#include "base/texture_record.h"

namespace pelmora::test {

inline std::optional<PieceSpot> StraightforwardSpot(const std::vector<TextureRecord>& records,
                                                    int page, int width, int height) {
    // covered[y][x] as 2-D prefix sums, so testing one position is four look-ups.
    static thread_local std::vector<int> sums;
    sums.assign(257 * 257, 0);
    std::vector<uint8_t> covered(256 * 256, 0);
    for (size_t i = 1; i < records.size(); ++i) {
        const TextureRecord& r = records[i];
        if (r.Page != page) continue;
        for (int y = r.Y; y < r.Y + r.Height() && y < 256; ++y)
            for (int x = r.X; x < r.X + r.Width() && x < 256; ++x) covered[y * 256 + x] = 1;
    }
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            sums[(y + 1) * 257 + x + 1] = covered[y * 256 + x] + sums[y * 257 + x + 1] +
                                          sums[(y + 1) * 257 + x] - sums[y * 257 + x];
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            if (x + width > 256 || y + height > 256) continue;
            const int inside = sums[(y + height) * 257 + x + width] - sums[y * 257 + x + width] -
                               sums[(y + height) * 257 + x] + sums[y * 257 + x];
            if (inside == 0) return PieceSpot{x, y};
        }
    }
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
    const int common[] = {8, 16, 22, 24, 32, 48, 64, 128};
    std::vector<std::pair<int, int>> sizes;
    for (int i = 0; i < count; ++i) {
        const int kind = static_cast<int>(random() % 10);
        int w, h;
        if (kind < 6) {
            w = h = common[random() % 8];
        } else if (kind < 9) {
            w = 1 + static_cast<int>(random() % 100);
            h = 1 + static_cast<int>(random() % 100);
        } else {
            w = 100 + static_cast<int>(random() % 157);
            h = 1 + static_cast<int>(random() % 256);
        }
        sizes.emplace_back(std::min(w, maxSide), std::min(h, maxSide));
    }
    return sizes;
}

}  // namespace pelmora::test
