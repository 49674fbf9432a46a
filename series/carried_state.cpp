#include "series/carried_state.hpp"

#include <cstring>
#include <type_traits>

#include "anneal/random.hpp"
#include "anneal/trial_point.hpp"
#include "base/named_bytes.hpp"

namespace morlan {

namespace {

struct CarriedItem {
  const char* name;
  std::string (*save)();
  void (*restore)(std::string_view bytes);
};

// The bytes of plain values, one after the other.
template <class... T>
std::string bytes_of(const T&... values) {
  static_assert((std::is_trivially_copyable_v<T> && ...));
  std::string out;
  (out.append(reinterpret_cast<const char*>(&values), sizeof(T)), ...);
  return out;
}

// Reads the values back in the same order; a short string leaves the rest.
template <class... T>
void values_from(std::string_view bytes, T&... values) {
  std::size_t at = 0;
  auto take = [&](auto& v) {
    if (at + sizeof(v) > bytes.size()) return;
    std::memcpy(&v, bytes.data() + at, sizeof(v));
    at += sizeof(v);
  };
  (take(values), ...);
}

const CarriedItem kItems[] = {
    {"gaussset", [] { return bytes_of(gaussset.flag, gaussset.cached); },
     [](std::string_view b) { values_from(b, gaussset.flag, gaussset.cached); }},
    {"C library generator", c_generator_state, set_c_generator_state},
};

constexpr std::size_t kItemCount = sizeof kItems / sizeof kItems[0];

}  // namespace

std::uint64_t digest_of(std::string_view bytes) { return digest_of(bytes.data(), bytes.size()); }

CarriedState save_carried_state() {
  CarriedState s;
  for (const CarriedItem& item : kItems) s.items.push_back(item.save());
  return s;
}

void restore_carried_state(const CarriedState& state) {
  for (std::size_t i = 0; i < kItemCount && i < state.items.size(); ++i) kItems[i].restore(state.items[i]);
}

CarriedDigests digests_of(const CarriedState& state) {
  CarriedDigests d;
  for (const std::string& bytes : state.items) d.push_back(digest_of(bytes));
  return d;
}

std::optional<std::string_view> carried_difference(const CarriedDigests& began,
                                                   const CarriedDigests& previous) {
  if (began.size() != kItemCount || previous.size() != kItemCount) {
    return std::string_view("the list of carried items");
  }
  for (std::size_t i = 0; i < kItemCount; ++i) {
    if (began[i] != previous[i]) return std::string_view(kItems[i].name);
  }
  return std::nullopt;
}

}  // namespace morlan
