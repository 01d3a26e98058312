#include "records/records_json.h"

#include <array>
#include <climits>
#include <cstdint>

#include "base/paths.h"

namespace pelmora {

namespace {

constexpr std::array<const char*, 7> kFieldNames = {"x",      "y",      "width", "height",
                                                    "flip_x", "flip_y", "page"};
// Deeper than any document this reader wants; stops a run of brackets early.
constexpr int kMaxDepth = 32;

// Follows the parser's events and keeps only the records. Returning false stops the parse.
class RecordsReader : public nlohmann::json_sax<nlohmann::json> {
public:
    explicit RecordsReader(RecordsFileContents& contents) : contents_(contents) {}

    bool sawRecords() const { return sawRecords_; }
    bool failed() const { return failed_; }

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t value) override { return Number(value); }
    bool number_unsigned(number_unsigned_t value) override {
        return Number(value > static_cast<number_unsigned_t>(LLONG_MAX)
                          ? LLONG_MAX
                          : static_cast<long long>(value));
    }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }

    bool start_object(std::size_t) override {
        if (depth_ == 0) return Open();
        if (InRecordList()) {
            if (!Open()) return false;
            have_ = 0;
            return true;
        }
        return Value() && Open();
    }
    bool end_object() override {
        --depth_;
        if (inRecords_ && depth_ == 2) return EndRecord();
        return true;
    }
    bool start_array(std::size_t) override {
        if (depth_ == 1 && key_ == "records") {
            if (sawRecords_) return Fail("it has more than one \"records\" list");
            inRecords_ = sawRecords_ = true;
            return Open();
        }
        if (depth_ == 0) return Fail("");
        return Value() && Open();
    }
    bool end_array() override {
        --depth_;
        if (inRecords_ && depth_ == 1) inRecords_ = false;
        return true;
    }
    bool key(string_t& name) override {
        key_ = name;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return Fail("");
    }

private:
    bool InRecordList() const { return inRecords_ && depth_ == 2; }
    bool InRecord() const { return inRecords_ && depth_ == 3; }

    bool Open() {
        if (++depth_ > kMaxDepth) return Fail("");
        return true;
    }
    bool Fail(std::string problem) {
        failed_ = true;
        contents_.problem = std::move(problem);
        return false;
    }
    std::string RecordName() const {
        return "record " + std::to_string(contents_.records.size() + 1);
    }
    int FieldIndex() const {
        for (size_t i = 0; i < kFieldNames.size(); ++i)
            if (key_ == kFieldNames[i]) return static_cast<int>(i);
        return -1;
    }

    // Anything but a number: wrong where a record's field stands, passed over elsewhere.
    bool Value() {
        if (depth_ == 0) return Fail("");
        if (InRecordList()) return Fail(RecordName() + " is not an object");
        if (InRecord() && FieldIndex() >= 0)
            return Fail(RecordName() + ": \"" + key_ + "\" is not a whole number");
        return true;
    }
    bool Number(long long value) {
        if (!InRecord() || FieldIndex() < 0) return Value();
        if (value < INT_MIN || value > INT_MAX)
            return Fail(RecordName() + ": \"" + key_ + "\" is out of range");
        const int i = FieldIndex();
        fields_[i] = static_cast<int>(value);
        have_ |= 1u << i;
        return true;
    }
    bool EndRecord() {
        for (size_t i = 0; i < kFieldNames.size(); ++i) {
            if ((have_ & (1u << i)) == 0)
                return Fail(RecordName() + " has no \"" + kFieldNames[i] + "\"");
        }
        contents_.records.push_back(RecordFromFileValues(
            fields_[0], fields_[1], fields_[2], fields_[3], fields_[4], fields_[5], fields_[6]));
        return true;
    }

    RecordsFileContents& contents_;
    int depth_ = 0;
    bool inRecords_ = false;
    bool sawRecords_ = false;
    bool failed_ = false;
    std::string key_;
    int fields_[7] = {};
    unsigned have_ = 0;
};

}  // namespace

Json RecordJson(int index, const TextureRecord& r) {
    return Json{
        {"texture", index + 1}, {"page", r.Page + 1},   {"x", r.X},          {"y", r.Y},
        {"width", r.Width()},   {"height", r.Height()}, {"flip_x", r.FlipX}, {"flip_y", r.FlipY}};
}

std::string RecordsJsonText(const std::vector<TextureRecord>& records) {
    Json list = Json::array();
    for (size_t i = 0; i < records.size(); ++i)
        list.push_back(RecordJson(static_cast<int>(i), records[i]));
    return JsonText(Json{{"records", std::move(list)}}) + "\n";
}

RecordsFileContents ParseRecordsJson(std::string_view text) {
    RecordsFileContents contents;
    RecordsReader reader(contents);
    const bool parsed = nlohmann::json::sax_parse(text, &reader);
    if (reader.failed() && !contents.problem.empty()) {
        contents.status = RecordsFileContents::Status::BadRecord;
        contents.records.clear();
    } else if (!parsed || reader.failed() || !reader.sawRecords()) {
        contents.status = RecordsFileContents::Status::NotRecordsFile;
        contents.problem.clear();
        contents.records.clear();
    }
    contents.announced = static_cast<int>(contents.records.size());
    return contents;
}

bool IsJsonRecordsPath(const std::string& path) {
    return EqualsIgnoreCase(ExtensionOf(path), ".json");
}

}  // namespace pelmora
