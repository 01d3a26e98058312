#include "records/records_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "base/file_util.h"
#include "base/paths.h"
#include "records/records_json.h"

namespace pelmora {

namespace {

constexpr const char* kHeaderLines[] = {
    kRecordsFileFirstLine,
    "",
    "If you edit these by hand here is the texture format to follow...",
    "",
    "[Texture#]",
    "X(0 - 255)",
    "Y(0 - 255)",
    "Width(1 - 256)",
    "Height(1 - 256)",
    "FlipX(-1 or 0)",
    "FlipY(-1 or 0)",
    "Page(1 and up)",
    "",
    "If you edit the textures by hand make sure the amount of textures is correct...",
    kRecordsAmountLine,
};

constexpr const char* kLastHeaderLine =
    "You can edit the textures starting from [Texture2], don't edit or remove [Texture1], you "
    "can remove textures by deleting the texture block, and changing the amount of textures up "
    "top to the correct value...";

void AppendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

void AppendNumber(std::string& out, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    AppendLine(out, text);
}

// Hands out the lines of a text one by one. A line ends at LF; a CR just before the LF is
// not part of it. Past the end every line is empty.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    std::string_view Next() {
        if (AtEnd()) return {};
        const size_t lf = text_.find('\n', pos_);
        if (lf == std::string_view::npos) {
            const std::string_view line = text_.substr(pos_);
            pos_ = text_.size();
            return line;
        }
        std::string_view line = text_.substr(pos_, lf - pos_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos_ = lf + 1;
        return line;
    }

    void Skip(int lines) {
        for (int i = 0; i < lines; ++i) Next();
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// C's atoi as the C library here does it: strtol's saturating 64-bit value cut to an int.
int AtoI(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsCSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    // Accumulate towards the negative side, which has room for the largest magnitude.
    constexpr long long kMin = std::numeric_limits<long long>::min();
    long long value = 0;
    bool saturated = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const int digit = s[i] - '0';
        if (saturated) continue;
        if (value < (kMin + digit) / 10) {
            saturated = true;
            continue;
        }
        value = value * 10 - digit;
    }
    long long result;
    if (saturated) {
        result = negative ? kMin : std::numeric_limits<long long>::max();
    } else {
        result =
            negative ? value : (value == kMin ? std::numeric_limits<long long>::max() : -value);
    }
    return static_cast<int>(result);
}

// Reads at most kMaxRecordsFileBytes; a larger file is refused. So is anything that is not
// a regular file (a pipe, a FIFO), which might never end or never open.
bool ReadRecordsFile(const std::string& path, std::string& text, std::string& error) {
    const int fd = OpenInputFile(path, &error);
    if (fd < 0) return false;
    text.clear();
    char block[1 << 16];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = FileErrorMessage(path);
            ok = false;
        }
        if (n <= 0) break;
        text.append(block, static_cast<size_t>(n));
        if (static_cast<long long>(text.size()) > kMaxRecordsFileBytes) {
            error = "\"" + path + "\" is too large to be a Pelmora Texture Records File.";
            ok = false;
            break;
        }
    }
    ::close(fd);
    return ok;
}

}  // namespace

// So that what a hand-edited file says survives a round trip as far as the field can hold it.
TextureRecord RecordFromFileValues(int x, int y, int width, int height, int flipX, int flipY,
                                   int page) {
    TextureRecord r;
    r.X = static_cast<uint8_t>(x);
    r.Y = static_cast<uint8_t>(y);
    r.StoredWidth = static_cast<uint8_t>(static_cast<uint32_t>(width) - 1u);
    r.StoredHeight = static_cast<uint8_t>(static_cast<uint32_t>(height) - 1u);
    r.FlipX = static_cast<int8_t>(flipX);
    r.FlipY = static_cast<int8_t>(flipY);
    r.Page = static_cast<uint16_t>(static_cast<uint32_t>(page) - 1u);
    return r;
}

std::string RecordsFileText(const std::vector<TextureRecord>& records) {
    std::string out;
    out.reserve(512 + records.size() * 40);
    for (const char* line : kHeaderLines) AppendLine(out, line);
    AppendNumber(out, static_cast<int>(records.size()));
    AppendLine(out, "");
    AppendLine(out, kLastHeaderLine);
    for (size_t i = 0; i < records.size(); ++i) {
        const TextureRecord& r = records[i];
        char tag[32];
        std::snprintf(tag, sizeof tag, "[Texture%d]", static_cast<int>(i + 1));
        AppendLine(out, tag);
        AppendNumber(out, r.X);
        AppendNumber(out, r.Y);
        AppendNumber(out, r.Width());
        AppendNumber(out, r.Height());
        AppendNumber(out, r.FlipX);
        AppendNumber(out, r.FlipY);
        AppendNumber(out, r.Page + 1);
        AppendLine(out, "");
    }
    return out;
}

