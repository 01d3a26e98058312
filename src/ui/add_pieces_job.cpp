#include "ui/add_pieces_job.h"

namespace pelmora::ui {

AddPiecesJob::AddPiecesJob(Project& project, QObject* parent)
    : QObject(parent), project_(project) {}

AddPiecesJob::~AddPiecesJob() {
    Shutdown();
}

void AddPiecesJob::Shutdown() {
    if (!thread_.joinable()) return;
    stop_.store(true);
    {
        // Nobody will hand anything over any more: release a worker that waits for it.
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    handled_.notify_all();
    thread_.join();
}

void AddPiecesJob::Start(std::vector<std::string> files, FileSortOrder order,
                         bool handOverEachPiece) {
    if (thread_.joinable()) return;
    stop_.store(false);
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        completed_ = posted_;  // whatever an earlier run left unhandled is gone
        closed_ = false;
        wakePending_ = false;
    }
    result_ = {};
    thread_ = std::thread([this, files = std::move(files), order, handOverEachPiece] {
        Run(files, order, handOverEachPiece);
    });
}

void AddPiecesJob::Run(std::vector<std::string> files, FileSortOrder order, bool handOver) {
    AddPiecesCallbacks callbacks;
    callbacks.setTitle = [this](const std::string& title) {
        Post([this, text = QString::fromStdString(title)] { emit titleChanged(text); }, false);
    };
    callbacks.stepGathering = [this] { Post([this] { emit stepped(); }, false); };
    callbacks.progress = [this](int i, int n, int percent, const std::string& name) {
        Post([this, i, n, percent,
              text = QString::fromStdString(name)] { emit progressed(i, n, percent, text); },
             false);
    };
    if (handOver) {
        callbacks.piecePlaced = [this](int index, const std::string&) {
            Post([this, index] { emit piecePlaced(index); }, true);
        };
    }
    callbacks.fileFailed = [this](const std::string& message, const std::string& path) {
        Post([this, m = QString::fromStdString(message),
              p = QString::fromStdString(path)] { emit fileFailed(m, p); },
             true);
    };
    AddPiecesResult result = AddPiecesFromFiles(project_, files, order, stop_, callbacks);
    Post(
        [this, result = std::move(result)]() mutable {
            result_ = std::move(result);
            // The worker has nothing left to do but return.
            thread_.join();
            emit finished();
        },
        false);
}

void AddPiecesJob::Post(std::function<void()> event, bool wait) {
    std::unique_lock lock(mutex_);
    if (closed_) return;
    const uint64_t ticket = ++posted_;
    queue_.push_back(std::move(event));
    const bool wake = !wakePending_;
    wakePending_ = true;
    lock.unlock();
    if (wake) QMetaObject::invokeMethod(this, "Drain", Qt::QueuedConnection);
    if (!wait) return;
    lock.lock();
    handled_.wait(lock, [&] { return completed_ >= ticket || closed_; });
}

void AddPiecesJob::Drain() {
    // Only what is queued now: a worker that keeps posting must not keep the event loop
    // from turning.
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            wakePending_ = false;
            return;
        }
        batch.swap(queue_);
    }
    for (std::function<void()>& event : batch) {
        event();
        {
            std::lock_guard lock(mutex_);
            ++completed_;
        }
        handled_.notify_all();
    }
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty() || closed_) {
            wakePending_ = false;
            return;
        }
    }
    QMetaObject::invokeMethod(this, "Drain", Qt::QueuedConnection);
}

}  // namespace pelmora::ui
