#include "anneal/random.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "io/console.hpp"

namespace morlan {

RanmarState raset1;
RanmarState x0raset1;

namespace {

// The C library generator's table and a small one to switch to, both the
// program's own. When setstate switches tables the library keeps the
// position in the table it leaves, so switching to the spare one and back
// brings the whole state into the table.
alignas(std::int32_t) char g_c_table[128];
alignas(std::int32_t) char g_c_spare[8];
const bool g_c_installed = [] {
  ::initstate(1, g_c_spare, sizeof g_c_spare);
  ::initstate(1, g_c_table, sizeof g_c_table);
  return true;
}();

void seed(RanmarState& s, int ij, int kl) {
  if (ij < 0 || ij > 31328 || kl < 0 || kl > 30081) {
    const std::string pad(69, ' ');
    io::line(" The first random number seed must have a value" + pad + "between 0 and 31328");
    io::line(" The second seed must have a value between 0 and" + pad + "30081");
    io::error_stop();
  }
  int i = (ij / 177) % 177 + 2;
  int j = ij % 177 + 2;
  int k = (kl / 169) % 178 + 1;
  int l = kl % 169;
  for (int ii = 1; ii <= 97; ++ii) {
    float sum = 0.0f;
    float t = 0.5f;
    for (int jj = 1; jj <= 24; ++jj) {
      const int m = (((i * j) % 179) * k) % 179;
      i = j;
      j = k;
      k = m;
      l = (53 * l + 1) % 169;
      if ((l * m) % 64 >= 32) sum = sum + t;
      t = 0.5f * t;
    }
    s.lag(ii) = sum;
  }
  // Exact binary fractions of 2^24.
  s.cseq = 362436.0f / 16777216.0f;
  s.cdec = 7654321.0f / 16777216.0f;
  s.cmod = 16777213.0f / 16777216.0f;
  s.ilag = 97;
  s.jlag = 33;
}

}  // namespace

void rmarin(int ij, int kl) { seed(raset1, ij, kl); }
void x0rmarin(int ij, int kl) { seed(x0raset1, ij, kl); }

std::string c_generator_state() {
  ::setstate(g_c_spare);
  std::string state(g_c_table, sizeof g_c_table);
  ::setstate(g_c_table);
  return state;
}

void set_c_generator_state(std::string_view state) {
  if (state.size() != sizeof g_c_table) return;
  ::setstate(g_c_spare);
  std::memcpy(g_c_table, state.data(), state.size());
  ::setstate(g_c_table);
}

double exprep(double x) {
  if (x > 174.0) return 3.69e75;
  if (x >= -180.0) return std::exp(x);
  return 0.0;
}

}  // namespace morlan
