#include "block_workers.h"

#include <utility>

namespace rfc_cli {

void RowBlock::add(const delimited::CsvRecord& record) {
    const std::size_t base = data.size();
    const std::size_t raw_base = raw.size();
    if (!record.bytes_in_data) raw.append(record.bytes());
    rows.push_back({field_ends.size(), record.field_count(), base, base + record.data.size(),
                    raw_base, raw.size(), record.bytes_in_data, record.line, record.line_end,
                    record.problem});
    data.append(record.data);
    for (const std::size_t end : record.field_ends) {
        field_ends.push_back(static_cast<std::uint32_t>(base + end));
    }
}

std::size_t RowBlock::held_bytes() const {
    return data.size() + raw.size() + field_ends.size() * sizeof(field_ends[0]);
}

void RowBlock::fields_of(std::size_t index, std::vector<std::string_view>& fields) const {
    const Row& row = rows[index];
    fields.clear();
    std::size_t begin = row.data_begin;
    for (std::size_t i = row.first_field; i < row.first_field + row.field_count; ++i) {
        fields.push_back(std::string_view(data).substr(begin, field_ends[i] - begin));
        begin = field_ends[i] + 1;
    }
}

std::string_view RowBlock::bytes_of(std::size_t index) const {
    const Row& row = rows[index];
    if (row.bytes_in_data) {
        return std::string_view(data).substr(row.data_begin, row.data_end - row.data_begin - 1);
    }
    return std::string_view(raw).substr(row.raw_begin, row.raw_end - row.raw_begin);
}

void RowBlock::clear() {
    data.clear();
    field_ends.clear();
    raw.clear();
    rows.clear();
    verbatim = false;
    output.clear();
    messages.clear();
    tally = {};
    first_invalid_text_line.reset();
    done = false;
}

BlockWorkers::BlockWorkers(std::size_t threads, Work work) : work_(std::move(work)) {
    for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { serve(); });
}

BlockWorkers::~BlockWorkers() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void BlockWorkers::submit(RowBlock& block) {
    if (threads_.empty()) {
        work_(block);
        block.done = true;
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(&block);
    }
    work_ready_.notify_one();
}

void BlockWorkers::wait(RowBlock& block) {
    std::unique_lock lock(mutex_);
    block_done_.wait(lock, [&] { return block.done; });
}

void BlockWorkers::serve() {
    for (;;) {
        RowBlock* block;
        {
            std::unique_lock lock(mutex_);
            work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            block = queue_.front();
            queue_.pop_front();
        }
        work_(*block);
        {
            const std::lock_guard lock(mutex_);
            block->done = true;
        }
        block_done_.notify_all();
    }
}

}  // namespace rfc_cli
