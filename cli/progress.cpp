#include "progress.h"

#include <string>

#include "cli_words.h"

namespace rfc_cli {
namespace {

constexpr std::chrono::seconds quiet_start{1};
constexpr std::chrono::milliseconds refresh{250};
constexpr std::string_view clear_line = "\r\033[K";

}  // namespace

Progress::Progress(delimited::ByteSink& err, bool enabled)
    : err_(err), enabled_(enabled), start_(Clock::now()), next_show_(start_ + quiet_start) {}

void Progress::update(std::size_t rows) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now < next_show_) return;
    show(rows, now);
    next_show_ = now + refresh;
}

void Progress::show(std::size_t rows, Clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const auto rate = static_cast<unsigned long long>(seconds > 0 ? rows / seconds : 0);
    const std::string line = std::string(clear_line) + "rfc: " + words::progress_text(rows, rate);
    err_.write_all(line);
    shown_ = true;
}

void Progress::clear() {
    if (shown_) err_.write_all(clear_line);
}

void Progress::finish(std::size_t rows) {
    if (!shown_) return;
    show(rows, Clock::now());
    err_.write_all("\n");
    shown_ = false;
}

}  // namespace rfc_cli
