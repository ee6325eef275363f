#pragma once
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace vantaro {

// Output on its way from a reader thread to the GUI thread: whether the box is cleared first, then the text.
struct LogBatch {
    bool clearFirst = false;
    std::string text;
};

// Hands output from reader threads to the GUI thread with at most one batch on its way: while the GUI thread
// has not claimed the batch it was sent, new output joins that batch instead of becoming another message, so
// a flood can never pile up messages. A batch holds at most `cap` bytes (older lines go first): more would
// not fit in the log, and a batch that had to drop some also clears the log, which holds only output older
// than what was dropped.
class LogBatchChannel {
  public:
    explicit LogBatchChannel(size_t cap) : cap_(cap) {}
    ~LogBatchChannel();
    LogBatchChannel(const LogBatchChannel&) = delete;
    LogBatchChannel& operator=(const LogBatchChannel&) = delete;

    // Reader side. Returns a new batch that the caller must hand over (and Withdraw if it cannot), or nullptr
    // when the output joined the batch already on its way. A clear drops what that batch held before.
    LogBatch* Offer(bool clearFirst, std::string_view text);
    void Withdraw(LogBatch* batch);

    // GUI side: takes the batch that was handed over; from now on new output starts a new batch. A pointer
    // that is not the batch on its way (a stale message) yields nothing.
    std::unique_ptr<LogBatch> Claim(LogBatch* batch);

  private:
    std::mutex mutex_;
    LogBatch* onItsWay_ = nullptr;
    size_t cap_;
};

}  // namespace vantaro
