// What a process prepared for the runs, as named digests: every record the
// evaluation reads (filled from the data file by both sides' set-ups), and
// the values the preparation made of it and of the answers. Two processes
// that hold the same digests run the same runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morlan {

struct DriverOptions;
struct RunPlan;

struct PreparedDigest {
  std::string name;
  std::uint64_t digest = 0;
};
using PreparedDigests = std::vector<PreparedDigest>;

template <class Archive>
void fields(Archive& a, PreparedDigest& d) {
  a(d.name, d.digest);
}

// The digests of this process, prepared for `plan` under its own command
// line's `options`.
PreparedDigests prepared_digests(const RunPlan& plan, const DriverOptions& options);

// The name of the first entry of `theirs` that differs from `mine` ("the
// list of prepared records" when the lists do not match); nothing when they
// agree.
std::optional<std::string> first_difference(const PreparedDigests& mine,
                                            const PreparedDigests& theirs);

}  // namespace morlan
