// Blocks of rows on their way through rfc batch: the reading thread fills a
// fresh block and submits it; worker threads evaluate it; the reading thread
// takes the blocks back done, oldest first, to write them in order.
//
//     read 1, 2, 3 -> [workers: 2 done, 1 done, 3 done] -> write 1, 2, 3
//
// With one thread or none, submit() evaluates the block on the calling thread
// and no thread is started, as in a browser's single-threaded WebAssembly.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "row_block.h"

namespace convert {

class BlockPipeline {
  public:
    // A Work evaluates one block. `make_work` gives each worker, or submit()
    // when there are none, one of its own, so that what a Work keeps between
    // blocks lives as long as the pipeline and is never shared.
    // At most `most_in_flight` blocks are submitted and not yet released.
    using Work = std::function<void(Block&)>;
    using MakeWork = std::function<Work()>;
    BlockPipeline(std::size_t threads, std::size_t most_in_flight, const MakeWork& make_work);
    ~BlockPipeline();
    BlockPipeline(const BlockPipeline&) = delete;
    BlockPipeline& operator=(const BlockPipeline&) = delete;

    // An empty block to fill, reused when one is free.
    Block& fresh();
    // Gives back a fresh block that was not submitted.
    void unused(Block& block);
    // Hands `block`, from fresh(), over for evaluation.
    void submit(Block& block);
    // Whether as many blocks are in flight as allowed, or none.
    bool full() const { return in_flight_.size() >= most_in_flight_; }
    bool empty() const { return in_flight_.empty(); }
    // Waits until the oldest block in flight is done, and returns it.
    Block& oldest();
    // The oldest block, written: it leaves the flight and is free again.
    void release();

  private:
    // Every block handed out is the Block of a Slot.
    struct Slot : Block {
        bool done = false;  // read and written under mutex_ only
    };
    void serve(Work work);
    Slot& slot_of(Block& block);

    // Slots in the order they came. A std::deque would allocate on being
    // made, and a batch over a short text makes its pipeline for a few rows.
    class SlotQueue {
      public:
        bool empty() const { return next_ == slots_.size(); }
        std::size_t size() const { return slots_.size() - next_; }
        Slot* front() const { return slots_[next_]; }
        void push_back(Slot* slot) { slots_.push_back(slot); }
        // The slots taken are dropped once they are half of those held, so
        // that a long stream through a pipeline that never empties holds
        // no more than about twice the slots in it.
        void pop_front() {
            ++next_;
            if (next_ < slots_.size() && next_ < 16 + slots_.size() / 2) return;
            slots_.erase(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(next_));
            next_ = 0;
        }

      private:
        std::vector<Slot*> slots_;
        std::size_t next_ = 0;  // the front's index
    };

    Work inline_work_;  // without workers
    const std::size_t most_in_flight_;
    std::vector<std::unique_ptr<Slot>> owned_;
    std::vector<Slot*> free_;
    SlotQueue in_flight_;  // in the order submitted

    std::mutex mutex_;
    std::condition_variable work_ready_;
    std::condition_variable block_done_;
    SlotQueue queue_;  // submitted, not yet taken by a worker
    bool stopping_ = false;
    std::vector<std::thread> threads_;  // last: they stop before the slots go
};

}  // namespace convert
