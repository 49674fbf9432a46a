// The relaxed-equality loop: the core loop with a radius on the equality
// constraints that shrinks as the search reaches points feasible for it.
#pragma once

#include "anneal/loop_call.hpp"
#include "base/one_based.hpp"

namespace morlan {

// One run from x with the arguments of `call` (loop_call.hpp), xrelax
// keeping the vector at the last radius reduction. The radius starts at the
// measure's; the measure has it back when the loop returns. Returns the
// radius the loop reached.
double relaxed_loop(const LoopCall& call, Vec xrelax, Vec x, Vec xtrial);

}  // namespace morlan
