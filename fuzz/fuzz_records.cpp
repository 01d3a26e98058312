// Feeds arbitrary bytes to the records-file reader. Inputs whose first byte is odd get the
// fifteen header lines put in front, so that the fuzzer spends its time on the count and
// the blocks rather than on guessing the header. Whatever the reader accepts must survive
// a write and a second read unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "records/records_file.h"

namespace {

std::string HeaderLines() {
    // The writer's own header up to the amount line, taken from an empty file.
    const std::string empty = pelmora::RecordsFileText({});
    const std::string amount = std::string(pelmora::kRecordsAmountLine) + "\r\n";
    return empty.substr(0, empty.find(amount) + amount.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string header = HeaderLines();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string text;
    if (size > 0 && (data[0] & 1) != 0) {
        text = header;
        text.append(input.substr(1));
        input = text;
    }
    const pelmora::RecordsFileContents contents = pelmora::ParseRecordsFile(input);
    // Never more records than the text has lines.
    if (contents.records.size() > input.size()) std::abort();
    if (contents.status == pelmora::RecordsFileContents::Status::Ok) {
        const auto again = pelmora::ParseRecordsFile(pelmora::RecordsFileText(contents.records));
        if (again.records != contents.records) std::abort();
    }
    return 0;
}
