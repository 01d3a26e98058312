#pragma once

#include <ostream>
#include <vector>

#include "base/project.h"

namespace pelmora {

// A failed comparison shows a record as the user reads it, not as eight bytes.
inline void PrintTo(const TextureRecord& r, std::ostream* os) {
    *os << RecordText(r);
}

namespace test {
// The records from index first on.
inline std::vector<TextureRecord> RecordsFrom(const Project& project, int first) {
    return {project.records.begin() + first, project.records.end()};
}
}  // namespace test

}  // namespace pelmora
