#include "update/version.h"

#include <optional>
#include <vector>

namespace pelmora {

namespace {

constexpr size_t kMaxComponents = 4;
constexpr size_t kPublishedVersionLength = 7;

// The components of a version with their leading zeros dropped, so that numbers too long for
// any integer type still compare by value; nothing when the text is not a version.
std::optional<std::vector<std::string_view>> VersionComponents(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('.', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(start, end - start);
        start = end + 1;
        if (piece.empty()) continue;
        if (piece.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
        if (parts.size() == kMaxComponents) return std::nullopt;
        piece.remove_prefix(std::min(piece.find_first_not_of('0'), piece.size()));
        parts.push_back(piece);
    }
    if (parts.empty()) return std::nullopt;
    parts.resize(kMaxComponents);  // missing components are 0, written as ""
    return parts;
}

int CompareNumbers(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace

int CompareVersions(std::string_view a, std::string_view b) {
    const auto first = VersionComponents(a);
    if (!first) return kFirstVersionMalformed;
    const auto second = VersionComponents(b);
    if (!second) return kSecondVersionMalformed;
    for (size_t i = 0; i < kMaxComponents; ++i) {
        if (const int order = CompareNumbers((*first)[i], (*second)[i]); order != 0) return order;
    }
    return 0;
}

std::string OwnVersion() {
    // The build writes the project's version in here, so it is never missing.
    static_assert(sizeof(PELMORA_VERSION) > 1, "the build must state the program's version");
    return PELMORA_VERSION;
}

std::string PublishedVersion(std::string_view body) {
    body = body.substr(0, kPublishedVersionLength);
    // The page may follow a short version with its line end or text at once ("1.1\r\n<html>");
    // that is still the version 1.1, not a malformed one.
    return std::string(body.substr(0, body.find_first_not_of("0123456789.")));
}

}  // namespace pelmora
