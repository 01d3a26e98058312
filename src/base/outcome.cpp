#include "base/outcome.h"

namespace pelmora {

namespace {

bool QuotesAPath(const std::string& message) {
    return message.find('"') != std::string::npos;
}

bool NamesPath(const std::string& message, const std::string& path) {
    return QuotesAPath(message) || message.find(path) != std::string::npos;
}

}  // namespace

bool Outcome::MessageNamesSubject() const {
    return subject.empty() || subjectFollows || NamesPath(message, subject);
}

std::string Outcome::MessageWithSubject() const {
    if (!subjectFollows || subject.empty()) return message;
    const size_t lineEnd = message.find('\n');
    if (NamesPath(message, subject)) {
        if (lineEnd == std::string::npos) return message;
        return message.substr(0, lineEnd) + " " + message.substr(lineEnd + 1);
    }
    if (lineEnd == std::string::npos) return message + " " + subject;
    return message.substr(0, lineEnd) + " " + subject + message.substr(lineEnd);
}

}  // namespace pelmora
