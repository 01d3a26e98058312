#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "base/project.h"
#include "base/texture_record.h"

namespace pelmora {

constexpr const char* kRecordsFileFirstLine = "#Pelmora Texture Records File";
constexpr const char* kRecordsAmountLine = "[Amount_Of_Textures]";
constexpr const char* kNotARecordsFileMessage = "This is not at Pelmora Texture Records File...";

// A records file is read whole; anything larger is refused before it is read.
constexpr long long kMaxRecordsFileBytes = 256LL * 1024 * 1024;

enum class RecordsImportMode { Overwrite, Append };

// The records file for these records: 18 header lines, then one 9-line block per record,
// CR LF line ends.
std::string RecordsFileText(const std::vector<TextureRecord>& records);

// What a records file holds, read by line position the way the writer lays it out.
struct RecordsFileContents {
    enum class Status {
        Ok,
        NotRecordsFile,  // line 1 is not the header line (letter case aside)
        NoAmountLine,    // line 15 is not exactly "[Amount_Of_Textures]"
        BadRecord,       // JSON: a record lacks one of its numbers (problem says which)
    };
    Status status = Status::Ok;
    std::string problem;
    int announced = 0;  // the count line, read like C's atoi
    // One record per block that begins inside the file, at most `announced`; pages are the
    // stored 0-based values, not shifted. A block cut short reads its missing lines as 0.
    std::vector<TextureRecord> records;
};

// A record from the values a records file holds (width and height 1 to 256, page from 1).
// Every value keeps its low bits in the record's field, without a range test.
TextureRecord RecordFromFileValues(int x, int y, int width, int height, int flipX, int flipY,
                                   int page);

// Reads the text of a records file. Never creates more records than the text has blocks,
// whatever the count line says.
RecordsFileContents ParseRecordsFile(std::string_view text);

// Texture Position > Export: writes every record of the project to path (replacing it only
// once the new file is complete); a path ending in ".json" gets the JSON form. Does nothing
// when the project has no record.
Outcome ExportRecords(const Project& project, const std::string& path);

// The check Import makes before it asks how to import: fails with kNotARecordsFileMessage
// when line 1 is wrong, or with the file error when the file cannot be read.
Outcome CheckRecordsFile(const std::string& path);

// Texture Position > Import once the user has answered. Overwrite replaces all records with
// the file's; Append adds all but the file's first block behind the existing records, each
// page raised by shift when shift is above 0 (the editor presets shift to the page count).
// A file that cannot be used (wrong line 1 or 15, no record to overwrite with) changes
// nothing. A path ending in ".json" is read as the JSON form, with the same rules.
// Afterwards record 1 is selected, as the texture list shows it.
Outcome ImportRecords(Project& project, const std::string& path, RecordsImportMode mode, int shift);

}  // namespace pelmora
