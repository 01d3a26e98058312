#include "edit/placement_index.h"

#include <algorithm>
#include <bit>

namespace pelmora {

namespace {

constexpr int kSide = 256;

// One row of a page, one bit per column (bit c of word c / 64). Left uninitialised by
// default: the scratch arrays of a search would otherwise be cleared on every call.
struct Row {
    std::array<uint64_t, 4> w;

    Row operator|(const Row& o) const {
        return {{w[0] | o.w[0], w[1] | o.w[1], w[2] | o.w[2], w[3] | o.w[3]}};
    }
    Row operator&(const Row& o) const {
        return {{w[0] & o.w[0], w[1] & o.w[1], w[2] & o.w[2], w[3] & o.w[3]}};
    }
    Row operator~() const { return {{~w[0], ~w[1], ~w[2], ~w[3]}}; }
    bool Any() const { return (w[0] | w[1] | w[2] | w[3]) != 0; }

    // Bit c of the result is bit c + n of this row; bits shifted in from beyond the page
    // are 0, so a run can never reach past column 255.
    Row ShiftedDown(int n) const {
        Row out{};
        const int words = n / 64, bits = n % 64;
        for (int i = 0; i < 4; ++i) {
            const int from = i + words;
            if (from > 3) break;
            out.w[i] = w[from] >> bits;
            if (bits != 0 && from + 1 <= 3) out.w[i] |= w[from + 1] << (64 - bits);
        }
        return out;
    }

    int LowestSet() const {
        for (int i = 0; i < 4; ++i)
            if (w[i] != 0) return 64 * i + std::countr_zero(w[i]);
        return kSide;
    }

    // The first set bit at or after column from, or 256.
    int NextSet(int from) const {
        if (from >= kSide) return kSide;
        int i = from / 64;
        uint64_t word = w[i] & (~uint64_t{0} << (from % 64));
        while (true) {
            if (word != 0) return 64 * i + std::countr_zero(word);
            if (++i == 4) return kSide;
            word = w[i];
        }
    }

    int Count() const {
        return std::popcount(w[0]) + std::popcount(w[1]) + std::popcount(w[2]) +
               std::popcount(w[3]);
    }

    // Covers columns [left, right).
    void SetRange(int left, int right) {
        for (int c = left; c < right;) {
            const int i = c / 64, bit = c % 64;
            const int n = std::min(64 - bit, right - c);
            const uint64_t mask = n == 64 ? ~uint64_t{0} : ((uint64_t{1} << n) - 1) << bit;
            w[i] |= mask;
            c += n;
        }
    }
};

// Bit c set when columns c to c + width - 1 are all set in free: doubling the run length
// costs log2(width) shifts instead of width.
Row RunsOfAtLeast(Row free, int width) {
    int length = 1;
    while (2 * length <= width) {
        free = free & free.ShiftedDown(length);
        length *= 2;
    }
    if (length < width) free = free & free.ShiftedDown(width - length);
    return free;
}

int LongestFreeRun(const Row& occupied) {
    const Row free = ~occupied;
    int longest = 0;
    for (int start = free.NextSet(0); start < kSide;) {
        const int end = occupied.NextSet(start);
        longest = std::max(longest, end - start);
        start = free.NextSet(end);
    }
    return longest;
}

}  // namespace

struct PlacementIndex::Page {
    std::array<Row, kSide> occupied{};
    std::array<int16_t, kSide> longestRun;  // the widest free run in each row
    // fitsUpTo[h]: no piece of height h (or more) wider than this fits any longer. Only
    // ever lowered, from searches that failed, which stays true as the page fills up.
    std::array<int16_t, kSide + 1> fitsUpTo;
    int freePixels = kSide * kSide;

    Page() {
        longestRun.fill(kSide);
        fitsUpTo.fill(kSide);
    }

    void Occupy(int x, int y, int width, int height) {
        const int left = std::max(x, 0), top = std::max(y, 0);
        const int right = std::min(x + width, kSide), bottom = std::min(y + height, kSide);
        if (left >= right || top >= bottom) return;
        for (int r = top; r < bottom; ++r) {
            const int before = occupied[r].Count();
            occupied[r].SetRange(left, right);
            freePixels -= occupied[r].Count() - before;
            longestRun[r] = static_cast<int16_t>(LongestFreeRun(occupied[r]));
        }
    }

