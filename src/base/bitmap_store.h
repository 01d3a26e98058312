#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "base/bitmap_header.h"
#include "base/image.h"

namespace pelmora {

// The re-entrant lock that guards a store. Stores share the process's one unless given their
// own, so code that holds one store's lock may use another without a second lock order.
struct StoreLock {
    explicit StoreLock(std::chrono::milliseconds waitLimit = std::chrono::milliseconds(10000))
        : wait(waitLimit) {}
    std::recursive_timed_mutex mutex;
    std::chrono::milliseconds wait;
};

// The process's one "MutexToProtectBitmapArray".
std::shared_ptr<StoreLock> SharedStoreLock();

// Told of every change to a store while the store's lock is held, so that an edit history
// knows exactly which entries an operation replaced, added or removed instead of guessing
// (the add-pieces worker writes pages while the editor's step is open). Called on whatever
// thread changes the store; the store's lock makes the calls one at a time. A journal must
// not throw and must not call back into the store other than through the entry it is given.
class StoreJournal {
public:
    virtual ~StoreJournal() = default;
    // Entry index is about to change in place or be replaced; entry still shows its old bytes.
    virtual void Changing(int index, const BitmapHeader& entry) = 0;
    // Entries [first, first + count) were put in; the entries that stood there moved up.
    virtual void Added(int first, int count) = 0;
    // Entry index is about to go; the entries behind it move down by one.
    virtual void Removing(int index, const BitmapHeader& entry) = 0;
};

// An ordered list of 24-bit bitmaps whose pixels are packed back to back in one buffer.
// Every operation takes the lock (at most StoreLock::wait) and answers its failure value
// (-1, nothing or 0) without changing anything when it cannot.
class BitmapStore {
public:
    explicit BitmapStore(std::shared_ptr<StoreLock> lock = SharedStoreLock());
    ~BitmapStore();
    BitmapStore(const BitmapStore&) = delete;
    BitmapStore& operator=(const BitmapStore&) = delete;

    // Copies BitmapByteSize(header) bytes from header.bits. Index of the new entry, or -1.
    int AddBitmap(const BitmapHeader& header);
    // Takes the image over; its pixels are copied in and the image is gone either way.
    int AddBitmapHandle(Image&& image);
    // Appends count bitmaps shaped like shape (its bits are not used) in one allocation, and
    // lets fill write each one's pixels in place: reading a file of thousands of pages then
    // copies every byte once. For a large block fill runs on several threads at once, each
    // i exactly once, so it must be safe to call that way and must not throw. Index of the
    // first new entry, or -1 with nothing added.
    int AddBitmaps(const BitmapHeader& shape, int count,
                   const std::function<void(int i, uint8_t* bits)>& fill);

    // A copy of entry i taken under the lock, so it stays valid whatever another thread
    // does to the store afterwards. Nothing for an index outside the store.
    std::optional<Image> GetBitmap(int index) const;
    // Runs reader on entry i's header (bits valid) while the lock is held, without copying.
    // False when there is no such entry or the lock could not be had.
    bool ReadBitmap(int index, const std::function<void(const BitmapHeader&)>& reader) const;

    // Runs writer on entry i's header while the lock is held, so it can change pixels in
    // place (the size stays). Cheaper than GetBitmap + ReplaceBitmap for a small change to a
    // large entry. False when there is no such entry or the lock could not be had.
    bool WriteBitmap(int index, const std::function<void(const BitmapHeader&)>& writer);

    // Copies header's bits in as entry index (0 to Count()), moving the entries from there up
    // by one. Index of the new entry, or -1 with nothing changed.
    int InsertBitmap(int index, const BitmapHeader& header);

    // 1 on success, 0 on failure.
    int ReplaceBitmap(int index, const BitmapHeader& header);
    // 1 on success, 0 on failure, -1 for an empty image. The image is consumed either way.
    int ReplaceBitmapHandle(int index, Image&& image);
    // 1 on success, 0 on failure; later entries move down by one.
    int DeleteBitmap(int index);
    void ClearBitmaps();

    // Reports every later change to journal (nothing for nullptr) until it is set again. False
    // when the lock could not be had; the journal is then unchanged.
    bool SetJournal(StoreJournal* journal);

    using Guard = std::unique_lock<std::recursive_timed_mutex>;
    // The store's lock, held for as long as the guard lives (check owns_lock()), so that
    // several calls happen with nothing of another thread in between. It is re-entrant.
    Guard Hold() const { return Lock(); }

    int Count() const { return count_.load(); }
    size_t TotalSize() const;
    // Where entry i's bytes start inside the packed buffer (for checking the packing).
    std::optional<size_t> OffsetOf(int index) const;

private:
    Guard Lock() const;
    // Room for size bytes in data_; false (nothing changed) when memory is short.
    bool Reserve(size_t size);

    std::shared_ptr<StoreLock> lock_;
    uint8_t* data_ = nullptr;  // malloc'd: growing a large block by realloc need not copy it
    std::vector<BitmapHeader> headers_;
    std::vector<size_t> offsets_;
    std::atomic<int> count_{0};
    size_t totalSize_ = 0;
    size_t capacity_ = 0;
    StoreJournal* journal_ = nullptr;  // only touched under the lock
};

}  // namespace pelmora
