#include "base/edit_history.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <set>
#include <utility>

namespace pelmora {

namespace {

// One store entry's shape and bytes, held apart from the store.
struct Entry {
    BitmapHeader shape;  // bits unused
    std::vector<uint8_t> bytes;

    static Entry Of(const BitmapHeader& h) {
        Entry e;
        e.shape = h;
        e.shape.bits = nullptr;
        e.bytes.assign(h.bits, h.bits + BitmapByteSize(h));
        return e;
    }
    BitmapHeader Header() const {
        BitmapHeader h = shape;
        h.bits = const_cast<uint8_t*>(bytes.data());
        return h;
    }
    bool Matches(const BitmapHeader& h) const {
        return h.type == shape.type && h.width == shape.width && h.height == shape.height &&
               h.widthBytes == shape.widthBytes && h.planes == shape.planes &&
               h.bitsPerPixel == shape.bitsPerPixel && BitmapByteSize(h) == bytes.size() &&
               std::memcmp(h.bits, bytes.data(), bytes.size()) == 0;
    }
};

int Clamp(int selected, int count) {
    return count <= 0 ? -1 : std::clamp(selected, -1, count - 1);
}

}  // namespace

struct EditHistory::Step {
    struct Placed {
        int index;
        Entry entry;
    };
    // An entry that stayed but changed; rank is its place among the entries that stayed,
    // which is where it stands once the added ones are gone and before removed ones return.
    struct Changed {
        int rank;
        Entry before;
        Entry after;
    };
    struct RecordChange {
        int index;
        TextureRecord before;
        TextureRecord after;
    };

    std::string name;
    uint64_t stateBefore = 0;
    uint64_t stateAfter = 0;
    int pageBefore = -1, textureBefore = -1, pageAfter = -1, textureAfter = -1;

    bool wholeRecords = false;
    std::vector<TextureRecord> recordsBefore, recordsAfter;  // when wholeRecords
    std::vector<RecordChange> recordChanges;                 // otherwise

    std::vector<Placed> removed;  // by index before the step, ascending
    std::vector<Placed> added;    // by index after the step, ascending
    std::vector<Changed> changed;
    size_t bytes = 0;

    bool Empty() const {
        return !wholeRecords && recordChanges.empty() && removed.empty() && added.empty() &&
               changed.empty();
    }
};

// Follows the page store through one step. It knows each entry that was there when the step
// began by that index, keeps its bytes the first time the store says it changes or goes, and
// marks entries that came during the step as new; their bytes, and the new bytes of changed
// entries, are taken once at the end, so a page written a thousand times is held twice.
// Only touched under the store's lock while attached.
class EditHistory::Recorder : public StoreJournal {
public:
    Recorder(Project& project, std::string name, size_t limit)
        : store(&project.pages),
          name(std::move(name)),
          records(project.records),
          page(project.selectedPage),
          texture(project.selectedTexture),
          limit_(limit) {
        current.resize(static_cast<size_t>(project.pages.Count()));
        for (size_t i = 0; i < current.size(); ++i) current[i] = static_cast<int>(i);
    }

    void Changing(int index, const BitmapHeader& entry) override { Keep(index, entry); }

    void Added(int first, int count) override {
        if (first < 0 || first > static_cast<int>(current.size())) return Lost();
        try {
            current.insert(current.begin() + first, static_cast<size_t>(count), kNew);
        } catch (const std::bad_alloc&) {
            Lost();
        }
    }

    void Removing(int index, const BitmapHeader& entry) override {
        if (index < 0 || index >= static_cast<int>(current.size())) return Lost();
        Keep(index, entry);
        const int id = current[static_cast<size_t>(index)];
        if (id != kNew) {
            try {
                removed.insert(id);
            } catch (const std::bad_alloc&) {
                Lost();
            }
        }
        current.erase(current.begin() + index);
    }

    static constexpr int kNew = -1;
    BitmapStore* store;
    std::string name;
    std::vector<TextureRecord> records;
    int page;
    int texture;
    // For each entry now in the store: the index it had when the step began, or kNew.
    std::vector<int> current;
    std::map<int, Entry> before;  // by index when the step began
    std::set<int> removed;        // the same indices
    size_t beforeBytes = 0;
    // The step outgrew the limit (or memory): it cannot be kept, so nothing more is copied.
    bool tooLarge = false;

private:
    void Keep(int index, const BitmapHeader& entry) {
        if (tooLarge) return;
        if (index < 0 || index >= static_cast<int>(current.size())) return Lost();
        const int id = current[static_cast<size_t>(index)];
        if (id == kNew || before.count(id)) return;
        beforeBytes += BitmapByteSize(entry);
        if (beforeBytes > limit_) return Lost();
        try {
            before.emplace(id, Entry::Of(entry));
        } catch (const std::bad_alloc&) {
            Lost();
        }
    }
    void Lost() {
        tooLarge = true;
        before.clear();
    }

