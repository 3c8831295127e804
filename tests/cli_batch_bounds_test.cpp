// rfc batch against inputs that once broke its promises: memory that grew
// with the width of a row, guesses that hung on how a pipe delivered bytes,
// line ends and separators it did not know, and streams it misread.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "batch_command.h"
#include "cli.h"

namespace rfc_cli {
namespace {

// `count` copies of `row`, made as they are read so that the input itself
// takes no memory.
class RepeatedRows final : public ByteSource {
  public:
    RepeatedRows(std::string head, std::string row, std::size_t count)
        : head_(std::move(head)), row_(std::move(row)), left_(count) {}

    std::error_code read_some(std::span<char> buffer, std::size_t& count) override {
        count = 0;
        while (count < buffer.size()) {
            if (at_ == current().size()) {
                if (in_head_) {
                    in_head_ = false;
                } else if (left_ == 0 || --left_ == 0) {
                    break;
                }
                at_ = 0;
            }
            const std::size_t n = std::min(buffer.size() - count, current().size() - at_);
            std::memcpy(buffer.data() + count, current().data() + at_, n);
            count += n;
            at_ += n;
        }
        return {};
    }

  private:
    const std::string& current() const { return in_head_ ? head_ : row_; }

    std::string head_;
    std::string row_;
    std::size_t left_;
    bool in_head_ = true;
    std::size_t at_ = 0;
};

class Discard final : public ByteSink {
  public:
    std::error_code write_all(std::string_view) override { return {}; }
};

// The peak resident memory, in kilobytes, of a child process that runs
// `work`.
long child_peak_kilobytes(const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    rusage usage{};
    EXPECT_EQ(::wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status));
    return usage.ru_maxrss;
}

std::string utf16le(std::string_view ascii) {
    std::string out;
    for (const char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

// Rows of nothing but separators cost more in field positions than in
// bytes; they must be held to the same few megabytes as any row.
TEST(BatchBounds, WideRowsOfEmptyFieldsStayWithinMemory) {
    const std::string header = "paterno,materno,nombre,fecha\n";
    const struct {
        const char* name;
        std::string head;
        std::string row;
        std::size_t count;
    } cases[] = {
        {"65,500 commas, UTF-8", header, std::string(65500, ',') + "\n", 200},
        {"65,535 commas, UTF-8", "", std::string(65535, ',') + "\n", 1000},
        {"65,500 commas, UTF-16", "\xFF\xFE" + utf16le(header),
         utf16le(std::string(65500, ',') + "\n"), 200},
    };
    const auto run_on = [](ByteSource& in) {
        Discard out;
        Discard err;
        Console console{in, out, err};
        BatchOptions options;
        options.threads = 2;
        run_batch(in, options, console);
    };
    const long baseline = child_peak_kilobytes([&] {
        RepeatedRows in(header, "PEREZ,LOPEZ,JUAN,1980-01-15\n", 10);
        run_on(in);
    });
    // Before field positions were counted, these rose by 20 to 30 MB.
    constexpr long allowed_kilobytes = 10 * 1024;
    for (const auto& c : cases) {
        const long peak = child_peak_kilobytes([&] {
            RepeatedRows in(c.head, c.row, c.count);
            run_on(in);
        });
        EXPECT_LT(peak - baseline, allowed_kilobytes) << c.name;
    }
}

}  // namespace
}  // namespace rfc_cli
