// Feeds arbitrary bytes to the JSON records reader. Whatever it accepts must survive a write
// and a second read unchanged, and it never keeps more records than the text could hold.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "records/records_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const pelmora::RecordsFileContents contents = pelmora::ParseRecordsJson(input);
    if (contents.records.size() > size / 8) std::abort();
    if (contents.status == pelmora::RecordsFileContents::Status::Ok) {
        const auto again = pelmora::ParseRecordsJson(pelmora::RecordsJsonText(contents.records));
        if (again.records != contents.records) std::abort();
    }
    return 0;
}