    std::optional<PieceSpot> FindSpot(int width, int height) {
        if (width < 1 || height < 1 || width > kSide || height > kSide) return std::nullopt;
        if (width > fitsUpTo[height] || width * height > freePixels) return std::nullopt;
        const auto spot = Search(width, height);
        if (!spot) {
            for (int h = height; h <= kSide; ++h)
                fitsUpTo[h] = std::min<int16_t>(fitsUpTo[h], static_cast<int16_t>(width - 1));
        }
        return spot;
    }

    std::optional<PieceSpot> Search(int width, int height) {
        // The band OR of rows y .. y + height - 1 for any y comes from two running ORs over
        // blocks of height rows (van Herk / Gil-Werman): built only once a row passes the
        // cheap test below.
        std::array<Row, kSide> fromBlockStart, toBlockEnd;
        bool bandsReady = false;
        int rowsWithRoom = 0;
        for (int y = 0; y < kSide; ++y) {
            // A spot needs a wide enough free run in every row it covers.
            rowsWithRoom = longestRun[y] >= width ? rowsWithRoom + 1 : 0;
            if (rowsWithRoom < height) continue;
            const int top = y - height + 1;
            if (!bandsReady) {
                BuildBands(height, fromBlockStart, toBlockEnd);
                bandsReady = true;
            }
            const Row band = toBlockEnd[top] | fromBlockStart[y];
            const Row starts = RunsOfAtLeast(~band, width);
            if (starts.Any()) return PieceSpot{starts.LowestSet(), top};
        }
        return std::nullopt;
    }

    void BuildBands(int height, std::array<Row, kSide>& fromBlockStart,
                    std::array<Row, kSide>& toBlockEnd) const {
        for (int y = 0; y < kSide; ++y)
            fromBlockStart[y] = y % height == 0 ? occupied[y] : fromBlockStart[y - 1] | occupied[y];
        for (int y = kSide - 1; y >= 0; --y)
            toBlockEnd[y] = (y % height == height - 1 || y == kSide - 1)
                                ? occupied[y]
                                : toBlockEnd[y + 1] | occupied[y];
    }
};

PlacementIndex::PlacementIndex(const std::vector<TextureRecord>& records, int pageCount) {
    for (int k = 0; k < pageCount; ++k) pages_.push_back(std::make_unique<Page>());
    for (size_t i = 1; i < records.size(); ++i) {
        const TextureRecord& r = records[i];
        if (r.Page < pageCount) {
            pages_[r.Page]->Occupy(r.X, r.Y, r.Width(), r.Height());
        } else {
            pending_[r.Page].push_back(r);
        }
    }
}

PlacementIndex::~PlacementIndex() = default;
PlacementIndex::PlacementIndex(PlacementIndex&&) noexcept = default;
PlacementIndex& PlacementIndex::operator=(PlacementIndex&&) noexcept = default;

void PlacementIndex::AddPage() {
    const int k = PageCount();
    pages_.push_back(std::make_unique<Page>());
    if (const auto waiting = pending_.find(k); waiting != pending_.end()) {
        for (const TextureRecord& r : waiting->second)
            pages_[k]->Occupy(r.X, r.Y, r.Width(), r.Height());
        pending_.erase(waiting);
    }
}

std::optional<PieceSpot> PlacementIndex::FindSpot(int page, int width, int height) {
    if (page < 0 || page >= PageCount()) return std::nullopt;
    return pages_[page]->FindSpot(width, height);
}

void PlacementIndex::Occupy(int page, int x, int y, int width, int height) {
    if (page >= 0 && page < PageCount()) {
        pages_[page]->Occupy(x, y, width, height);
    } else if (page >= PageCount()) {
        TextureRecord r;
        r.X = static_cast<uint8_t>(x);
        r.Y = static_cast<uint8_t>(y);
        r.SetWidth(width);
        r.SetHeight(height);
        pending_[page].push_back(r);
    }
}

}  // namespace pelmora
