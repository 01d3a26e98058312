#pragma once

#include <string>

namespace pelmora {

// What a core operation did. The message is the exact text the editor shows in its box and
// the command line prints; an operation may succeed and still have something to say (a file
// it skipped, a page it made blank instead).
struct OpResult {
    bool ok = true;
    bool changed = false;  // the project (or a file) was changed
    std::string message;

    static OpResult Done(bool changed = true) { return {true, changed, {}}; }
    static OpResult Failed(std::string text, bool changed = false) {
        return {false, changed, std::move(text)};
    }
};

}  // namespace pelmora
