#include "anneal/random.hpp"

#include <cmath>

#include "io/console.hpp"

namespace morlan {

RanmarState raset1;
RanmarState x0raset1;

namespace {

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

double exprep(double x) {
  if (x > 174.0) return 3.69e75;
  if (x >= -180.0) return std::exp(x);
  return 0.0;
}

}  // namespace morlan
