// The population loop: a small population with Boltzmann selection of the
// member to anneal and multipliers shared by all members.
#pragma once

#include "anneal/loop_call.hpp"
#include "base/one_based.hpp"

namespace morlan {

// One run from the population xpop, with the arguments of `call`
// (loop_call.hpp; ntot and ncon are the configuration's). xpop holds
// cfg::kNpop members of cfg::kNtot entries, member index fastest: entry
// (k, i) at position (i - 1) * kNpop + k.
void population_loop(const LoopCall& call, Vec xpop);

// Chooses a member by Boltzmann weights of its value fpop(k) at temperature
// t, and copies it to xcur; mpick is its index. Stops the program when no
// member can be chosen (weights that are not numbers).
void pick_member(int& mpick, CVec fpop, CVec xpop, Vec xcur, double t);

}  // namespace morlan
