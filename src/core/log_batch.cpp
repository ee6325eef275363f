#include "core/log_batch.h"

#include "core/bounded_log.h"

namespace vantaro {

LogBatchChannel::~LogBatchChannel() { delete onItsWay_; }

LogBatch* LogBatchChannel::Offer(bool clearFirst, std::string_view text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (onItsWay_ != nullptr) {
        if (clearFirst) {
            onItsWay_->clearFirst = true;
            onItsWay_->text.clear();
        }
        onItsWay_->text.append(text);
        if (onItsWay_->text.size() > cap_) {
            onItsWay_->text = KeepNewestLines(onItsWay_->text, cap_);
            onItsWay_->clearFirst = true;  // what came before the dropped part is older still: it goes too
        }
        return nullptr;
    }
    auto batch = std::make_unique<LogBatch>();
    batch->clearFirst = clearFirst || text.size() > cap_;
    batch->text = text.size() > cap_ ? KeepNewestLines(text, cap_) : std::string(text);
    onItsWay_ = batch.release();
    return onItsWay_;
}

void LogBatchChannel::Withdraw(LogBatch* batch) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (batch != onItsWay_) return;
    delete onItsWay_;
    onItsWay_ = nullptr;
}

std::unique_ptr<LogBatch> LogBatchChannel::Claim(LogBatch* batch) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (batch == nullptr || batch != onItsWay_) return nullptr;
    onItsWay_ = nullptr;
    return std::unique_ptr<LogBatch>(batch);
}

}  // namespace vantaro
