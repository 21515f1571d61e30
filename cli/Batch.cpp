#include "cli/Batch.h"

#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/ChartIo.h"

namespace torvela::cli {

int WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

namespace {

// A run of input lines and, once computed, their output.
struct Chunk {
  struct Line {
    std::size_t offset = 0, size = 0;  // in text
    long number = 0;
    bool tooLong = false;
  };
  std::string text;
  std::vector<Line> lines;
  std::string out;
  bool failed = false;
  bool done = false;  // computed; guarded by the pipeline's mutex

  void Clear() {
    text.clear();
    lines.clear();
    out.clear();
    failed = done = false;
  }
};

// Whichever comes first closes a chunk. A chunk may pass the byte count by
// its last line, which is at most MaxLineBytes.
constexpr std::size_t ChunkLines = 1024;
constexpr std::size_t ChunkBytes = 256 * 1024;

// Splits the input into numbered lines, reading through a fixed buffer.
class LineSource {
 public:
  explicit LineSource(int fd) : fd_(fd), buffer_(64 * 1024) {}

  // Adds lines to chunk until it is full. Returns false once the input has
  // ended (the chunk may still have got lines); error() tells whether a read
  // failed. A line cut short by a failed read is dropped.
  bool Fill(Chunk& c) {
    while (c.lines.size() < ChunkLines && c.text.size() < ChunkBytes)
      if (!NextLine(c)) return false;
    return true;
  }

  int error() const { return error_; }

 private:
  bool NextLine(Chunk& c) {
    Chunk::Line line{c.text.size(), 0, number_ + 1, false};
    bool any = false;
    for (;;) {
      if (pos_ == end_ && !Refill()) {
        if (!any || error_) {
          c.text.resize(line.offset);
          return false;
        }
        break;  // a last line without a newline
      }
      any = true;
      const char* start = buffer_.data() + pos_;
      const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
      const std::size_t n = newline ? static_cast<std::size_t>(newline - start) : end_ - pos_;
      if (!line.tooLong) {
        if (line.size + n > MaxLineBytes) {
          line.tooLong = true;
          c.text.resize(line.offset);
        } else {
          c.text.append(start, n);
        }
      }
      line.size += n;
      pos_ += n;
      if (newline) {
        ++pos_;
        break;
      }
    }
    ++number_;
    if (line.tooLong) {
      line.size = 0;
    } else if (number_ == 1 && std::string_view(c.text).substr(line.offset, 3) == "\xEF\xBB\xBF") {
      line.offset += 3;
      line.size -= 3;
    }
    c.lines.push_back(line);
    return true;
  }

  bool Refill() {
    if (eof_) return false;
    for (;;) {
      const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
      if (n > 0) {
        pos_ = 0;
        end_ = static_cast<std::size_t>(n);
        return true;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) error_ = errno;
      eof_ = true;
      return false;
    }
  }

  int fd_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false;
  int error_ = 0;
  long number_ = 0;
};

void Compute(Chunk& c, const BatchContext& context) {
  for (const Chunk::Line& line : c.lines) {
    if (line.tooLong) {
      AppendErrorJson(c.out, line.number, "行が長すぎます (line longer than 1 MiB)");
      c.failed = true;
      continue;
    }
    const std::string_view text = std::string_view(c.text).substr(line.offset, line.size);
    if (text.find_first_not_of(" \t\r") == std::string_view::npos) continue;
    if (!BatchLine(text, line.number, context, c.out)) c.failed = true;
  }
}

BatchOutcome RunSerial(int in, int out, const BatchContext& context) {
  BatchOutcome outcome;
  LineSource source(in);
  Chunk c;
  for (bool more = true; more;) {
    c.Clear();
    more = source.Fill(c);
    Compute(c, context);
    outcome.failedLine |= c.failed;
    if ((outcome.writeError = WriteAll(out, c.out))) return outcome;
  }
  outcome.readError = source.error();
  return outcome;
}

// The chunks between the reader thread, the workers and the writer (the
// calling thread). At most maxInFlight chunks are read and not yet written;
// written ones are kept for reuse, so memory is bounded by the chunk sizes.
struct Pipeline {
  explicit Pipeline(int in, std::size_t maxInFlight) : source(in), maxInFlight(maxInFlight) {}

  LineSource source;
  const std::size_t maxInFlight;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::unique_ptr<Chunk>> inFlight;  // input order
  std::deque<Chunk*> todo;
  std::vector<std::unique_ptr<Chunk>> spare;    // written, for reuse
  bool inputEnded = false;
  bool stop = false;  // output failed: nothing more to do
  bool readerDone = false;

  void Read() {
    for (;;) {
      std::unique_ptr<Chunk> c;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || inFlight.size() < maxInFlight; });
        if (stop) break;
        if (!spare.empty()) {
          c = std::move(spare.back());
          spare.pop_back();
        }
      }
      if (!c) c = std::make_unique<Chunk>();
      c->Clear();
      const bool more = source.Fill(*c);
      {
        std::lock_guard lock(mutex);
        if (!c->lines.empty()) {
          todo.push_back(c.get());
          inFlight.push_back(std::move(c));
        }
        inputEnded = !more;
      }
      changed.notify_all();
      if (!more) break;
    }
    std::lock_guard lock(mutex);
    readerDone = true;
  }

  void Work(const BatchContext& context) {
    for (;;) {
      Chunk* c;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || !todo.empty() || inputEnded; });
        if (stop || todo.empty()) return;
        c = todo.front();
        todo.pop_front();
      }
      Compute(*c, context);
      {
        std::lock_guard lock(mutex);
        c->done = true;
      }
      changed.notify_all();
    }
  }

  void Write(int out, BatchOutcome& outcome) {
    for (;;) {
      std::unique_ptr<Chunk> c;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] {
          return (!inFlight.empty() && inFlight.front()->done) || (inputEnded && inFlight.empty());
        });
        if (inFlight.empty()) return;
        c = std::move(inFlight.front());
        inFlight.pop_front();
      }
      changed.notify_all();
      outcome.failedLine |= c->failed;
      outcome.writeError = WriteAll(out, c->out);
      std::lock_guard lock(mutex);
      if (outcome.writeError) {
        stop = true;
        changed.notify_all();
        return;
      }
      spare.push_back(std::move(c));
    }
  }
};

}  // namespace

BatchOutcome RunBatch(int in, int out, const BatchContext& context, int jobs) {
  if (jobs <= 1) return RunSerial(in, out, context);

  auto pipeline = std::make_shared<Pipeline>(in, 2 * static_cast<std::size_t>(jobs));
  std::thread reader([pipeline] { pipeline->Read(); });
  std::vector<std::thread> workers;
  for (int i = 0; i < jobs; ++i)
    workers.emplace_back([&pipeline, &context] { pipeline->Work(context); });
  BatchOutcome outcome;
  pipeline->Write(out, outcome);
  for (std::thread& w : workers) w.join();
  bool readerBlocked;
  {
    std::lock_guard lock(pipeline->mutex);
    readerBlocked = !pipeline->readerDone;
  }
  // Once output has failed, a reader waiting on a terminal or an idle pipe
  // would keep the program from ending; it holds its own share of the
  // pipeline and is left to the exit.
  if (outcome.writeError && readerBlocked) {
    reader.detach();
  } else {
    reader.join();
    outcome.readError = pipeline->source.error();
  }
  return outcome;
}

}  // namespace torvela::cli
