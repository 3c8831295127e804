#include "row_block.h"

namespace convert {

RowStore::RowStore() {
    data_.reserve(4096);
    field_ends_.reserve(256);
    rows_.reserve(32);
}

void RowStore::add_row(const delimited::CsvRecord& record) {
    const std::size_t base = data_.size();
    const std::size_t raw_base = raw_.size();
    if (!record.bytes_in_data) raw_.append(record.bytes());
    rows_.push_back({Kind::Evaluate, static_cast<std::uint32_t>(field_ends_.size()),
                     static_cast<std::uint32_t>(record.field_count()), base,
                     base + record.data.size(), raw_base, raw_.size(), record.bytes_in_data,
                     record.line, record.line_end, record.problem});
    data_.append(record.data);
    for (const std::size_t end : record.field_ends) {
        field_ends_.push_back(static_cast<std::uint32_t>(base + end));
    }
}

RowStore::Row& RowStore::add_bytes(Kind kind, std::string_view bytes) {
    const std::size_t raw_base = raw_.size();
    raw_.append(bytes);
    return rows_.emplace_back(Row{kind, 0, 0, 0, 0, raw_base, raw_.size(), false, 0,
                                  delimited::LineEnd::EndOfInput, delimited::CsvProblem::None});
}

void RowStore::add_copy(std::string_view bytes) { add_bytes(Kind::Copy, bytes); }

void RowStore::add_unreadable(std::size_t line, const RowReason& why) {
    Row& row = add_bytes(Kind::Unreadable, {});
    row.line = line;
    row.first_field = static_cast<std::uint32_t>(reasons_.size());
    reasons_.push_back(why);
}

std::size_t RowStore::held_bytes() const {
    return data_.size() + raw_.size() + field_ends_.size() * sizeof(field_ends_[0]) +
           rows_.size() * sizeof(Row);
}

void RowStore::fields_of(std::size_t index, std::vector<std::string_view>& fields) const {
    const Row& row = rows_[index];
    // Sized once, then filled: no capacity check per field.
    fields.resize(row.field_count);
    const char* const data = data_.data();
    const std::uint32_t* const ends = field_ends_.data() + row.first_field;
    std::size_t begin = row.data_begin;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = std::string_view(data + begin, ends[i] - begin);
        begin = ends[i] + 1;
    }
}

std::string_view RowStore::bytes_of(std::size_t index) const {
    const Row& row = rows_[index];
    if (row.bytes_in_data) {
        return std::string_view(data_).substr(row.data_begin, row.data_end - row.data_begin - 1);
    }
    return std::string_view(raw_).substr(row.raw_begin, row.raw_end - row.raw_begin);
}

void RowStore::clear() {
    data_.clear();
    field_ends_.clear();
    raw_.clear();
    rows_.clear();
    reasons_.clear();
}

void BlockResult::clear() {
    output.clear();
    problems.clear();
    tally = {};
    first_invalid_text_line.reset();
}

}  // namespace convert
