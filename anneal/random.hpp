// Uniform random streams (RANMAR, Marsaglia and Zaman: lagged Fibonacci
// subtraction with lags 97 and 33, combined with an arithmetic sequence),
// computed in IEEE single precision, and the guarded exponential.
//
// The main stream serves the temperature estimate, the annealing loops and
// trial points; the starting-point stream serves only the driver's random
// starts, so starting points do not depend on what the runs draw.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/one_based.hpp"

namespace morlan {

// State of one stream.
struct RanmarState {
  Array1<float, 97> lag;  // lag table, entries in [0, 1)
  float cseq;             // current value of the arithmetic sequence
  float cdec;             // its decrement
  float cmod;             // its modulus
  std::int32_t ilag;      // index of the first lag, 1..97
  std::int32_t jlag;      // index of the second lag, 1..97
};

extern RanmarState raset1;    // main stream
extern RanmarState x0raset1;  // starting-point stream

// Seed a stream: 0 <= ij <= 31328, 0 <= kl <= 30081. Out of range: two
// message lines and an error stop.
void rmarin(int ij, int kl);
void x0rmarin(int ij, int kl);

// y where x < 0, else x, chosen by a mask rather than a branch: the sign
// of each difference below is close to a coin toss, and a branch on it is
// mispredicted about half the time. Only the choice differs from the branch; x
// and y are computed by the same operations, so the result has its bits.
inline float choose_if_negative(float x, float y) {
  const std::uint32_t take_y = 0u - static_cast<std::uint32_t>(x < 0.0f);
  return std::bit_cast<float>((std::bit_cast<std::uint32_t>(y) & take_y) |
                              (std::bit_cast<std::uint32_t>(x) & ~take_y));
}

// Next value of a stream in [0, 1), single precision. Inline: the loops
// draw once or more per trial, and the call costs as much as the draw.
inline float ranmar_draw(RanmarState& s) {
  float uni = s.lag(s.ilag) - s.lag(s.jlag);
  uni = choose_if_negative(uni, uni + 1.0f);
  s.lag(s.ilag) = uni;
  s.ilag = s.ilag - 1;
  if (s.ilag == 0) s.ilag = 97;
  s.jlag = s.jlag - 1;
  if (s.jlag == 0) s.jlag = 97;
  const float cseq = s.cseq - s.cdec;
  s.cseq = choose_if_negative(cseq, cseq + s.cmod);
  uni = uni - s.cseq;
  return choose_if_negative(uni, uni + 1.0f);
}

inline float ranmar() { return ranmar_draw(raset1); }
inline float x0ranmar() { return ranmar_draw(x0raset1); }

// exp(x) guarded against overflow (3.69e75 above 174) and underflow (0
// below -180).
double exprep(double x);

// The C library generator (rand): the preparation seeds it, as the program
// always has, and nothing draws from it again. It works on a table of the
// program's own (installed before main, as the library's own start: seed 1
// in a table of 128 bytes), so that its whole state, position included,
// can be saved and given back through the library's initstate and setstate
// without knowing how the library lays the table out.
std::string c_generator_state();
// Gives back a state saved above; a string of another length is ignored.
void set_c_generator_state(std::string_view state);

}  // namespace morlan
