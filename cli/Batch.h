// torvela-cli --batch: JSON Lines in, one output line per non-blank input
// line out, in input order, on one thread or several.
#pragma once

#include <cstddef>
#include <string_view>

#include "cli/ChartIo.h"

namespace torvela::cli {

// A longer line is answered with an error line and skipped without being
// held in memory.
inline constexpr std::size_t MaxLineBytes = std::size_t{1} << 20;

struct BatchOutcome {
  bool failedLine = false;  // some line gave an error line
  int readError = 0;        // errno of a failed read, which ended the input
  int writeError = 0;       // errno of a failed write, which ended the batch
};

// Reads lines from the descriptor in and writes to out. A byte-order mark
// before the first line is skipped; "line" numbers count every input line.
// jobs > 1 computes that many chunks of lines at once; the output is the
// same byte for byte, and memory stays bounded whatever the input's length.
BatchOutcome RunBatch(int in, int out, const BatchContext& context, int jobs);

// Writes all of text to the descriptor; 0 or the errno of the failure.
int WriteAll(int fd, std::string_view text);

}  // namespace torvela::cli