    size_t limit_;
};

EditHistory::EditHistory(size_t limitBytes) : limit_(limitBytes) {}

EditHistory::~EditHistory() {
    if (open_) {
        while (!open_->store->SetJournal(nullptr)) {
        }
    }
}

void EditHistory::BeginStep(Project& project, std::string name) {
    if (open_) return;
    BitmapStore::Guard guard = project.pages.Hold();
    if (!guard.owns_lock()) return;
    auto recorder = std::make_unique<Recorder>(project, std::move(name), limit_);
    project.pages.SetJournal(recorder.get());
    open_ = std::move(recorder);
}

bool EditHistory::InStep() const {
    return open_ != nullptr;
}

EditHistory::StepEnd EditHistory::EndStep(Project& project) {
    if (!open_) return StepEnd::NothingChanged;
    BitmapStore& pages = *open_->store;
    BitmapStore::Guard guard = pages.Hold();
    // The adding worker may hold the lock for a moment longer; the recorder is not ours to
    // read until the store lets go of it.
    while (!guard.owns_lock()) guard = pages.Hold();
    pages.SetJournal(nullptr);
    const std::unique_ptr<Recorder> r = std::move(open_);

    auto step = std::make_unique<Step>();
    step->name = r->name;
    step->pageBefore = r->page;
    step->textureBefore = r->texture;
    step->pageAfter = project.selectedPage;
    step->textureAfter = project.selectedTexture;

    const std::vector<TextureRecord>& now = project.records;
    if (now.size() == r->records.size()) {
        for (size_t i = 0; i < now.size(); ++i) {
            if (!(now[i] == r->records[i]))
                step->recordChanges.push_back({static_cast<int>(i), r->records[i], now[i]});
        }
    }
    const size_t changeBytes = step->recordChanges.size() * sizeof(Step::RecordChange);
    const size_t wholeBytes = (now.size() + r->records.size()) * sizeof(TextureRecord);
    if (now.size() != r->records.size() || changeBytes > wholeBytes) {
        step->recordChanges.clear();
        step->wholeRecords = true;
        step->recordsBefore = r->records;
        step->recordsAfter = now;
        step->bytes += wholeBytes;
    } else {
        step->bytes += changeBytes;
    }

    // What stays of the entries: sizes first, so that a step too large is never copied.
    bool tooLarge = r->tooLarge;
    std::vector<std::pair<int, int>> afterCopies;  // (index now, rank) ; rank -1 for new
    size_t afterBytes = 0;
    int rank = 0;
    for (size_t i = 0; i < r->current.size() && !tooLarge; ++i) {
        const int id = r->current[i];
        const int index = static_cast<int>(i);
        bool differs = id == Recorder::kNew;
        if (!differs) {
            auto kept = r->before.find(id);
            if (kept != r->before.end()) {
                pages.ReadBitmap(index, [&](const BitmapHeader& h) {
                    differs = !kept->second.Matches(h);
                    if (differs) afterBytes += BitmapByteSize(h);
                });
                if (!differs) r->before.erase(kept);
            }
        } else {
            pages.ReadBitmap(index,
                             [&](const BitmapHeader& h) { afterBytes += BitmapByteSize(h); });
        }
        if (differs) afterCopies.emplace_back(index, id == Recorder::kNew ? -1 : rank);
        if (id != Recorder::kNew) ++rank;
    }
    size_t beforeBytes = 0;
    for (const auto& [id, entry] : r->before) beforeBytes += entry.bytes.size();
    if (tooLarge || step->bytes + beforeBytes + afterBytes > limit_) {
        DropAll();
        state_ = nextState_++;
        return StepEnd::TooLarge;
    }

    try {
        for (int id : r->removed) {
            step->removed.push_back({id, std::move(r->before.at(id))});
            r->before.erase(id);
        }
        // The changed entries are those left, in the order of their ranks.
        auto kept = r->before.begin();
        for (const auto& [index, entryRank] : afterCopies) {
            Entry after;
            pages.ReadBitmap(index, [&](const BitmapHeader& h) { after = Entry::Of(h); });
            if (entryRank < 0) {
                step->added.push_back({index, std::move(after)});
            } else {
                step->changed.push_back({entryRank, std::move(kept->second), std::move(after)});
                ++kept;
            }
        }
    } catch (const std::bad_alloc&) {
        DropAll();
        state_ = nextState_++;
        return StepEnd::TooLarge;
    }
    guard.unlock();
    step->bytes += beforeBytes + afterBytes;

    if (step->Empty()) return StepEnd::NothingChanged;
    for (const auto& redo : redo_) held_ -= redo->bytes;
    redo_.clear();
    step->stateBefore = state_;
    step->stateAfter = nextState_++;
    state_ = step->stateAfter;
    held_ += step->bytes;
    undo_.push_back(std::move(step));
    while (held_ > limit_ && undo_.size() > 1) {
        held_ -= undo_.front()->bytes;
        undo_.pop_front();
    }
    return StepEnd::Kept;
}

bool EditHistory::CanUndo() const {
    return !open_ && !undo_.empty();
}

bool EditHistory::CanRedo() const {
    return !open_ && !redo_.empty();
}

std::string EditHistory::UndoName() const {
    return undo_.empty() ? std::string() : undo_.back()->name;
}

std::string EditHistory::RedoName() const {
    return redo_.empty() ? std::string() : redo_.back()->name;
}

bool EditHistory::Replay(Project& project, const Step& step, bool forward) {
    BitmapStore& pages = project.pages;
    if (forward) {
        for (auto it = step.removed.rbegin(); it != step.removed.rend(); ++it) {
            if (pages.DeleteBitmap(it->index) != 1) return false;
        }
        for (const Step::Changed& c : step.changed) {
            if (pages.ReplaceBitmap(c.rank, c.after.Header()) != 1) return false;
        }
        for (const Step::Placed& a : step.added) {
            if (pages.InsertBitmap(a.index, a.entry.Header()) != a.index) return false;
        }
    } else {
        for (auto it = step.added.rbegin(); it != step.added.rend(); ++it) {
            if (pages.DeleteBitmap(it->index) != 1) return false;
        }
        for (const Step::Changed& c : step.changed) {
            if (pages.ReplaceBitmap(c.rank, c.before.Header()) != 1) return false;
        }
        for (const Step::Placed& r : step.removed) {
            if (pages.InsertBitmap(r.index, r.entry.Header()) != r.index) return false;
        }
    }
    if (step.wholeRecords) {
        project.records = forward ? step.recordsAfter : step.recordsBefore;
    } else {
        for (const Step::RecordChange& c : step.recordChanges) {
            if (c.index >= project.RecordCount()) return false;
            project.records[c.index] = forward ? c.after : c.before;
        }
    }
    project.selectedPage = Clamp(forward ? step.pageAfter : step.pageBefore, project.PageCount());
    project.selectedTexture =
        Clamp(forward ? step.textureAfter : step.textureBefore, project.RecordCount());
    return true;
}

bool EditHistory::Undo(Project& project) {
    if (open_ || undo_.empty()) return false;
    BitmapStore::Guard guard = project.pages.Hold();
    if (!guard.owns_lock()) return false;
    std::unique_ptr<Step> step = std::move(undo_.back());
    undo_.pop_back();
    if (!Replay(project, *step, false)) {
        held_ -= step->bytes;
        DropAll();
        state_ = nextState_++;
        return false;
    }
    state_ = step->stateBefore;
    redo_.push_back(std::move(step));
    return true;
}

bool EditHistory::Redo(Project& project) {
    if (open_ || redo_.empty()) return false;
    BitmapStore::Guard guard = project.pages.Hold();
    if (!guard.owns_lock()) return false;
    std::unique_ptr<Step> step = std::move(redo_.back());
    redo_.pop_back();
    if (!Replay(project, *step, true)) {
        held_ -= step->bytes;
        DropAll();
        state_ = nextState_++;
        return false;
    }
    state_ = step->stateAfter;
    undo_.push_back(std::move(step));
    return true;
}

void EditHistory::DropAll() {
    undo_.clear();
    redo_.clear();
    held_ = 0;
}

void EditHistory::Clear() {
    if (open_) {
        while (!open_->store->SetJournal(nullptr)) {
        }
        open_.reset();
    }
    DropAll();
    state_ = nextState_++;
    savedState_ = state_;
}

void EditHistory::MarkSaved() {
    savedState_ = state_;
}

bool EditHistory::AtSavedState() const {
    return state_ == savedState_;
}

}  // namespace pelmora
