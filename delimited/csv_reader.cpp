#include "csv_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "line_scan.h"

namespace delimited {
namespace {

// Reads start small, so that short inputs cost little, and grow while they
// come back full.
constexpr std::size_t first_read_size = std::size_t{64} << 10;
constexpr std::size_t largest_read_size = std::size_t{1} << 20;

// A source that knows it holds less than a first read gets a buffer just
// big enough for all of it (one byte more, so that the read that finds the
// end does not take a full buffer for a sign to grow).
std::size_t first_buffer_size(const ByteSource& source) {
    const std::optional<std::size_t> left = source.bytes_left();
    if (!left || *left >= first_read_size) return first_read_size;
    return *left + 1;
}

// A buffer left uninitialised (new char[] without "()"): only the bytes read
// into it are ever looked at, so filling it first would be wasted time.
std::unique_ptr<char[]> uninitialised_bytes(std::size_t size) {
    return std::unique_ptr<char[]>(new char[size]);
}

}  // namespace

std::string_view line_end_text(LineEnd end) {
    switch (end) {
        case LineEnd::EndOfInput:
            break;
        case LineEnd::Lf:
            return "\n";
        case LineEnd::CrLf:
            return "\r\n";
        case LineEnd::Cr:
            return "\r";
    }
    return {};
}

std::size_t end_of_fields(std::string_view bytes, char separator, std::size_t count) {
    FieldEndSearch search;
    const std::size_t end = search.find(bytes, separator, count);
    return end == std::string_view::npos ? bytes.size() : end;
}

std::size_t FieldEndSearch::find(std::string_view piece, char separator, std::size_t count) {
    // In a well-formed record a quote opens or closes a quoted field, or is
    // one of a doubled pair, which toggles twice.
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] == '"') quoted_ = !quoted_;
        if (!quoted_ && piece[i] == separator && ++separators_ == count) return i;
    }
    return std::string_view::npos;
}

bool CsvRecord::is_blank() const {
    return complete && !continues_previous && problem == CsvProblem::None && field_count() == 1 &&
           bytes().empty();
}

CsvReader::CsvReader(ByteSource& source, char separator, std::size_t record_limit,
                     LineBreaks line_breaks)
    : source_(source),
      separator_(separator),
      record_limit_(std::max<std::size_t>(record_limit, 1)),
      lone_cr_ends_line_(line_breaks == LineBreaks::AlsoLoneCr),
      buffer_size_(first_buffer_size(source)) {
    buffer_ = uninitialised_bytes(buffer_size_);
}

bool CsvReader::fill() {
    if (at_end_) return false;
    // Everything in the buffer has been used: it can be replaced.
    if (end_ == buffer_size_ && buffer_size_ < largest_read_size) {
        buffer_size_ *= 2;
        buffer_ = uninitialised_bytes(buffer_size_);
    }
    std::size_t count = 0;
    read_error_ = source_.read_some(std::span(buffer_.get(), buffer_size_), count);
    position_ = 0;
    raw_from_ = 0;
    end_ = count;
    if (count == 0) at_end_ = true;
    return count != 0;
}

std::size_t CsvReader::raw_size(const CsvRecord& record) const {
    return record.raw.size() + (position_ - raw_from_);
}

void CsvReader::keep_raw(CsvRecord& record) {
    record.raw.append(buffer_.get() + raw_from_, position_ - raw_from_);
    raw_from_ = position_;
}

void CsvReader::end_field(CsvRecord& record) {
    record.field_ends.push_back(record.data.size());
    record.data.push_back(separator_);
    state_ = State::FieldStart;
}

void CsvReader::end_line(CsvRecord& record, LineEnd line_end) {
    keep_raw(record);
    if (line_end == LineEnd::CrLf) record.raw.pop_back();  // the CR before this LF
    ++position_;                                           // past the line feed
    raw_from_ = position_;
    ++line_;
    end_field(record);
    record.line_end = line_end;
    in_long_record_ = false;
}

bool CsvReader::end_line_at_cr(CsvRecord& record) {
    keep_raw(record);
    record.raw.pop_back();  // the CR
    ++line_;
    end_field(record);
    record.line_end = LineEnd::Cr;
    in_long_record_ = false;
    return hand_over(record);
}

