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

// Writes the report with CR LF line ends to path.
Outcome WriteDuplicateReport(const DuplicateCheck& check, const std::string& path);

// The file the editor shows the report in: a private file of its own (see
// MakePrivateTempFile), made by the first check. A report in a folder that every user shares
// under a fixed name could be a link that another user planted.
struct DuplicateListFile {
    std::string path;      // empty until the first check
    bool written = false;  // the file at path is ours to remove
};

// The editor's check: writes the report to the list file, making the file first.
Outcome WriteDuplicateListFile(DuplicateListFile& file, const DuplicateCheck& check);
// Removes the list file if it is ours (on Close and at the end of the editor); the next
// check makes a new one.
void RemoveDuplicateListFile(DuplicateListFile& file);

// Removes the records on the removal list, highest index first, then selects record 1.
Outcome RemoveDuplicates(Project& project, const DuplicateCheck& check);

}  // namespace pelmora
