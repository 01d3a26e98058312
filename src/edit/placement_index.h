#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "base/texture_record.h"

namespace pelmora {

// A spot on a page: the top-left corner of a piece.
struct PieceSpot {
    int x = 0;
    int y = 0;
    bool operator==(const PieceSpot&) const = default;
};

// Which pixels of each page the records cover, kept up to date as pieces are placed, so
// that finding the first free spot for a piece does not mean testing every one of the
// 65,536 positions of every page again.
//
// FindSpot answers exactly what a scan of the positions row by row, left to right would
// answer: the first (x, y) at which a width x height rectangle lies on the page and covers
// no pixel of any record on that page. Record 0 never covers anything.
//
// Pages only ever fill up while an index is in use, which is what makes the per-page
// "known not to fit" bounds safe to keep.
class PlacementIndex {
public:
    // Indexes records 1 onward for pages 0 to pageCount - 1. Records that name a page not
    // yet there take their place when AddPage creates it.
    PlacementIndex(const std::vector<TextureRecord>& records, int pageCount);
    ~PlacementIndex();
    PlacementIndex(PlacementIndex&&) noexcept;
    PlacementIndex& operator=(PlacementIndex&&) noexcept;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Appends page PageCount(), covered by the records already naming it.
    void AddPage();

    std::optional<PieceSpot> FindSpot(int page, int width, int height);
    // Marks a rectangle as covered; parts outside the page are ignored.
    void Occupy(int page, int x, int y, int width, int height);

private:
    struct Page;
    std::vector<std::unique_ptr<Page>> pages_;
    // Rectangles of records whose page does not exist yet, by page.
    std::map<int, std::vector<TextureRecord>> pending_;
};

}  // namespace pelmora
