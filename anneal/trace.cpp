#include "anneal/trace.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "io/console.hpp"

namespace morlan {

namespace {

// Width and significant digits of the vector entries and the temperature,
// and of the search values.
constexpr int kShortWidth = 12;
constexpr int kShortDigits = 5;
constexpr int kLongWidth = 25;
constexpr int kLongDigits = 18;
constexpr int kValuesPerLine = 10;

std::string right_aligned(const std::string& text, int width) {
  if (static_cast<int>(text.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

// [-]0.<d digits>E<sign><two digits>; an exponent of three digits drops the
// letter E to keep the width.
std::string exponent_text(double v, int d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", d - 1, std::fabs(v));
  const std::string s(buf);
  const auto e = s.find('E');
  std::string digits;
  for (std::size_t i = 0; i < e; ++i) {
    if (s[i] != '.') digits += s[i];
  }
  // m.mmm x 10^x is 0.mmmm x 10^(x+1).
  const int exponent = std::atoi(s.c_str() + e + 1) + 1;
  const int magnitude = std::abs(exponent);
  char exp_buf[16];
  if (magnitude <= 99) {
    std::snprintf(exp_buf, sizeof exp_buf, "E%c%02d", exponent < 0 ? '-' : '+', magnitude);
  } else {
    std::snprintf(exp_buf, sizeof exp_buf, "%c%03d", exponent < 0 ? '-' : '+', magnitude);
  }
  return std::string(v < 0 ? "-" : "") + "0." + digits + exp_buf;
}

void print_long_value(std::string_view label, double value) {
  io::line(std::string(label) + general_field(value, kLongWidth, kLongDigits));
}

// The loops hand over the negated search value when they minimise; the
// trace shows the caller's Lagrangian.
double caller_sign(bool maximize, double value) { return maximize ? value : -value; }

}  // namespace

std::string general_field(double v, int w, int d) {
  if (std::isnan(v)) return right_aligned("NaN", w);
  if (std::isinf(v)) return right_aligned(w >= 9 ? (v < 0 ? "-Infinity" : "Infinity") : (v < 0 ? "-Inf" : "Inf"), w);
  const double a = std::fabs(v);
  double limit = 1.0;
  for (int i = 0; i < d; ++i) limit *= 10.0;
  if (a == 0.0 || (a >= 0.1 && a < limit)) {
    // k: the smallest integer with |v| < 10^k (1 for zero).
    int k = 0;
    if (a == 0.0) {
      k = 1;
    } else {
      double p = 1.0;
      while (!(a < p)) {
        p *= 10.0;
        ++k;
      }
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%#.*f", d - k, a);
    // Zero is written without a sign, whichever its sign bit.
    const std::string text = std::string(v < 0 ? "-" : "") + buf;
    return right_aligned(text, w - 4) + "    ";
  }
  return right_aligned(exponent_text(v, d), w);
}

std::string integer_field(long long v, int w) { return right_aligned(std::to_string(v), w); }

void prt1() {
  io::line("");
  io::line("  THE STARTING VALUE (X) IS OUTSIDE THE BOUNDS ");
  io::line("  (LB AND UB). EXECUTION TERMINATED WITHOUT ANY");
  io::line("  OPTIMIZATION. RESPECIFY X, UB OR LB SO THAT  ");
  io::line("  LB(I) .LT. X(I) .LT. UB(I), I = 1, N. ");
  io::line("");
}

void prt2(bool maximize, int n, CVec x, double f) {
  io::line("  ");
  prtvec(x, n, "INITIAL X");
  io::line("  INITIAL F: ");
  io::line(general_field(caller_sign(maximize, f), kLongWidth, kLongDigits));
}

void prt4(bool maximize, int n, CVec xtrial, CVec x, double ftrial, double f) {
  io::line("  ");
  prtvec(x, n, "CURRENT X");
  print_long_value("  CURRENT F: ", caller_sign(maximize, f));
  prtvec(xtrial, n, "TRIAL X");
  print_long_value("  RESULTING F: ", caller_sign(maximize, ftrial));
}

void prt6(bool maximize) {
  io::line(maximize ? "  THOUGH LOWER, POINT ACCEPTED" : "  THOUGH HIGHER, POINT ACCEPTED");
}

void prt7(bool maximize) {
  io::line(maximize ? "  LOWER POINT REJECTED" : "  HIGHER POINT REJECTED");
}

void prt8(int n, CVec vm, CVec xbest, CVec x) {
  io::line("");
  io::line(" INTERMEDIATE RESULTS AFTER STEP LENGTH ADJUSTMENT");
  io::line("");
  prtvec(vm, n, "NEW STEP LENGTH (VM)");
  prtvec(xbest, n, "CURRENT OPTIMAL X");
  prtvec(x, n, "CURRENT X");
  io::line(" ");
}

void prt9(bool maximize, int n, double t, CVec xbest, CVec vm, double fbest, int nimprove,
          int nworse, int nreject, int noutt, int nnewopt) {
  const long long total = static_cast<long long>(nimprove) + nworse + nreject;
  auto count_line = [](std::string_view label, long long value) {
    io::line(std::string(label) + integer_field(value));
  };
  io::line("");
  io::line(" INTERMEDIATE RESULTS BEFORE NEXT TEMPERATURE REDUCTION");
  io::line("");
  io::line("  CURRENT TEMPERATURE:            " + general_field(t, kShortWidth, kShortDigits));
  if (maximize) {
    print_long_value("  MAX FUNCTION VALUE SO FAR:  ", fbest);
    count_line("  TOTAL MOVES:                ", total);
    count_line("     UPHILL:                  ", nimprove);
    count_line("     ACCEPTED DOWNHILL:       ", nworse);
    count_line("     REJECTED DOWNHILL:       ", nreject);
    count_line("  OUT OF BOUNDS TRIALS:       ", noutt);
    count_line("  NEW MAXIMA THIS TEMPERATURE:", nnewopt);
  } else {
    print_long_value("  MIN FUNCTION VALUE SO FAR:  ", -fbest);
    count_line("  TOTAL MOVES:                ", total);
    count_line("     DOWNHILL:                ", nimprove);
    count_line("     ACCEPTED UPHILL:         ", nworse);
    count_line("     REJECTED UPHILL:         ", nreject);
    count_line("  TRIALS OUT OF BOUNDS:       ", noutt);
    count_line("  NEW MINIMA THIS TEMPERATURE:", nnewopt);
  }
  prtvec(xbest, n, "CURRENT OPTIMAL X");
  prtvec(vm, n, "STEP LENGTH (VM)");
  io::line(" ");
}

void prt10() {
  io::line("");
  io::line("  SA ACHIEVED TERMINATION CRITERIA. IER = 0. ");
  io::line("");
}

void prtvec(CVec vector, int ncols, std::string_view name) {
  auto values_line = [&](int first, int last) {
    std::string text;
    for (int i = first; i <= last; ++i) {
      text += general_field(vector(i), kShortWidth, kShortDigits);
      text += ' ';
    }
    io::line(text);
  };
  io::line("");
  io::line(std::string(25, ' ') + std::string(name));
  if (ncols <= kValuesPerLine) {
    values_line(1, ncols);
    return;
  }
  const int full_lines = ncols / kValuesPerLine;
  for (int j = 1; j <= full_lines; ++j) {
    values_line(kValuesPerLine * (j - 1) + 1, kValuesPerLine * j);
  }
  // The remainder line, empty when ncols is a multiple of ten.
  values_line(kValuesPerLine * full_lines + 1, ncols);
}

}  // namespace morlan
