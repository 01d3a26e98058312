#pragma once

#include <functional>
#include <string>

namespace pelmora {

// Progress of a bulk export: called first with done = 0 (the editor's progress window then
// sets its text and range 0 to total) and then once per step. It is always called on the
// thread that runs the export, however many threads do the work.
using ExportProgress = std::function<void(const std::string& text, int done, int total)>;

}  // namespace pelmora
