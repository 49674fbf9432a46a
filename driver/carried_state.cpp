#include "driver/carried_state.hpp"

#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "anneal/trial_point.hpp"

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

// The C library generator (rand, which is random in the GNU C library)
// keeps its table and position out of reach; setstate hands out the live
// table when another one is switched in, and switching back restores the
// position it stored in the table's first word. Its length follows from
// that word's type: 1 + (0, 7, 15, 31 or 63) words.
alignas(std::int32_t) char g_scratch_table[128];

char* switch_out_c_generator() {
  static const bool ready = [] {
    char* live = ::initstate(1, g_scratch_table, sizeof g_scratch_table);
    ::setstate(live);
    return true;
  }();
  (void)ready;
  return ::setstate(g_scratch_table);
}

std::size_t c_generator_table_bytes(const char* table) {
  static constexpr int kDegree[5] = {0, 7, 15, 31, 63};
  std::int32_t head = 0;
  std::memcpy(&head, table, sizeof head);
  return sizeof(std::int32_t) * static_cast<std::size_t>(1 + kDegree[head % 5]);
}

std::string save_c_generator() {
  char* live = switch_out_c_generator();
  std::string table(live, c_generator_table_bytes(live));
  ::setstate(live);
  return table;
}

void restore_c_generator(std::string_view table) {
  char* live = switch_out_c_generator();
  if (table.size() == c_generator_table_bytes(live)) std::memcpy(live, table.data(), table.size());
  ::setstate(live);
}

const CarriedItem kItems[] = {
    {"gaussset", [] { return bytes_of(gaussset.flag, gaussset.cached); },
     [](std::string_view b) { values_from(b, gaussset.flag, gaussset.cached); }},
    {"C library generator", save_c_generator, restore_c_generator},
};

constexpr std::size_t kItemCount = sizeof kItems / sizeof kItems[0];

}  // namespace

std::uint64_t digest_of(std::string_view bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

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
