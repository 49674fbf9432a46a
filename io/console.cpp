#include "io/console.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "io/status_line.hpp"

namespace morlan::io {

namespace {

// A line is ended before an item that would bring it to this length.
constexpr std::size_t kLineLimit = 80;

void default_stop_handler(int status) {
  std::fflush(nullptr);
  std::exit(status);
}

StopHandler g_stop_handler = default_stop_handler;

}  // namespace

std::string real_item_text(double value) {
  std::string out(1, value < 0 ? '-' : ' ');
  if (std::isnan(value) || std::isinf(value)) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%G", std::fabs(value));
    return out + buf;
  }
  if (value == 0) return out + "0.";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.9G", std::fabs(value));
  std::string mag(buf);
  if (mag.find('.') == std::string::npos) {
    const auto e = mag.find('E');
    if (e == std::string::npos) {
      mag += '.';
    } else {
      mag.insert(e, ".");
    }
  }
  return out + mag;
}

ListWriter::ListWriter(int unit) : unit_(unit) {}

ListWriter::~ListWriter() { end(); }

void ListWriter::put(const std::string& item_first, const std::string& item_rest) {
  const std::string& item = line_.empty() ? item_first : item_rest;
  if (!line_.empty() && line_.size() + item.size() >= kLineLimit) {
    line(line_, unit_);
    line_ = item_first;
    return;
  }
  line_ += item;
}

ListWriter& ListWriter::text(std::string_view s) {
  put(" " + std::string(s), std::string(s));
  return *this;
}

ListWriter& ListWriter::integer(std::int64_t v) {
  const std::string item = " " + std::to_string(v);
  put(item, item);
  return *this;
}

ListWriter& ListWriter::logical(bool v) {
  const std::string item = v ? " T" : " F";
  put(item, item);
  return *this;
}

ListWriter& ListWriter::real(double v) {
  const std::string item = " " + real_item_text(v);
  put(item, item);
  return *this;
}

ListWriter& ListWriter::reals(CVec values) {
  for (double v : values) real(v);
  return *this;
}

void ListWriter::end() {
  if (ended_) return;
  ended_ = true;
  line(line_, unit_);
}

std::string shown_bytes(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    }
  }
  return out;
}

void line(std::string_view text, int unit) {
  std::string complete;
  complete.reserve(text.size() + 1);
  complete.append(text);
  complete += '\n';
  write_text(unit, complete);
}

void stop(int status) {
  erase_status();
  g_stop_handler(status);
  // A handler must not return; make sure the process ends all the same.
  std::fflush(nullptr);
  std::exit(status);
}

StopHandler set_stop_handler(StopHandler handler) {
  StopHandler previous = g_stop_handler;
  g_stop_handler = handler ? handler : default_stop_handler;
  return previous;
}

void throwing_stop_handler(int status) { throw StopRequest{status}; }

}  // namespace morlan::io
