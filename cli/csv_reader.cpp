#include "csv_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "line_scan.h"

namespace rfc_cli {
namespace {

constexpr std::size_t read_size = std::size_t{1} << 20;
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

// The bytes that end a run of plain bytes in a field without quotes.
constexpr std::array<bool, 256> unquoted_stops = [] {
    std::array<bool, 256> stops{};
    for (const unsigned char c : {',', '\n', '\r', '"'}) stops[c] = true;
    return stops;
}();

}  // namespace

std::string_view CsvRecord::field(std::size_t index) const {
    const std::size_t begin = index == 0 ? 0 : field_ends[index - 1] + 1;
    return std::string_view(data).substr(begin, field_ends[index] - begin);
}

std::string_view CsvRecord::open_field_part() const {
    const std::size_t begin = field_ends.empty() ? 0 : field_ends.back() + 1;
    return std::string_view(data).substr(begin);
}

CsvReader::CsvReader(ByteSource& source, std::size_t record_limit)
    : source_(source),
      record_limit_(record_limit),
      // Left uninitialised: only the bytes read into it are ever looked at.
      buffer_(std::make_unique_for_overwrite<char[]>(read_size)) {}

bool CsvReader::fill() {
    if (at_end_) return false;
    std::size_t count = 0;
    read_error_ = source_.read_some(std::span(buffer_.get(), read_size), count);
    position_ = 0;
    end_ = count;
    if (count == 0) at_end_ = true;
    return count != 0;
}

void CsvReader::skip_byte_order_mark() {
    // Gather at least as many bytes as the mark has, however the input comes.
    while (end_ < byte_order_mark.size() && !at_end_) {
        std::size_t count = 0;
        read_error_ = source_.read_some(std::span(buffer_.get(), read_size).subspan(end_), count);
        if (count == 0) at_end_ = true;
        end_ += count;
    }
    if (std::string_view(buffer_.get(), end_).starts_with(byte_order_mark)) {
        had_byte_order_mark_ = true;
        position_ = byte_order_mark.size();
    }
}

void CsvReader::end_field(CsvRecord& record) {
    record.field_ends.push_back(record.data.size());
    record.data.push_back(',');
    state_ = State::FieldStart;
}

void CsvReader::end_line(CsvRecord& record, LineEnd line_end) {
    ++position_;  // past the line feed
    ++line_;
    end_field(record);
    record.line_end = line_end;
    in_long_record_ = false;
}

void CsvReader::note(CsvRecord& record, CsvProblem problem) {
    if (record.problem == CsvProblem::None) record.problem = problem;
}

bool CsvReader::read_plain_line(CsvRecord& record) {
    // Past the limit the record must come in pieces, which only the general
    // reading does.
    const std::string_view bytes(buffer_.get() + position_,
                                 std::min(end_ - position_, record_limit_));
    std::size_t length = 0;
    if (!scan_plain_line(bytes, record.field_ends, length)) {
        record.field_ends.clear();
        return false;
    }
    record.field_ends.push_back(length);
    record.data.assign(bytes.data(), length + 1);
    record.data.back() = ',';
    record.line_end = LineEnd::Lf;
    position_ += length + 1;
    ++line_;
    return true;
}

void CsvReader::scan_unquoted(CsvRecord& record) {
    const char* const begin = buffer_.get() + position_;
    const char* const end = buffer_.get() + end_;
    const char* stop = begin;
    while (stop < end && !unquoted_stops[static_cast<unsigned char>(*stop)]) ++stop;
    record.data.append(begin, static_cast<std::size_t>(stop - begin));
    position_ = static_cast<std::size_t>(stop - buffer_.get());
}

void CsvReader::scan_quoted(CsvRecord& record) {
    const char* const begin = buffer_.get() + position_;
    const char* const end = buffer_.get() + end_;
    const auto* quote = static_cast<const char*>(std::memchr(begin, '"', end - begin));
    const char* const stop = quote ? quote : end;
    line_ += static_cast<std::size_t>(std::count(begin, stop, '\n'));
    record.data.append(begin, static_cast<std::size_t>(stop - begin));
    position_ = static_cast<std::size_t>(stop - buffer_.get());
}

bool CsvReader::finish_at_end_of_input(CsvRecord& record) {
    switch (state_) {
        case State::FieldStart:
            // Nothing after the last line break: no record.
            if (record.field_ends.empty() && !record.continues_previous) return false;
            break;
        case State::Unquoted:
        case State::QuoteInQuoted:
            break;
        case State::Quoted:
            // The missing quote is what made a record too long, if it was.
            if (record.problem == CsvProblem::TooLong) record.problem = CsvProblem::None;
            note(record, CsvProblem::UnterminatedQuote);
            break;
        case State::AfterCr:
            if (cr_after_quote_) note(record, CsvProblem::TextAfterClosingQuote);
            record.plain = false;
            record.data.push_back('\r');
            break;
    }
    end_field(record);
    record.line_end = LineEnd::EndOfInput;
    in_long_record_ = false;
    return true;
}

bool CsvReader::next(CsvRecord& record) {
    if (!started_) {
        started_ = true;
        skip_byte_order_mark();
    }
    record.data.clear();
    record.field_ends.clear();
    record.line_end = LineEnd::EndOfInput;
    record.complete = true;
    record.continues_previous = in_long_record_;
    record.line = in_long_record_ ? long_record_line_ : line_;
    record.problem = in_long_record_ ? long_record_problem_ : CsvProblem::None;
    record.plain = !in_long_record_;
    if (!in_long_record_ && read_plain_line(record)) return true;

    for (;;) {
        if (position_ == end_ && !fill()) return finish_at_end_of_input(record);
        const char c = buffer_[position_];
        switch (state_) {
            case State::FieldStart:
                if (c == '"') {
                    ++position_;
                    record.plain = false;
                    state_ = State::Quoted;
                    continue;
                }
                state_ = State::Unquoted;
                scan_unquoted(record);
                break;
            case State::Unquoted:
                switch (c) {
                    case ',':
                        ++position_;
                        end_field(record);
                        continue;
                    case '\n':
                        end_line(record, LineEnd::Lf);
                        return true;
                    case '\r':
                        ++position_;
                        state_ = State::AfterCr;
                        cr_after_quote_ = false;
                        continue;
                    case '"':
                        ++position_;
                        note(record, CsvProblem::StrayQuote);
                        record.plain = false;
                        record.data.push_back('"');
                        continue;
                    default:
                        scan_unquoted(record);
                        break;
                }
                break;
            case State::Quoted:
                if (c == '"') {
                    ++position_;
                    state_ = State::QuoteInQuoted;
                    continue;
                }
                scan_quoted(record);
                break;
            case State::QuoteInQuoted:
                switch (c) {
                    case '"':
                        ++position_;
                        record.data.push_back('"');
                        state_ = State::Quoted;
                        continue;
                    case ',':
                    case '\n':
                        state_ = State::Unquoted;  // ends the field there
                        continue;
                    case '\r':
                        ++position_;
                        state_ = State::AfterCr;
                        cr_after_quote_ = true;
                        continue;
                    default:
                        note(record, CsvProblem::TextAfterClosingQuote);
                        state_ = State::Unquoted;
                        continue;
                }
            case State::AfterCr:
                if (c == '\n') {
                    end_line(record, LineEnd::CrLf);
                    return true;
                }
                // A carriage return on its own is part of the field.
                if (cr_after_quote_) note(record, CsvProblem::TextAfterClosingQuote);
                record.plain = false;
                record.data.push_back('\r');
                state_ = State::Unquoted;
                continue;
        }
        if (record.data.size() >= record_limit_) {
            note(record, CsvProblem::TooLong);
            record.complete = false;
            record.plain = false;
            if (!in_long_record_) {
                in_long_record_ = true;
                long_record_line_ = record.line;
            }
            long_record_problem_ = record.problem;
            return true;
        }
    }
}

}  // namespace rfc_cli
