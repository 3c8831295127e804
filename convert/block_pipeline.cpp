#include "block_pipeline.h"

#include <algorithm>
#include <utility>

namespace convert {

BlockPipeline::BlockPipeline(std::size_t threads, std::size_t most_in_flight,
                             const MakeWork& make_work)
    : most_in_flight_(std::max<std::size_t>(1, most_in_flight)) {
    if (threads <= 1) {
        inline_work_ = make_work();
        return;
    }
    for (std::size_t i = 0; i < threads; ++i) {
        threads_.emplace_back([this, work = make_work()] { serve(work); });
    }
}

BlockPipeline::~BlockPipeline() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

BlockPipeline::Slot& BlockPipeline::slot_of(Block& block) { return static_cast<Slot&>(block); }

Block& BlockPipeline::fresh() {
    if (free_.empty()) return *owned_.emplace_back(std::make_unique<Slot>());
    Slot* slot = free_.back();
    free_.pop_back();
    return *slot;
}

void BlockPipeline::unused(Block& block) { free_.push_back(&slot_of(block)); }

void BlockPipeline::submit(Block& block) {
    Slot& slot = slot_of(block);
    in_flight_.push_back(&slot);
    if (threads_.empty()) {
        inline_work_(block);
        const std::lock_guard lock(mutex_);
        slot.done = true;
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(&slot);
    }
    work_ready_.notify_one();
}

Block& BlockPipeline::oldest() {
    Slot& slot = *in_flight_.front();
    std::unique_lock lock(mutex_);
    block_done_.wait(lock, [&slot] { return slot.done; });
    return slot;
}

void BlockPipeline::release() {
    Slot* slot = in_flight_.front();
    in_flight_.pop_front();
    slot->rows.clear();
    slot->result.clear();
    {
        const std::lock_guard lock(mutex_);
        slot->done = false;
    }
    free_.push_back(slot);
}

void BlockPipeline::serve(Work work) {
    for (;;) {
        Slot* slot;
        {
            std::unique_lock lock(mutex_);
            work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            slot = queue_.front();
            queue_.pop_front();
        }
        work(*slot);
        {
            const std::lock_guard lock(mutex_);
            slot->done = true;
        }
        block_done_.notify_all();
    }
}

}  // namespace convert
