#pragma once

#include "base/outcome.h"
#include "base/project.h"

namespace pelmora {

// The order Sort puts the records' pages in.
enum class SortOrder { Ascending, Descending };

// Sort: orders records 2 to the last by page; record 1 stays first. Records on the same
// page keep their order. The selection is left as it is.
Outcome SortRecordsByPage(Project& project, SortOrder order);

}  // namespace pelmora
