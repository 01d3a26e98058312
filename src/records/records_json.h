#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/records_file.h"
#include "base/json_text.h"
#include "base/texture_record.h"

namespace pelmora {

// One record as the JSON documents show it, numbers as the user sees them:
// {"texture": index + 1, "page": from 1, "x", "y", "width": 1 to 256, "height",
//  "flip_x": -1 or 0, "flip_y"}.
Json RecordJson(int index, const TextureRecord& record);

// The JSON records file: {"records": [one RecordJson per record]} and a line end. The same
// list as `records --json` prints, so either can be read back.
std::string RecordsJsonText(const std::vector<TextureRecord>& records);

// Reads a JSON records file: an object whose "records" list holds one object per record
// with the seven numbers of RecordJson ("texture" and any other member are taken on trust
// and passed over). The values are stored the way the text records file stores them (low
// bits kept, page - 1). Status NotRecordsFile when the text is not JSON or has no such
// list; BadRecord, with problem saying which and why, when a record lacks a whole number.
// Memory is bounded by the text: nothing but the records is kept.
RecordsFileContents ParseRecordsJson(std::string_view text);

// Whether a records file path means the JSON form (it ends in ".json", any letter case).
bool IsJsonRecordsPath(const std::string& path);

}  // namespace pelmora
