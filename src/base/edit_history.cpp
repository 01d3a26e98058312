#include "base/edit_history.h"

#include <algorithm>

namespace pelmora {

size_t EditHistory::Snapshot::Bytes() const {
    size_t bytes = records.size() * sizeof(TextureRecord);
    for (const Image& page : pages) bytes += page.ByteSize();
    return bytes;
}

EditHistory::EditHistory(size_t limitBytes) : limit_(limitBytes) {}

EditHistory::Snapshot EditHistory::Take(const Project& project) {
    Snapshot snapshot;
    snapshot.records = project.records;
    for (int i = 0; i < project.PageCount(); ++i)
        if (std::optional<Image> page = project.pages.GetBitmap(i))
            snapshot.pages.push_back(std::move(*page));
    return snapshot;
}

void EditHistory::Restore(Project& project, const Snapshot& snapshot) {
    project.records = snapshot.records;
    project.pages.ClearBitmaps();
    for (const Image& page : snapshot.pages) {
        Image copy = page;
        project.pages.AddBitmapHandle(std::move(copy));
    }
    project.pieces.ClearBitmaps();
    project.selectedPage = std::min(project.selectedPage, project.PageCount() - 1);
    project.selectedTexture = std::min(project.selectedTexture, project.RecordCount() - 1);
}

void EditHistory::BeginStep(Project& project, std::string name) {
    open_ = Step{std::move(name), Take(project), {}};
    inStep_ = true;
}

bool EditHistory::InStep() const {
    return inStep_;
}

EditHistory::StepEnd EditHistory::EndStep(Project& project) {
    if (!inStep_) return StepEnd::NothingChanged;
    inStep_ = false;
    open_.after = Take(project);
    if (open_.after.records == open_.before.records && open_.after.pages == open_.before.pages) {
        open_ = {};
        return StepEnd::NothingChanged;
    }
    if (saved_ != npos && saved_ > undo_.size()) saved_ = npos;  // a redo that is gone
    redo_.clear();
    if (open_.before.Bytes() + open_.after.Bytes() > limit_) {
        open_ = {};
        Clear();
        saved_ = npos;
        return StepEnd::TooLarge;
    }
    undo_.push_back(std::move(open_));
    open_ = {};
    while (BytesHeld() > limit_ && !undo_.empty()) {
        undo_.erase(undo_.begin());
        saved_ = saved_ == npos || saved_ == 0 ? npos : saved_ - 1;
    }
    return StepEnd::Kept;
}

bool EditHistory::CanUndo() const {
    return !inStep_ && !undo_.empty();
}
bool EditHistory::CanRedo() const {
    return !inStep_ && !redo_.empty();
}
std::string EditHistory::UndoName() const {
    return undo_.empty() ? std::string() : undo_.back().name;
}
std::string EditHistory::RedoName() const {
    return redo_.empty() ? std::string() : redo_.back().name;
}

bool EditHistory::Undo(Project& project) {
    if (!CanUndo()) return false;
    Restore(project, undo_.back().before);
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    return true;
}

bool EditHistory::Redo(Project& project) {
    if (!CanRedo()) return false;
    Restore(project, redo_.back().after);
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    return true;
}

void EditHistory::Clear() {
    undo_.clear();
    redo_.clear();
    inStep_ = false;
    open_ = {};
    saved_ = 0;
}

void EditHistory::MarkSaved() {
    saved_ = undo_.size();
}

bool EditHistory::AtSavedState() const {
    return saved_ == undo_.size();
}

size_t EditHistory::BytesHeld() const {
    size_t bytes = 0;
    for (const Step& step : undo_) bytes += step.before.Bytes() + step.after.Bytes();
    for (const Step& step : redo_) bytes += step.before.Bytes() + step.after.Bytes();
    return bytes;
}

}  // namespace pelmora
