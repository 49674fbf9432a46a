#include "tests/sif/fuzz/read_and_evaluate.hpp"

#include <cmath>
#include <cstdio>
#include <string>

#include "io/console.hpp"
#include "io/units.hpp"
#include "base/one_based.hpp"
#include "sif/csetup.hpp"
#include "sif/evaluate.hpp"

namespace morlan::fuzz {

namespace {

constexpr int kUnit = 55;
constexpr int kCapacity = 1000;

Array1<double, kCapacity> x, bl, bu, v, cl, cu, g;
Array1<bool, kCapacity> equatn, linear;

void discard_output() {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  for (int unit : {0, 6, 7}) io::redirect_output(unit, sink);
}

}  // namespace

int read_and_evaluate(const std::uint8_t* data, std::size_t size) {
  discard_output();
  const io::StopHandler previous = io::set_stop_handler(io::throwing_stop_handler);
  std::string text(reinterpret_cast<const char*>(data), size);
  std::FILE* in = text.empty() ? std::fopen("/dev/null", "r")
                               : ::fmemopen(text.data(), text.size(), "r");
  io::redirect_input(kUnit, in, "OUTSDIF.d");
  int status = -1;
  try {
    int n = 0;
    int m = 0;
    csetup(kUnit, 6, n, m, x, bl, bu, kCapacity, equatn, linear, v, cl, cu, kCapacity, true,
           false, false);
    double f = 0.0;
    cofg(n, x.slice(1, n), f, g.slice(1, n), true);
    cofg(n, x.slice(1, n), f, g.slice(1, n), false);
    for (int icon = 1; icon <= m; ++icon) {
      double c = 0.0;
      ccifg(n, icon, x.slice(1, n), c, g.slice(1, n), icon % 2 == 1);
    }
  } catch (const io::StopRequest& stop) {
    status = stop.status;
  }
  io::redirect_input(kUnit, nullptr, "");
  std::fclose(in);
  io::set_stop_handler(previous);
  return status;
}

}  // namespace morlan::fuzz
