// Writes chunks on a thread of its own, so that compressing a workbook's
// sheet overlaps reading it and computing its keys:
//
//     reading, keys  ->  chunk, chunk, ...  ->  deflate, write
//
// With no thread (a browser without them, or tests that ask for none) the
// chunks are written as they come.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

namespace convert {

class BackgroundWriter {
  public:
    using Write = std::function<std::error_code(std::string_view)>;

    // `threaded`: whether to start a thread; at most `queued` chunks wait.
    BackgroundWriter(Write write, bool threaded, std::size_t queued = 4);
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Queues `chunk`, waiting while the queue is full; returns the first
    // error a write gave so far (after which nothing more is written).
    std::error_code push(std::string chunk);
    // Waits until every chunk is written; returns the first error.
    std::error_code finish();

  private:
    void run();

    Write write_;
    const std::size_t queued_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> chunks_;
    bool writing_ = false;  // a chunk taken from the queue is being written
    bool stopping_ = false;
    std::error_code error_;
    std::thread thread_;  // last: started once everything it uses is there
};

}  // namespace convert