bool CsvReader::hand_over(const CsvRecord& record) {
    largest_record_ = std::max(largest_record_, record.bytes().size());
    return true;
}

// Hands over what the record holds so far as a piece; the record goes on in
// the next one.
bool CsvReader::cut_piece(CsvRecord& record) {
    keep_raw(record);
    note(record, CsvProblem::TooLong);
    record.complete = false;
    if (!in_long_record_) {
        in_long_record_ = true;
        long_record_line_ = record.line;
    }
    long_record_problem_ = record.problem;
    long_record_well_quoted_ = record.well_quoted;
    return hand_over(record);
}

void CsvReader::note(CsvRecord& record, CsvProblem problem) {
    if (record.problem == CsvProblem::None) record.problem = problem;
    if (problem != CsvProblem::TooLong) record.well_quoted = false;
}

bool CsvReader::read_plain_line(CsvRecord& record) {
    // Past the limit the record must come in pieces, which only the general
    // reading does.
    const std::string_view bytes(buffer_.get() + position_,
                                 std::min(end_ - position_, record_limit_));
    PlainLine line;
    quotes_.clear();
    if (!scan_plain_line(bytes, separator_, record.field_ends, quotes_, line) ||
        (!quotes_.empty() && !unquote_line(record, bytes.substr(0, line.length)))) {
        record.field_ends.clear();
        record.data.clear();
        return false;
    }
    if (quotes_.empty()) {
        record.field_ends.push_back(line.length);
        record.data.assign(bytes.data(), line.length + 1);
        record.data.back() = separator_;
        record.bytes_in_data = true;
    } else {
        record.raw.assign(bytes.data(), line.length);
    }
    record.line_end = line.crlf ? LineEnd::CrLf : LineEnd::Lf;
    position_ += line.length + (line.crlf ? 2 : 1);
    ++line_;
    return hand_over(record);
}

// A line whose quoted fields are quoted whole ("14,922.00", not "A""B" or
// "A"B), as spreadsheets write most of them: its fields are found from the
// positions of its separators and quotes. Anything else is left to the
// general reading.
bool CsvReader::unquote_line(CsvRecord& record, std::string_view line) {
    std::vector<std::size_t>& separators = separators_;
    separators.swap(record.field_ends);  // the separators' positions
    record.field_ends.clear();
    std::size_t separator = 0;
    std::size_t quote = 0;
    std::size_t begin = 0;
    for (;;) {
        std::size_t end;
        if (quote < quotes_.size() && quotes_[quote] == begin) {
            if (quote + 1 == quotes_.size()) return false;  // open past the line
            const std::size_t closing = quotes_[quote + 1];
            end = closing + 1;
            if (end != line.size() && line[end] != separator_) return false;
            record.data.append(line.substr(begin + 1, closing - begin - 1));
            quote += 2;
            while (separator < separators.size() && separators[separator] < end) ++separator;
        } else {
            end = separator < separators.size() ? separators[separator] : line.size();
            if (quote < quotes_.size() && quotes_[quote] < end) return false;  // a stray quote
            record.data.append(line.substr(begin, end - begin));
        }
        end_field(record);
        if (end == line.size()) return quote == quotes_.size();
        ++separator;
        begin = end + 1;
    }
}

void CsvReader::scan_unquoted(CsvRecord& record, std::size_t room) {
    const std::string_view bytes(buffer_.get() + position_, std::min(end_ - position_, room));
    const std::size_t length = find_field_stop(bytes, separator_);
    record.data.append(bytes.data(), length);
    position_ += length;
}

void CsvReader::scan_quoted(CsvRecord& record, std::size_t room) {
    const char* const begin = buffer_.get() + position_;
    const std::size_t length = std::min(end_ - position_, room);
    const auto* quote = static_cast<const char*>(std::memchr(begin, '"', length));
    const char* const stop = quote ? quote : begin + length;
    line_ += static_cast<std::size_t>(std::count(begin, stop, '\n'));
    record.data.append(begin, static_cast<std::size_t>(stop - begin));
    position_ = static_cast<std::size_t>(stop - buffer_.get());
}

