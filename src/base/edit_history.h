#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/image.h"
#include "base/project.h"
#include "base/texture_record.h"

namespace pelmora {

// The steps the user can undo and redo. A step is opened before an edit and closed after it;
// what the edit changed is kept so that it can be taken back and done again.
class EditHistory {
public:
    static constexpr size_t kDefaultLimit = size_t(256) << 20;
    explicit EditHistory(size_t limitBytes = kDefaultLimit);

    void BeginStep(Project& project, std::string name);
    bool InStep() const;
    enum class StepEnd { Kept, NothingChanged, TooLarge };
    StepEnd EndStep(Project& project);

    bool CanUndo() const;
    bool CanRedo() const;
    std::string UndoName() const;  // empty when none
    std::string RedoName() const;  // empty when none
    bool Undo(Project& project);   // clamps selectedPage/Texture
    bool Redo(Project& project);

    void Clear();
    void MarkSaved();
    bool AtSavedState() const;
    size_t BytesHeld() const;

private:
    // Until the history that keeps only what a step changed is in, a step keeps the records
    // and pages whole, before and after.
    struct Snapshot {
        std::vector<TextureRecord> records;
        std::vector<Image> pages;
        size_t Bytes() const;
    };
    struct Step {
        std::string name;
        Snapshot before;
        Snapshot after;
    };
    static Snapshot Take(const Project& project);
    static void Restore(Project& project, const Snapshot& snapshot);

    size_t limit_;
    bool inStep_ = false;
    Step open_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    // How many steps were on the undo list when the project was saved; npos when the saved
    // state can no longer be reached.
    size_t saved_ = 0;
    static constexpr size_t npos = static_cast<size_t>(-1);
};

constexpr const char* kCannotUndoMessage =
    "This step is too large to be undone; the steps before it can no longer be undone either.";

}  // namespace pelmora
