#include "batch_command.h"

#include <functional>
#include <string>
#include <utility>

#include "batch_row.h"
#include "csv_writer.h"
#include "progress.h"

namespace rfc_cli {
namespace {

constexpr std::size_t output_flush_size = std::size_t{1} << 20;
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
constexpr std::string_view added_columns = "rfc,resultado";

// Hands the output over before any read that may have to wait for input, so
// that rows come out as soon as they are done when the input is a pipe or a
// terminal. Reads of a regular file fill the whole buffer until its end and
// never trigger it.
class FlushBeforeWaiting final : public ByteSource {
public:
    FlushBeforeWaiting(ByteSource& input, std::function<void()> flush)
        : input_(input), flush_(std::move(flush))
    {
    }

    std::error_code read_some(std::span<char> buffer, std::size_t& count) override
    {
        if (last_read_was_short_) flush_();
        const std::error_code error = input_.read_some(buffer, count);
        last_read_was_short_ = count < buffer.size();
        return error;
    }

private:
    ByteSource& input_;
    std::function<void()> flush_;
    bool last_read_was_short_ = false;
};

std::string_view line_end_text(LineEnd end)
{
    return end == LineEnd::CrLf ? "\r\n" : "\n";
}

class BatchRun {
public:
    BatchRun(ByteSource& input, const BatchOptions& options, Console& console)
        : options_(options),
          console_(console),
          input_(input, [this] { flush(); }),
          reader_(input_, options.record_limit),
          progress_(console.err, console.err_is_terminal)
    {
    }

    int run()
    {
        bool first = true;
        while (!write_error_ && reader_.next(record_)) {
            if (first && reader_.had_byte_order_mark()) out_.append(byte_order_mark);
            if (!record_.complete || record_.continues_previous) {
                copy_long_piece();
            } else if (first && is_header(record_)) {
                copy_header();
            } else {
                copy_row();
            }
            first = false;
            if (out_.size() >= output_flush_size) flush();
        }
        flush();
        progress_.finish(rows_);
        if (const std::error_code error = reader_.read_error()) {
            report(console_, "no se pudo leer " + input_label() + ": " + error.message());
            return exit_status::io_error;
        }
        if (write_error_) {
            report(console_, "no se pudo escribir la salida: " + write_error_.message());
            return exit_status::io_error;
        }
        return unreadable_rows_ == 0 ? exit_status::ok : exit_status::unreadable_rows;
    }

private:
    std::string input_label() const
    {
        return options_.input_name.empty() ? "la entrada estándar" : options_.input_name;
    }

    std::string_view line_end_of(const CsvRecord& record)
    {
        if (record.line_end != LineEnd::EndOfInput) last_line_end_ = line_end_text(record.line_end);
        return last_line_end_;
    }

    void copy_header()
    {
        for (std::size_t i = 0; i < record_.field_count(); ++i) {
            append_csv_field(record_.field(i), out_);
            out_.push_back(',');
        }
        out_.append(added_columns);
        out_.append(line_end_of(record_));
    }

    void copy_row()
    {
        evaluator_.evaluate(record_, verdict_);
        append_output_row(record_, verdict_.key, verdict_.result, line_end_of(record_), out_);
        end_row(verdict_);
    }

    // A record past the length limit is copied as it streams by, every field
    // in quotes, without being held whole.
    void copy_long_piece()
    {
        if (!record_.continues_previous) {
            long_fields_ = 0;
            long_field_open_ = false;
        }
        for (std::size_t i = 0; i < record_.field_count(); ++i) {
            open_long_field();
            append_quoted_part(record_.field(i), out_);
            out_.push_back('"');
            long_field_open_ = false;
        }
        if (!record_.complete) {
            open_long_field();
            append_quoted_part(record_.open_field_part(), out_);
            return;
        }
        RowVerdict verdict;
        verdict.result = unreadable_text(csv_problem_text(record_.problem));
        verdict.unreadable = true;
        out_.append(",,");
        append_csv_field(verdict.result, out_);
        out_.append(line_end_of(record_));
        end_row(verdict);
    }

    void open_long_field()
    {
        if (long_field_open_) return;
        if (long_fields_ > 0) out_.push_back(',');
        out_.push_back('"');
        ++long_fields_;
        long_field_open_ = true;
    }

    void end_row(const RowVerdict& verdict)
    {
        ++rows_;
        if (verdict.unreadable) {
            ++unreadable_rows_;
            progress_.clear();
            const std::string where =
                options_.input_name.empty() ? std::string() : options_.input_name + ": ";
            report(console_, where + "línea " + std::to_string(record_.line) + ": " + verdict.result);
        }
        if ((rows_ & 0xFFFF) == 0) progress_.update(rows_);
    }

    void flush()
    {
        if (out_.empty() || write_error_) return;
        write_error_ = console_.out.write_all(out_);
        out_.clear();
    }

    const BatchOptions& options_;
    Console& console_;
    FlushBeforeWaiting input_;
    CsvReader reader_;
    Progress progress_;
    CsvRecord record_;
    RowEvaluator evaluator_;
    RowVerdict verdict_;
    std::string out_;
    std::string_view last_line_end_ = "\n";
    std::size_t rows_ = 0;
    std::size_t unreadable_rows_ = 0;
    std::size_t long_fields_ = 0;
    bool long_field_open_ = false;
    std::error_code write_error_;
};

}  // namespace

int run_batch(ByteSource& input, const BatchOptions& options, Console& console)
{
    return BatchRun(input, options, console).run();
}

int run_batch_command(std::span<const std::string_view> args, Console& console)
{
    if (args.size() > 1) return usage_error(console, "rfc batch lee un solo archivo");
    const std::string_view name = args.empty() ? "-" : args.front();
    if (name == "-") return run_batch(console.in, BatchOptions{}, console);
    if (name.size() > 1 && name.front() == '-') {
        return usage_error(console, "opción desconocida «" + std::string(name) + "»");
    }
    std::error_code error;
    FileSource file(std::string(name), error);
    if (error) {
        report(console, "no se pudo abrir " + std::string(name) + ": " + error.message());
        return exit_status::io_error;
    }
    return run_batch(file, BatchOptions{std::string(name)}, console);
}

}  // namespace rfc_cli
