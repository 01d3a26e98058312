#include "records/duplicate_check.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "base/file_util.h"
#include "base/temp_files.h"

namespace pelmora {

namespace {

uint64_t Key(const TextureRecord& r) {
    const auto b = r.ToBytes();
    uint64_t key = 0;
    for (const uint8_t byte : b) key = (key << 8) | byte;
    return key;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

// The check compares every record with every later one and remembers the last equal pair
// (i, j) it met; a pair is reported when both i and j differ from that last pair. Walking
// i upwards, a record's first equal partner is its next copy, and the last pair met before
// i's is always (i', last copy of i'), where i' is the latest earlier record that had a
// later copy. That gives the same pairs in one pass instead of n^2 / 2 comparisons.
DuplicateCheck FindDuplicates(const std::vector<TextureRecord>& records) {
    const int n = static_cast<int>(records.size());
    std::vector<int> nextCopy(n, -1);
    std::unordered_map<uint64_t, int> lastSeen;  // key -> latest index walked so far
    std::unordered_map<uint64_t, int> lastCopy;  // key -> highest index with that key
    lastSeen.reserve(static_cast<size_t>(n));
    for (int i = n - 1; i >= 0; --i) {
        const uint64_t key = Key(records[i]);
        if (auto it = lastSeen.find(key); it != lastSeen.end()) {
            nextCopy[i] = it->second;
            it->second = i;
        } else {
            lastSeen.emplace(key, i);
            lastCopy.emplace(key, i);
        }
    }

    DuplicateCheck check;
    int lastJ = -1;
    for (int i = 0; i < n; ++i) {
        const int j = nextCopy[i];
        if (j < 0) continue;
        if (j != lastJ) {
            ++check.count;
            char line[80];
            std::snprintf(line, sizeof line, "texture %d and texture %d match\n", i + 1, j + 1);
            check.reportText += line;
            check.removal.push_back(j);
            check.originals.push_back(i);
        }
        lastJ = lastCopy.at(Key(records[i]));
    }
    return check;
}

std::string DuplicateReport(const DuplicateCheck& check) {
    char head[48];
    std::snprintf(head, sizeof head, "Found %d duplicates\n\n", check.count);
    return head + check.reportText;
}

Outcome WriteDuplicateReport(const DuplicateCheck& check, const std::string& path) {
    std::string error;
    if (!WriteFileAtomically(path, WithCrLf(DuplicateReport(check)), &error))
        return Outcome::Failed(path, error);
    return Outcome::Done(false);
}

Outcome WriteDuplicateListFile(DuplicateListFile& file, const DuplicateCheck& check) {
    if (file.path.empty()) {
        file.path = MakePrivateTempFile("Pelmora_duplicate_list_", ".txt");
        if (file.path.empty()) {
            return Outcome::Failed(
                {}, std::string("Cannot write the duplicate list: ") + std::strerror(errno));
        }
        file.written = true;
    }
    const Outcome written = WriteDuplicateReport(check, file.path);
    if (written.IsDone()) file.written = true;
    return written;
}

void RemoveDuplicateListFile(DuplicateListFile& file) {
    if (!file.written) return;
    RemoveTempFile(file.path);
    file.path.clear();
    file.written = false;
}

Outcome RemoveDuplicates(Project& project, const DuplicateCheck& check) {
    if (check.removal.empty()) return Outcome::Done(false);
    std::vector<int> removal = check.removal;
    std::sort(removal.begin(), removal.end(), std::greater<>());
    bool changed = false;
    for (const int index : removal) {
        // Record 1 is never a copy's second half; the test only guards a stale list.
        if (index < 1 || index >= project.RecordCount()) continue;
        project.records.erase(project.records.begin() + index);
        changed = true;
    }
    const Outcome shown = SelectTexture(project, 0);
    if (!shown.IsDone()) return ShownAfterChange(shown, changed);
    return Outcome::Done(changed);
}

}  // namespace pelmora
