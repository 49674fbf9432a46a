// The state one run of a series could leave behind for the next.
//
// A run is meant to depend only on its starting point: every annealing loop
// reseeds the main random stream at its entry, the run control sets the
// tolerance and the penalty weight and restores the relaxed radius, and the
// C library's generator is seeded in the preparation and never drawn from
// again. A parallel series relies on this, since its runs start in other
// processes and in another order. The carried state is everything a run
// could still read from an earlier one; each process reports it around
// every run, and the printing process holds the parallel series to the
// serial program's bytes with it:
//
//   - passed-on items (the normal-deviate store, the relaxed radius, the C
//     library generator, the dialogue's and the preparation's records): run
//     k must begin with what run k - 1 left;
//   - items read after a successful run (the cycle-block count, the
//     driver's point): a run that leaves one unchanged may not have written
//     it, and then the value read after it is the one run k - 1 left.
//
// The value caches of the evaluation are not carried: a cached value is the
// same bits as a fresh one. The main random stream, the tolerance and the
// penalty weight are set at every run's entry.
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
// would have seen after run k - 1 in order; nothing when it did.
// `before` and `after` are run k's digests as it began and as it ended
// (no `after` when nothing is read after it: a failed run, or one that
// ended in an error stop), `previous` those of the state that the runs
// before k leave in order.
std::optional<std::string_view> carried_difference(const CarriedDigests& before,
                                                   const std::optional<CarriedDigests>& after,
                                                   const CarriedDigests& previous);

// The state that the runs up to k leave in order, from the state the runs
// before k leave (`previous`) and run k's, which passed the check above:
// what run k wrote, and the rest as it was.
CarriedState state_left_in_order(const CarriedState& previous, const CarriedDigests& began,
                                 const CarriedState& left);

// 64-bit FNV-1a digest of some bytes.
std::uint64_t digest_of(std::string_view bytes);

}  // namespace morlan
