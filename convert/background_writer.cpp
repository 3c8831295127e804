#include "background_writer.h"

namespace convert {

BackgroundWriter::BackgroundWriter(Write write, bool threaded, std::size_t queued)
    : write_(std::move(write)), queued_(queued) {
    if (threaded) thread_ = std::thread([this] { run(); });
}

BackgroundWriter::~BackgroundWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

std::error_code BackgroundWriter::push(std::string chunk) {
    if (!thread_.joinable()) {
        if (!error_) error_ = write_(chunk);
        return error_;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return chunks_.size() < queued_ || error_; });
    if (!error_) chunks_.push_back(std::move(chunk));
    changed_.notify_all();
    return error_;
}

std::error_code BackgroundWriter::finish() {
    if (!thread_.joinable()) return error_;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (chunks_.empty() && !writing_) || error_; });
    return error_;
}

void BackgroundWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !chunks_.empty() || stopping_; });
        if (chunks_.empty()) return;
        std::string chunk = std::move(chunks_.front());
        chunks_.pop_front();
        writing_ = true;
        changed_.notify_all();
        lock.unlock();
        const std::error_code error = error_ ? std::error_code{} : write_(chunk);
        lock.lock();
        writing_ = false;
        if (error && !error_) {
            error_ = error;
            chunks_.clear();
        }
        changed_.notify_all();
    }
}

}  // namespace convert
