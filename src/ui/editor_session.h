#pragma once

#include <array>
#include <string>

#include "base/colour.h"
#include "records/duplicate_check.h"

namespace pelmora::ui {

// What the editor keeps between commands that is not part of the document: the colour
// chooser's custom colours, the folder the WAD file dialogs start in and the private file
// the duplicate report is shown in. The window owns one; the command line needs none.
class EditorSession {
public:
    EditorSession();
    // Removes the duplicate report's file if this session wrote it.
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // The 16 custom colours of the colour chooser; they start random, never with a
    // component of 255.
    std::array<Colour, 16> customColours{};
    // Where the Open, New, Save As and Import dialogs start: the folder of the last file
    // opened, made, saved as or imported.
    std::string rememberedWadFolder;
    // The duplicate report the Check command writes and shows.
    DuplicateListFile duplicateList;

    // The folder of path becomes the remembered one.
    void RememberWadFolderOf(const std::string& path);
};

}  // namespace pelmora::ui
