#include "base/bitmap_store.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__SANITIZE_THREAD__)
#define PELMORA_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PELMORA_THREAD_SANITIZER 1
#endif
#endif

namespace pelmora {

namespace {

// Fresh memory is mapped one 4 KB page at a time as it is first written, and on virtual
// machines every such fault is a trap to the host: reading a file of thousands of pages
// spent most of its time there, and adding pieces a good part of its own. Large pages and
// mapping a range in one call cut the traps. Only hints; nothing depends on them.
constexpr size_t kLargeBlock = 16u << 20;
constexpr size_t kLargePagesFrom = 4u << 20;
constexpr size_t kPopulateFrom = 64u << 10;

uintptr_t PageSize() {
    static const auto size = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

// For the whole block, rounded outwards: advice on only a part of a mapping splits it, and a
// split mapping can no longer be grown in place by realloc, which then copies everything.
void AdviseLargePages([[maybe_unused]] uint8_t* bytes, [[maybe_unused]] size_t size) {
#ifdef MADV_HUGEPAGE
    const uintptr_t start = reinterpret_cast<uintptr_t>(bytes) & ~(PageSize() - 1);
    const uintptr_t end =
        (reinterpret_cast<uintptr_t>(bytes) + size + PageSize() - 1) & ~(PageSize() - 1);
    ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

// Maps the whole pages inside [bytes, bytes + size) for writing in one call.
void PopulateForWriting([[maybe_unused]] uint8_t* bytes, [[maybe_unused]] size_t size) {
#ifdef MADV_POPULATE_WRITE
    const uintptr_t start =
        (reinterpret_cast<uintptr_t>(bytes) + PageSize() - 1) & ~(PageSize() - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(bytes) + size) & ~(PageSize() - 1);
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#endif
}

// Runs fill for entries [0, count) of size bytes each, starting at first. A large block is
// shared among the cores: the kernel zeroes fresh memory on the thread that first touches
// it, and that, not the copying, is most of the time spent reading a large file.
void FillEntries(uint8_t* first, size_t size, int count,
                 const std::function<void(int, uint8_t*)>& fill) {
    const size_t total = size * static_cast<size_t>(count);
    auto fillRange = [&](int from, int to) {
        if (total >= kPopulateFrom)
            PopulateForWriting(first + size * from, size * static_cast<size_t>(to - from));
        for (int i = from; i < to; ++i) fill(i, first + size * static_cast<size_t>(i));
    };
    unsigned parts = 1;
    if (total >= kLargeBlock) {
        // One thread per core: more only wait on one another in the kernel.
        parts = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    }
    std::vector<std::thread> helpers;
    const int share = (count + static_cast<int>(parts) - 1) / static_cast<int>(parts);
    int from = 0;
    for (unsigned p = 1; p < parts && from + share < count; ++p, from += share) {
        try {
            helpers.emplace_back(fillRange, from, from + share);
        } catch (const std::system_error&) {
            break;  // no thread to be had: this one does the rest
        }
    }
    fillRange(from, count);
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace

std::shared_ptr<StoreLock> SharedStoreLock() {
    static const auto lock = std::make_shared<StoreLock>();  // "MutexToProtectBitmapArray"
    return lock;
}

BitmapStore::BitmapStore(std::shared_ptr<StoreLock> lock) : lock_(std::move(lock)) {}

BitmapStore::~BitmapStore() {
    std::free(data_);
}

BitmapStore::Guard BitmapStore::Lock() const {
    Guard guard(lock_->mutex, std::defer_lock);
#ifdef PELMORA_THREAD_SANITIZER
    // ThreadSanitizer does not see timed locking (pthread_mutex_clocklock) and would report
    // every access to a store as a race; it does see try_lock, so poll until the deadline.
    const auto deadline = std::chrono::steady_clock::now() + lock_->wait;
    while (!guard.try_lock() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(50));
#else
    (void)guard.try_lock_for(lock_->wait);
#endif
    return guard;
}

bool BitmapStore::Reserve(size_t size) {
    if (size <= capacity_) return true;
    // Entries added one at a time (pages while pieces are placed) grow the buffer by half
    // again, so hundreds of new pages move it a few times rather than once each. The spare
    // room is address space only until it is written.
    const size_t step = capacity_ / 2;
    size_t wanted = size - capacity_ < step ? capacity_ + step : size;
    auto* grown = static_cast<uint8_t*>(std::realloc(data_, wanted));
    if (grown == nullptr && wanted > size) {
        wanted = size;
        grown = static_cast<uint8_t*>(std::realloc(data_, wanted));
    }
    if (grown == nullptr) return false;
    data_ = grown;
    capacity_ = wanted;
    if (capacity_ >= kLargePagesFrom) AdviseLargePages(data_, capacity_);
    return true;
}

int BitmapStore::AddBitmap(const BitmapHeader& h) {
    const size_t size = BitmapByteSize(h);
    if (h.bits == nullptr || size == 0) return -1;
    Guard guard = Lock();
    if (!guard.owns_lock()) return -1;
    if (!Reserve(totalSize_ + size)) return -1;
    try {
        headers_.reserve(headers_.size() + 1);
        offsets_.reserve(offsets_.size() + 1);
    } catch (const std::bad_alloc&) {
        return -1;  // data keeps its old bytes; the extra room is simply unused
    }
    // A page-sized entry spans dozens of fresh memory pages: map them in one call rather
    // than trapping into the kernel on each as it is copied.
    if (size >= kPopulateFrom) PopulateForWriting(data_ + totalSize_, size);
    std::memcpy(data_ + totalSize_, h.bits, size);
    BitmapHeader stored = h;
    stored.bits = data_ + totalSize_;
    headers_.push_back(stored);
    offsets_.push_back(totalSize_);
    totalSize_ += size;
    count_.store(static_cast<int>(headers_.size()));
    if (journal_) journal_->Added(count_.load() - 1, 1);
    return count_.load() - 1;
}

int BitmapStore::InsertBitmap(int index, const BitmapHeader& h) {
    const size_t size = BitmapByteSize(h);
    if (h.bits == nullptr || size == 0 || index < 0) return -1;
    Guard guard = Lock();
    if (!guard.owns_lock() || index > static_cast<int>(headers_.size())) return -1;
    if (!Reserve(totalSize_ + size)) return -1;
    try {
        headers_.reserve(headers_.size() + 1);
        offsets_.reserve(offsets_.size() + 1);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    const size_t start = index < static_cast<int>(offsets_.size()) ? offsets_[index] : totalSize_;
    std::memmove(data_ + start + size, data_ + start, totalSize_ - start);
    std::memcpy(data_ + start, h.bits, size);
    BitmapHeader stored = h;
    headers_.insert(headers_.begin() + index, stored);
    offsets_.insert(offsets_.begin() + index, start);
    totalSize_ += size;
    for (size_t j = 0; j < offsets_.size(); ++j) {
        if (j > static_cast<size_t>(index)) offsets_[j] += size;
        headers_[j].bits = data_ + offsets_[j];
    }
    count_.store(static_cast<int>(headers_.size()));
    if (journal_) journal_->Added(index, 1);
    return index;
}

int BitmapStore::AddBitmaps(const BitmapHeader& shape, int count,
                            const std::function<void(int, uint8_t*)>& fill) {
    const size_t size = BitmapByteSize(shape);
    if (size == 0 || count < 1) return -1;
    Guard guard = Lock();
    if (!guard.owns_lock()) return -1;
    const size_t added = size * static_cast<size_t>(count);
    if (!Reserve(totalSize_ + added)) return -1;
    try {
        headers_.reserve(headers_.size() + count);
        offsets_.reserve(offsets_.size() + count);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    FillEntries(data_ + totalSize_, size, count, fill);
    const int first = static_cast<int>(headers_.size());
    for (int i = 0; i < count; ++i) {
        BitmapHeader stored = shape;
        stored.bits = data_ + totalSize_;
        headers_.push_back(stored);
        offsets_.push_back(totalSize_);
        totalSize_ += size;
    }
    count_.store(static_cast<int>(headers_.size()));
    if (journal_) journal_->Added(first, count);
    return first;
}

int BitmapStore::AddBitmapHandle(Image&& image) {
    Image owned = std::move(image);
    if (owned.IsNull()) return -1;
    return AddBitmap(owned.Header());
}

bool BitmapStore::ReadBitmap(int index,
                             const std::function<void(const BitmapHeader&)>& reader) const {
    if (index < 0 || index >= count_.load()) return false;
    Guard guard = Lock();
    if (!guard.owns_lock() || index >= static_cast<int>(headers_.size())) return false;
    BitmapHeader h = headers_[index];
    h.bits = data_ + offsets_[index];
    reader(h);
    return true;
}

bool BitmapStore::WriteBitmap(int index, const std::function<void(const BitmapHeader&)>& writer) {
    if (index < 0 || index >= count_.load()) return false;
    Guard guard = Lock();
    if (!guard.owns_lock() || index >= static_cast<int>(headers_.size())) return false;
    BitmapHeader h = headers_[index];
    h.bits = data_ + offsets_[index];
    // The journal keeps the old bytes before the writer changes them in place.
    if (journal_) journal_->Changing(index, h);
    writer(h);
    return true;
}

std::optional<Image> BitmapStore::GetBitmap(int index) const {
    std::optional<Image> copy;
    ReadBitmap(index, [&](const BitmapHeader& h) { copy = Image::FromHeader(h); });
    return copy;
}

int BitmapStore::ReplaceBitmap(int index, const BitmapHeader& h) {
    if (index < 0 || index >= count_.load()) return 0;
    Guard guard = Lock();
    if (!guard.owns_lock() || index >= static_cast<int>(headers_.size())) return 0;
    const size_t newSize = BitmapByteSize(h);
    if (newSize == 0 || h.bits == nullptr) return 0;
    const size_t start = offsets_[index];
    const size_t oldSize = BitmapByteSize(headers_[index]);
    const size_t tail = totalSize_ - start - oldSize;
    if (newSize > oldSize && !Reserve(totalSize_ + newSize - oldSize)) return 0;
    if (journal_) {
        BitmapHeader old = headers_[index];
        old.bits = data_ + start;
        journal_->Changing(index, old);
    }
    // Same-size replacements (every page edit) copy only the entry itself.
    if (newSize != oldSize) std::memmove(data_ + start + newSize, data_ + start + oldSize, tail);
    std::memcpy(data_ + start, h.bits, newSize);
    const size_t newTotal = totalSize_ - oldSize + newSize;
    if (newSize < oldSize) {
        // Shrinking cannot fail in a way that matters: the old block stays valid if it does.
        if (auto* shrunk = static_cast<uint8_t*>(std::realloc(data_, newTotal))) {
            data_ = shrunk;
            capacity_ = newTotal;
        }
    }
    headers_[index] = h;
    headers_[index].bits = data_ + start;
    for (size_t j = index + 1; j < offsets_.size(); ++j) {
        offsets_[j] = offsets_[j] + newSize - oldSize;
        headers_[j].bits = data_ + offsets_[j];
    }
    totalSize_ = newTotal;
    return 1;
}

int BitmapStore::ReplaceBitmapHandle(int index, Image&& image) {
    Image owned = std::move(image);
    if (owned.IsNull()) return -1;
    return ReplaceBitmap(index, owned.Header());
}

int BitmapStore::DeleteBitmap(int index) {
    if (index < 0 || index >= count_.load()) return 0;
    Guard guard = Lock();
    if (!guard.owns_lock() || index >= static_cast<int>(headers_.size())) return 0;
    const size_t size = BitmapByteSize(headers_[index]);
    if (size == 0 || totalSize_ < size) return 0;
    const size_t start = offsets_[index];
    if (journal_) {
        BitmapHeader old = headers_[index];
        old.bits = data_ + start;
        journal_->Removing(index, old);
    }
    std::memmove(data_ + start, data_ + start + size, totalSize_ - start - size);
    totalSize_ -= size;
    headers_.erase(headers_.begin() + index);
    offsets_.erase(offsets_.begin() + index);
    if (headers_.empty()) {
        std::free(data_);
        data_ = nullptr;
        totalSize_ = 0;
        capacity_ = 0;
        headers_.shrink_to_fit();
        offsets_.shrink_to_fit();
    } else {
        if (auto* shrunk = static_cast<uint8_t*>(std::realloc(data_, totalSize_))) {
            data_ = shrunk;
            capacity_ = totalSize_;
        }
        for (size_t j = 0; j < offsets_.size(); ++j) {
            if (j >= static_cast<size_t>(index)) offsets_[j] -= size;
            headers_[j].bits = data_ + offsets_[j];
        }
    }
    count_.store(static_cast<int>(headers_.size()));
    return 1;
}

void BitmapStore::ClearBitmaps() {
    Guard guard = Lock();
    if (!guard.owns_lock()) return;
    if (journal_) {
        for (int i = static_cast<int>(headers_.size()) - 1; i >= 0; --i) {
            BitmapHeader old = headers_[i];
            old.bits = data_ + offsets_[i];
            journal_->Removing(i, old);
        }
    }
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    headers_.clear();
    headers_.shrink_to_fit();
    offsets_.clear();
    offsets_.shrink_to_fit();
    totalSize_ = 0;
    count_.store(0);
}

bool BitmapStore::SetJournal(StoreJournal* journal) {
    Guard guard = Lock();
    if (!guard.owns_lock()) return false;
    journal_ = journal;
    return true;
}

size_t BitmapStore::TotalSize() const {
    Guard guard = Lock();
    return totalSize_;
}

std::optional<size_t> BitmapStore::OffsetOf(int index) const {
    Guard guard = Lock();
    if (!guard.owns_lock() || index < 0 || index >= static_cast<int>(offsets_.size()))
        return std::nullopt;
    return offsets_[index];
}

}  // namespace pelmora
