#include "records/record_sort.h"

#include <algorithm>

namespace pelmora {

Outcome SortRecordsByPage(Project& project, SortOrder order) {
    if (!project.IsOpen() || project.records.size() < 2) return Outcome::Done(false);
    const auto before = project.records;
    const auto first = project.records.begin() + 1;
    // Stable, so that pieces placed on one page keep the order they were added in.
    if (order == SortOrder::Descending) {
        std::stable_sort(
            first, project.records.end(),
            [](const TextureRecord& a, const TextureRecord& b) { return a.Page > b.Page; });
    } else {
        std::stable_sort(
            first, project.records.end(),
            [](const TextureRecord& a, const TextureRecord& b) { return a.Page < b.Page; });
    }
    return Outcome::Done(project.records != before);
}

}  // namespace pelmora
