#pragma once

#include "base/outcome.h"
#include "base/project.h"

namespace pelmora {

// The Sorting Options choice; the values are the dialog's radio button order.
enum class SortOrder : int { Ascending = 0, Descending = 1 };

// Sort: orders records 2 to the last by page; record 1 stays first. Records on the same
// page keep their order. The selection is left as it is.
Outcome SortRecordsByPage(Project& project, SortOrder order);

}  // namespace pelmora
