// Files the program writes beside its console output (the convergence log,
// the results table, the best point).
//
// A file is opened when the program starts, so that a name that cannot be
// written is refused before any work is done, but it is not emptied then:
// what it held is replaced only when the program first writes it (after
// the dialogue, which may read a starting point from that very file). Every
// piece is written whole at once. The first failed write is reported with
// one line on standard error, the file takes nothing more, and failed()
// tells the program, which must not end as if all were well.
#pragma once

#include <string>
#include <string_view>

namespace morlan::io {

class OutputFile {
 public:
  // `what` names the file in messages ("log file").
  explicit OutputFile(std::string what) : what_(std::move(what)) {}
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens (creating when absent) `name` for writing, without emptying it and
  // without waiting (a FIFO with no reader is refused). Returns 0, or the
  // errno value of the failure.
  int open(const std::string& name);
  bool is_open() const { return fd_ >= 0; }
  const std::string& name() const { return name_; }
  const std::string& what() const { return what_; }

  // True when both are open on the same file.
  bool same_file_as(const OutputFile& other) const;

  // Empties the file (a regular file; anything else is written on) and
  // writes `text`: the file's new beginning.
  void restart(std::string_view text);
  // Writes `text` after what was written.
  void write(std::string_view text);
  // Closes the file; a failure of the close is reported like a failed write.
  void close();

  bool failed() const { return failed_; }

 private:
  void report(int error);

  std::string what_;
  std::string name_;
  int fd_ = -1;
  bool failed_ = false;
};

// The line that refuses a file at start-up:
//   "morlan: cannot open log file 'name': <reason>".
std::string open_failure_text(const OutputFile& file, int error);

}  // namespace morlan::io
