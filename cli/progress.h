// The progress line of a long batch on a terminal: "rfc: 1200000 filas, 2400000 filas/s".
#pragma once

#include <chrono>
#include <cstddef>

#include "byte_stream.h"

namespace rfc_cli {

class Progress {
  public:
    // Shows nothing unless `enabled` (standard error is a terminal).
    Progress(delimited::ByteSink& err, bool enabled);

    // Called often with the rows done so far; shows them once the batch has
    // run for a second, and then a few times a second.
    void update(std::size_t rows);

    // Before another message goes to standard error: clears the line.
    void clear();

    // At the end: leaves the last figures on their own line.
    void finish(std::size_t rows);

  private:
    using Clock = std::chrono::steady_clock;
    void show(std::size_t rows, Clock::time_point now);

    delimited::ByteSink& err_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_;
    Clock::time_point next_show_;
};

}  // namespace rfc_cli