bool CsvReader::finish_at_end_of_input(CsvRecord& record) {
    switch (state_) {
        case State::FieldStart:
            // Nothing after the last line break: no record.
            if (record.field_ends.empty() && record.raw.empty() && !record.continues_previous) {
                return false;
            }
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
            // A carriage return that ends the input ends the last line.
            return end_line_at_cr(record);
    }
    end_field(record);
    record.line_end = LineEnd::EndOfInput;
    in_long_record_ = false;
    return hand_over(record);
}

bool CsvReader::next(CsvRecord& record) {
    // A record keeps its room from one read to the next; a fresh one gets
    // room for a common line at once rather than growing to it step by step.
    constexpr std::size_t first_bytes = 128, first_fields = 16;
    if (record.data.capacity() < first_bytes) {
        record.data.reserve(first_bytes);
        record.field_ends.reserve(first_fields);
    }
    record.data.clear();
    record.field_ends.clear();
    record.raw.clear();
    record.bytes_in_data = false;
    record.line_end = LineEnd::EndOfInput;
    record.complete = true;
    record.continues_previous = in_long_record_;
    record.line = in_long_record_ ? long_record_line_ : line_;
    record.problem = in_long_record_ ? long_record_problem_ : CsvProblem::None;
    record.well_quoted = !in_long_record_ || long_record_well_quoted_;
    // The fast path knows only LF and CRLF.
    if (!in_long_record_ && !lone_cr_ends_line_ && read_plain_line(record)) return true;

    raw_from_ = position_;
    for (;;) {
        if (position_ == end_) {
            keep_raw(record);
            if (!fill()) return finish_at_end_of_input(record);
        }
        // Every byte read counts against the limit, whatever state it leaves
        // the reading in. A carriage return is never the last byte of a
        // piece, so that a CRLF is never split; the byte after it is.
        const std::size_t size = raw_size(record);
        if (size >= record_limit_ && state_ != State::AfterCr) return cut_piece(record);
        const std::size_t room = record_limit_ - std::min(size, record_limit_);
        const char c = buffer_[position_];
        switch (state_) {
            case State::FieldStart:
                if (c == '"') {
                    ++position_;
                    state_ = State::Quoted;
                    continue;
                }
                state_ = State::Unquoted;
                scan_unquoted(record, room);
                continue;
            case State::Unquoted:
                if (c == separator_) {
                    ++position_;
                    end_field(record);
                } else if (c == '\n') {
                    end_line(record, LineEnd::Lf);
                    return hand_over(record);
                } else if (c == '\r') {
                    ++position_;
                    state_ = State::AfterCr;
                    cr_after_quote_ = false;
                } else if (c == '"') {
                    ++position_;
                    note(record, CsvProblem::StrayQuote);
                    record.data.push_back('"');
                } else {
                    scan_unquoted(record, room);
                }
                continue;
            case State::Quoted:
                if (c == '"') {
                    ++position_;
                    state_ = State::QuoteInQuoted;
                } else {
                    scan_quoted(record, room);
                }
                continue;
            case State::QuoteInQuoted:
                if (c == '"') {
                    ++position_;
                    record.data.push_back('"');
                    state_ = State::Quoted;
                } else if (c == '\r') {
                    ++position_;
                    state_ = State::AfterCr;
                    cr_after_quote_ = true;
                } else if (c == separator_ || c == '\n') {
                    state_ = State::Unquoted;  // ends the field there
                } else {
                    note(record, CsvProblem::TextAfterClosingQuote);
                    state_ = State::Unquoted;
                }
                continue;
            case State::AfterCr:
                if (c == '\n') {
                    end_line(record, LineEnd::CrLf);
                    return hand_over(record);
                }
                if (lone_cr_ends_line_) return end_line_at_cr(record);
                // A carriage return on its own is part of the field.
                if (cr_after_quote_) note(record, CsvProblem::TextAfterClosingQuote);
                record.data.push_back('\r');
                state_ = State::Unquoted;
                continue;
        }
    }
}

}  // namespace delimited
