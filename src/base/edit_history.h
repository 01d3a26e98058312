#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/project.h"

namespace pelmora {

constexpr const char* kCannotUndoMessage =
    "This step is too large to be undone; the steps before it can no longer be undone either.";

// The undo and redo steps of one project. A step keeps only what it changed: the records
// that differ (or both whole lists when their number changed) and the page-store entries
// that the step replaced, added or removed, as the page store reports them through its
// journal. Only project.pages and project.records are the document; the editor cuts the
// selection's piece again from them.
//
// Every call is made on the thread that owns the project. While a step is open, another
// thread may change project.pages (the add-pieces worker); the store reports those changes
// under its lock. A step must be ended (or the history cleared) before its project goes.
class EditHistory {
public:
    // Bytes of page and record data the steps may hold together.
    static constexpr size_t kDefaultLimit = size_t(256) << 20;
    explicit EditHistory(size_t limitBytes = kDefaultLimit);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Starts a step named `name` (the menu shows "Undo NAME"): keeps the records as they are
    // now and journals every change to project.pages until EndStep. Ignored while a step is
    // open (that step goes on) or when the store's lock could not be had (EndStep then
    // reports NothingChanged).
    void BeginStep(Project& project, std::string name);
    bool InStep() const;
    enum class StepEnd { Kept, NothingChanged, TooLarge };
    // Ends the step. NothingChanged: no record or page changed, nothing kept. TooLarge: the
    // step held more data than the limit: it is not kept and the whole history is cleared
    // (the steps before it can no longer be replayed); the caller tells the user
    // kCannotUndoMessage. A kept step clears the redo steps and drops the oldest steps until
    // the history fits its limit again.
    StepEnd EndStep(Project& project);

    bool CanUndo() const;
    bool CanRedo() const;
    std::string UndoName() const;  // empty when there is none
    std::string RedoName() const;
    int UndoCount() const { return static_cast<int>(undo_.size()); }
    int RedoCount() const { return static_cast<int>(redo_.size()); }

    // Puts records and pages back (or forward again) exactly, under the store's lock, and
    // the selection as it was before (after) the step, cut to what exists; the caller shows
    // the selected texture again (SelectTexture) to cut its piece anew. False, with
    // nothing changed, when there is nothing to do, a step is open or the lock could not be
    // had. Should the store run out of memory halfway, the history is cleared and false is
    // answered: the project is then somewhere between the two states.
    bool Undo(Project& project);
    bool Redo(Project& project);

    // Forgets every step and takes the project as it now is for the saved state (Open, New,
    // Close). An open step is dropped.
    void Clear();
    void MarkSaved();  // after a successful save
    // True when the project is in the state it was last saved (or cleared) in. A state that
    // can no longer be reached (its step was dropped, or redo steps were cleared) never is.
    bool AtSavedState() const;
    // The page and record bytes the steps hold.
    size_t BytesHeld() const { return held_; }
    size_t Limit() const { return limit_; }

private:
    struct Step;
    class Recorder;

    void DropAll();
    bool Replay(Project& project, const Step& step, bool forward);

    size_t limit_;
    std::deque<std::unique_ptr<Step>> undo_;   // oldest first
    std::vector<std::unique_ptr<Step>> redo_;  // the next one to redo last
    size_t held_ = 0;
    uint64_t nextState_ = 1;
    uint64_t state_ = 0;  // names the project's present state
    uint64_t savedState_ = 0;
    std::unique_ptr<Recorder> open_;
};

}  // namespace pelmora
