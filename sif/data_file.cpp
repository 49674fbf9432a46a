#include "sif/data_file.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/config.hpp"
#include "io/bounded_line.hpp"
#include "io/console.hpp"
#include "io/units.hpp"

namespace morlan {

namespace {

std::string quoted(std::string_view f) {
  std::string s(io::trim_right(f));
  const auto first = s.find_first_not_of(' ');
  s.erase(0, first == std::string::npos ? s.size() : first);
  return "'" + io::shown_bytes(s) + "'";
}

}  // namespace

bool parse_integer_field(std::string_view f, int& value) {
  bool negative = false;
  bool sign_seen = false;
  bool digit_seen = false;
  long long v = 0;
  for (char c : f) {
    if (c == ' ') continue;
    if ((c == '+' || c == '-') && !sign_seen && !digit_seen) {
      sign_seen = true;
      negative = c == '-';
    } else if (c >= '0' && c <= '9') {
      digit_seen = true;
      v = v * 10 + (c - '0');
      if (v > 2147483647LL) return false;
    } else {
      return false;
    }
  }
  if (sign_seen && !digit_seen) return false;
  value = static_cast<int>(negative ? -v : v);
  return true;
}

bool parse_real_field(std::string_view f, double& value, int decimals) {
  std::string digits;  // mantissa digits, point removed
  bool negative = false;
  std::size_t i = 0;
  std::string s;
  for (char c : f) {
    if (c != ' ') s += c;
  }
  if (s.empty()) {
    value = 0.0;
    return true;
  }
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  int point_pos = -1;  // digits before the point
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      digits += c;
    } else if (c == '.' && point_pos < 0) {
      point_pos = static_cast<int>(digits.size());
    } else {
      break;
    }
  }
  if (digits.empty()) return false;
  bool has_exponent = false;
  long long exponent = 0;
  if (i < s.size()) {
    char c = s[i];
    if (c == 'D' || c == 'd' || c == 'E' || c == 'e' || c == 'Q' || c == 'q') {
      ++i;
      if (i >= s.size()) return false;
      c = s[i];
    } else if (c != '+' && c != '-') {
      return false;
    }
    bool exp_negative = false;
    if (c == '+' || c == '-') {
      exp_negative = c == '-';
      ++i;
    }
    if (i >= s.size()) return false;
    for (; i < s.size(); ++i) {
      if (s[i] < '0' || s[i] > '9') return false;
      if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (exp_negative) exponent = -exponent;
    has_exponent = true;
  }
  // Decimal exponent of the last mantissa digit.
  long long scale = exponent;
  if (point_pos >= 0) {
    scale -= static_cast<long long>(digits.size()) - point_pos;
  } else {
    scale -= decimals;
  }
  if (!has_exponent) scale -= 1;  // the scale factor 1P divides by ten on input
  const std::string text =
      (negative ? "-" : "") + digits + "e" + std::to_string(scale);
  errno = 0;
  const double v = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

DataFileReader::DataFileReader(std::FILE* in, std::string_view file_name)
    : in_(in), file_(io::trim_right(file_name)) {}

DataFileReader& DataFileReader::begin(int number, std::string_view name) {
  record_ = number;
  record_name_ = name;
  return *this;
}

void DataFileReader::fail_record(std::string_view file, int record, std::string_view name,
                                 int entry, std::string_view what) {
  std::string text(file);
  text += ": record " + std::to_string(record) + " (" + std::string(name) + ")";
  if (entry > 0) text += ", entry " + std::to_string(entry);
  text += ": ";
  text += what;
  io::flush(io::kStdout);
  io::line(text, io::kStderr);
  io::flush(io::kStderr);
  io::stop(io::kExitInputError);
}

void DataFileReader::fail(int entry, std::string_view what) const {
  fail_record(file_, record_, record_name_, entry, what);
}

void DataFileReader::check_pointers(CIVec p, int count, int list_length) const {
  for (int k = 1; k <= count; ++k) {
    if (p(k) < 1 || p(k) > list_length + 1) {
      fail(k, "pointer " + std::to_string(p(k)) + " outside 1.." + std::to_string(list_length + 1));
    }
    if (k > 1 && p(k) < p(k - 1)) {
      fail(k, "pointer " + std::to_string(p(k)) + " less than the one before (" +
                  std::to_string(p(k - 1)) + ")");
    }
  }
}

void DataFileReader::check_indices(CIVec v, int count, int hi, std::string_view what) const {
  for (int k = 1; k <= count; ++k) {
    if (v(k) < 1 || v(k) > hi) {
      fail(k, std::string(what) + " index " + std::to_string(v(k)) + " outside 1.." +
                  std::to_string(hi));
    }
  }
}

void DataFileReader::need_line(int entry) {
  const io::LineRead read =
      in_ == nullptr ? io::LineRead::kEnd : io::read_bounded_line(in_, line_, cfg::kMaxInputLine);
  if (read == io::LineRead::kEnd) {
    fail(entry, "the file ends early (after line " + std::to_string(line_number_) + ")");
  }
  ++line_number_;
  if (read == io::LineRead::kTooLong) {
    fail(entry, "line " + std::to_string(line_number_) + " is longer than " +
                    std::to_string(cfg::kMaxInputLine) + " characters");
  }
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
}

std::string_view DataFileReader::field(int col, int width, int entry) {
  const auto start = static_cast<std::size_t>(col);
  if (start >= line_.size()) {
    fail(entry, "line " + std::to_string(line_number_) + " ends before column " +
                    std::to_string(col + 1));
  }
  padded_.assign(line_, start, static_cast<std::size_t>(width));
  padded_.resize(static_cast<std::size_t>(width), ' ');  // trailing blanks may be absent
  return padded_;
}

int DataFileReader::read_integer_field(std::string_view f, int entry) {
  int v = 0;
  if (!parse_integer_field(f, v)) {
    fail(entry, "unreadable integer " + quoted(f) + " on line " + std::to_string(line_number_));
  }
  return v;
}

double DataFileReader::read_real_field(std::string_view f, int entry) {
  double v = 0.0;
  if (!parse_real_field(f, v)) {
    fail(entry, "unreadable real " + quoted(f) + " on line " + std::to_string(line_number_));
  }
  return v;
}

template <class ReadEntry>
void DataFileReader::each_entry(int count, int per_line, ReadEntry read_entry) {
  if (count <= 0) {
    need_line(0);
    return;
  }
  for (int k = 1; k <= count; ++k) {
    const int col = (k - 1) % per_line;
    if (col == 0) need_line(k);
    read_entry(k, col);
  }
}

void DataFileReader::integers(IVec out, int count, int per_line) {
  each_entry(count, per_line,
             [&](int k, int col) { out(k) = read_integer_field(field(col * 6, 6, k), k); });
}

void DataFileReader::reals(Vec out, int count, int per_line) {
  reals_split(out, count, Vec(), 0, per_line);
}

void DataFileReader::reals_split(Vec first, int n1, Vec second, int n2, int per_line) {
  each_entry(n1 + n2, per_line, [&](int k, int col) {
    const double v = read_real_field(field(col * 16, 16, k), k);
    if (k <= n1) {
      first(k) = v;
    } else {
      second(k - n1) = v;
    }
  });
}

void DataFileReader::logicals(LogVec out, int count, int per_line) {
  each_entry(count, per_line, [&](int k, int col) {
    const char c = field(col, 1, k)[0];
    if (c == 'T' || c == 't') {
      out(k) = 1;
    } else if (c == 'F' || c == 'f') {
      out(k) = 0;
    } else {
      fail(k, "unreadable logical " + quoted(std::string_view(&c, 1)) + " on line " +
                  std::to_string(line_number_));
    }
  });
}

void DataFileReader::names(OneBased<std::array<char, kNameLength>> out, int count, int per_line) {
  each_entry(count, per_line, [&](int k, int col) {
    // A name may be blank or cut short at the end of a line: pad with blanks.
    const auto start = static_cast<std::size_t>(col * kNameLength);
    std::array<char, kNameLength> name;
    name.fill(' ');
    for (std::size_t j = 0; j < static_cast<std::size_t>(kNameLength); ++j) {
      if (start + j < line_.size()) name[j] = line_[start + j];
    }
    if (out.data() != nullptr) out(k) = name;
  });
}

void DataFileReader::skip_names(int count, int per_line) {
  names(OneBased<std::array<char, kNameLength>>(), count, per_line);
}

void DataFileReader::class_and_name(int& kclass, std::array<char, 8>& prbnam) {
  need_line(1);
  kclass = read_integer_field(field(0, 2, 1), 1);
  prbnam.fill(' ');
  for (std::size_t j = 0; j < prbnam.size(); ++j) {
    if (2 + j < line_.size()) prbnam[j] = line_[2 + j];
  }
}

}  // namespace morlan
