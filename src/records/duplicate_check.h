#pragma once

#include <string>
#include <vector>

#include "base/outcome.h"
#include "base/project.h"
#include "base/texture_record.h"

namespace pelmora {

// What one duplicate search found.
struct DuplicateCheck {
    int count = 0;               // reported pairs
    std::string reportText;      // "texture %d and texture %d match\n" per pair, '\n' ends
    std::vector<int> removal;    // 0-based index of each pair's second record, in order found
    std::vector<int> originals;  // 0-based index of each pair's first record, beside removal
};

// Finds records that are exact copies (all seven fields) of an earlier one. Each record
// reports at most its first equal partner, and a record that was the partner of the record
// matched just before is not reported again, so no record is listed twice.
DuplicateCheck FindDuplicates(const std::vector<TextureRecord>& records);

// "Found %d duplicates\n\n%s" with '\n' line ends.
std::string DuplicateReport(const DuplicateCheck& check);

// Writes the report with CR LF line ends to path (the project's duplicate list path in the
// editor).
Outcome WriteDuplicateReport(const DuplicateCheck& check, const std::string& path);

// The editor's check: writes the report to the project's duplicate list file, first making it
// a private file of its own (see MakePrivateTempFile) that Close and the end of the program
// remove. A report in a folder that every user shares under a fixed name could be a link
// that another user planted.
Outcome WriteProjectDuplicateReport(Project& project, const DuplicateCheck& check);

// Removes the records on the removal list, highest index first, then selects record 1.
Outcome RemoveDuplicates(Project& project, const DuplicateCheck& check);

}  // namespace pelmora
