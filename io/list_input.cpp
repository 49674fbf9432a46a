#include "io/list_input.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "io/console.hpp"
#include "io/units.hpp"

namespace morlan::io {

namespace {

bool is_separator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }

}  // namespace

ListReader::ListReader(int unit, std::string what)
    : unit_(unit), in_(input_stream(unit)), what_(std::move(what)) {}

ListReader::~ListReader() { finish(); }

void ListReader::finish() { finished_ = true; }

void ListReader::fail(std::string_view expected, std::string_view found) {
  std::fflush(output_stream(kStdout));
  std::fprintf(stderr, "morlan: input error: expected %.*s for '%s', found %.*s\n",
               static_cast<int>(expected.size()), expected.data(), what_.c_str(),
               static_cast<int>(found.size()), found.data());
  stop(kExitInputError);
}

bool ListReader::next_token(std::string& token) {
  if (in_ == nullptr) return false;
  for (;;) {
    if (!have_line_) {
      line_.clear();
      int c;
      bool any = false;
      while ((c = std::fgetc(in_)) != EOF) {
        any = true;
        if (c == '\n') break;
        line_ += static_cast<char>(c);
      }
      if (!any) return false;
      have_line_ = true;
      pos_ = 0;
    }
    while (pos_ < line_.size() && is_separator(line_[pos_])) ++pos_;
    if (pos_ >= line_.size()) {
      have_line_ = false;
      continue;
    }
    std::size_t start = pos_;
    if (line_[pos_] == '\'' || line_[pos_] == '"') {
      const char q = line_[pos_++];
      token.clear();
      while (pos_ < line_.size()) {
        if (line_[pos_] == q) {
          if (pos_ + 1 < line_.size() && line_[pos_ + 1] == q) {
            token += q;
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        token += line_[pos_++];
      }
      return true;
    }
    while (pos_ < line_.size() && !is_separator(line_[pos_])) ++pos_;
    token = line_.substr(start, pos_ - start);
    return true;
  }
}

double ListReader::real() {
  std::string tok;
  if (!next_token(tok)) fail("a real number", "end of input");
  std::string t = tok;
  for (char& c : t) {
    if (c == 'd' || c == 'D') c = 'E';
  }
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(t.c_str(), &end);
  if (t.empty() || end != t.c_str() + t.size()) fail("a real number", "'" + tok + "'");
  ++count_;
  return v;
}

int ListReader::integer() {
  std::string tok;
  if (!next_token(tok)) fail("an integer", "end of input");
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(tok.c_str(), &end, 10);
  if (tok.empty() || end != tok.c_str() + tok.size() || errno == ERANGE || v < INT32_MIN ||
      v > INT32_MAX) {
    fail("an integer", "'" + tok + "'");
  }
  ++count_;
  return static_cast<int>(v);
}

std::string ListReader::chars(int width) {
  std::string tok;
  if (!next_token(tok)) fail("a character value", "end of input");
  tok.resize(static_cast<std::size_t>(width), ' ');
  ++count_;
  return tok;
}

double read_real(std::string_view what) {
  ListReader r(kStdin, std::string(what));
  return r.real();
}

int read_integer(std::string_view what) {
  ListReader r(kStdin, std::string(what));
  return r.integer();
}

std::string read_chars(int width, std::string_view what) {
  ListReader r(kStdin, std::string(what));
  return r.chars(width);
}

}  // namespace morlan::io
