#include "ui/editor_session.h"

#include <ctime>
#include <random>

#include "base/paths.h"

namespace pelmora::ui {

EditorSession::EditorSession() {
    std::minstd_rand random(static_cast<unsigned>(std::time(nullptr)));
    for (Colour& c : customColours) {
        const auto r = static_cast<uint8_t>(random() % 255);
        const auto g = static_cast<uint8_t>(random() % 255);
        const auto b = static_cast<uint8_t>(random() % 255);
        c = MakeColour(r, g, b);
    }
}

EditorSession::~EditorSession() {
    RemoveDuplicateListFile(duplicateList);
}

void EditorSession::RememberWadFolderOf(const std::string& path) {
    rememberedWadFolder = DirectoryOf(path);
}

}  // namespace pelmora::ui
