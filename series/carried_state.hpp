// The state one run of a series could leave behind for the next.
//
// A run is meant to depend only on its starting point and on the values the
// program prepared: every annealing loop reseeds the main random stream at
// its entry, each run measures with a measure of its own, and the C
// library's generator is seeded in the preparation and never drawn from
// again. A parallel series relies on this, since its runs start in other
// processes and in another order. The carried state is what a run could
// still read from an earlier one: the normal-deviate store of the trial
// points and the C library generator. Each process reports it around every
// run, and the printing process holds the parallel series to the serial
// program's bytes with it: run k must begin with what run k - 1 left. The
// C library generator's state is saved and given back whole through the
// library's own interface (anneal/random.hpp).
//
// The value caches of the evaluation are not carried: a cached value is the
// same bits as a fresh one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morlan {

// The bytes of every carried item, in a fixed order.
struct CarriedState {
  std::vector<std::string> items;
};

// One digest per carried item.
using CarriedDigests = std::vector<std::uint64_t>;

CarriedState save_carried_state();
void restore_carried_state(const CarriedState& state);
CarriedDigests digests_of(const CarriedState& state);

// The name of the first item that shows that run k did not see what it
// would have seen after run k - 1 in order; nothing when it did. `began`
// are run k's digests as it began, `previous` those of the state that the
// runs before k leave in order.
std::optional<std::string_view> carried_difference(const CarriedDigests& began,
                                                   const CarriedDigests& previous);

// A 64-bit digest of some bytes (base/named_bytes.hpp).
std::uint64_t digest_of(std::string_view bytes);

}  // namespace morlan
