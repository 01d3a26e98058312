#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "edit/add_pieces.h"
#include "base/project.h"

namespace pelmora::ui {

// Adding pieces on a thread of its own. What the adding reports reaches the user-interface
// thread as signals emitted there, in order. piecePlaced and fileFailed are emitted while
// the worker waits for them to be handled, so their handlers may read and change the
// project; between them the project belongs to the worker.
//
// The hand-over goes through a std::mutex queue rather than Qt's own queued calls, and the
// worker is a std::thread that is joined: the worker's writes to the project then
// happen-before the interface's reads in a way the thread checker can see.
class AddPiecesJob : public QObject {
    Q_OBJECT

public:
    explicit AddPiecesJob(Project& project, QObject* parent = nullptr);
    ~AddPiecesJob() override;

    // handOverEachPiece: emit piecePlaced after each piece and wait for it to be handled.
    void Start(std::vector<std::string> files, FileSortOrder order, bool handOverEachPiece);
    void Stop() { stop_.store(true); }
    bool StopRequested() const { return stop_.load(); }
    bool IsRunning() const { return thread_.joinable(); }
    const AddPiecesResult& Result() const { return result_; }

signals:
    void titleChanged(const QString& title);
    void stepped();
    void progressed(int index, int count, int percent, const QString& fileName);
    void piecePlaced(int recordIndex);
    void fileFailed(const QString& message, const QString& path);
    void finished();

private slots:
    void Drain();

private:
    // Worker side: queue work for the interface thread, and wait for it when asked.
    void Post(std::function<void()> event, bool wait);
    void Shutdown();
    void Run(std::vector<std::string> files, FileSortOrder order, bool handOver);

    Project& project_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    AddPiecesResult result_;

    std::mutex mutex_;
    std::condition_variable handled_;
    std::deque<std::function<void()>> queue_;
    uint64_t posted_ = 0;
    uint64_t completed_ = 0;
    bool wakePending_ = false;
    bool closed_ = false;
};

}  // namespace pelmora::ui