RecordsFileContents ParseRecordsFile(std::string_view text) {
    RecordsFileContents contents;
    LineCursor lines(text);
    if (!EqualsIgnoreCase(std::string(lines.Next()), kRecordsFileFirstLine)) {
        contents.status = RecordsFileContents::Status::NotRecordsFile;
        return contents;
    }
    lines.Skip(13);
    if (lines.Next() != kRecordsAmountLine) {
        contents.status = RecordsFileContents::Status::NoAmountLine;
        return contents;
    }
    contents.announced = AtoI(lines.Next());
    lines.Skip(2);
    // A block that would begin past the end of the file is not there: the count alone must
    // not make records out of nothing (a count of two billion in a small file, say).
    for (int k = 0; k < contents.announced && !lines.AtEnd(); ++k) {
        lines.Next();  // the tag line is taken on trust
        int fields[7];
        for (int& field : fields) field = AtoI(lines.Next());
        lines.Next();
        contents.records.push_back(RecordFromFileValues(fields[0], fields[1], fields[2], fields[3],
                                                        fields[4], fields[5], fields[6]));
    }
    return contents;
}

Outcome ExportRecords(const Project& project, const std::string& path) {
    if (project.records.empty()) return Outcome::Done(false);
    std::string error;
    const std::string text = IsJsonRecordsPath(path) ? RecordsJsonText(project.records)
                                                     : RecordsFileText(project.records);
    if (!WriteFileAtomically(path, text, &error)) return Outcome::Failed(path, error);
    return Outcome::Done(true);
}

Outcome CheckRecordsFile(const std::string& path) {
    std::string text, error;
    if (!ReadRecordsFile(path, text, error)) return Outcome::Failed(path, error);
    if (IsJsonRecordsPath(path)) {
        if (ParseRecordsJson(text).status == RecordsFileContents::Status::NotRecordsFile)
            return Outcome::Refused(path, kNotARecordsFileMessage).SubjectAfterHeadline();
        return Outcome::Done(false);
    }
    LineCursor lines(text);
    if (!EqualsIgnoreCase(std::string(lines.Next()), kRecordsFileFirstLine))
        return Outcome::Refused(path, kNotARecordsFileMessage).SubjectAfterHeadline();
    return Outcome::Done(false);
}

Outcome ImportRecords(Project& project, const std::string& path, RecordsImportMode mode,
                      int shift) {
    if (project.PageCount() == 0) return Outcome::Done(false);
    std::string text, error;
    if (!ReadRecordsFile(path, text, error)) return Outcome::Failed(path, error);
    RecordsFileContents contents =
        IsJsonRecordsPath(path) ? ParseRecordsJson(text) : ParseRecordsFile(text);
    switch (contents.status) {
        case RecordsFileContents::Status::NotRecordsFile:
            return Outcome::Refused(path, kNotARecordsFileMessage).SubjectAfterHeadline();
        case RecordsFileContents::Status::NoAmountLine:
            // Checked before anything is removed: a damaged file must not cost the project
            // its records.
            return Outcome::Refused(path, "\"" + path +
                                              "\" cannot be imported: its line 15 is not " +
                                              kRecordsAmountLine + ".");
        case RecordsFileContents::Status::BadRecord:
            return Outcome::Refused(
                path, "\"" + path + "\" cannot be imported: " + contents.problem + ".");
        case RecordsFileContents::Status::Ok:
            break;
    }

    bool changed = false;
    if (mode == RecordsImportMode::Overwrite) {
        // A project always keeps its reserved first record; without one it could not even
        // be saved.
        if (contents.records.empty()) {
            return Outcome::Refused(
                path, "\"" + path + "\" holds no texture records; the current records were kept.");
        }
        project.records = std::move(contents.records);
        changed = true;
    } else {
        const uint32_t add = shift > 0 ? static_cast<uint32_t>(shift) : 0u;
        // The file's first block is its own reserved record, never appended.
        for (size_t k = 1; k < contents.records.size(); ++k) {
            TextureRecord r = contents.records[k];
            r.Page = static_cast<uint16_t>(r.Page + add);
            project.records.push_back(r);
            changed = true;
        }
    }

    const Outcome shown = SelectTexture(project, 0);
    if (!shown.IsDone()) return ShownAfterChange(shown, changed);
    return Outcome::Done(changed);
}

}  // namespace pelmora
