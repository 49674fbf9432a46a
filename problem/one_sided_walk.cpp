#include "problem/one_sided_walk.hpp"

#include "io/console.hpp"

namespace morlan {

bool walk_kinds(int index, int start, CIVec kinds, WalkEnd& end) {
  end = {start, 0};
  while (end.count < index) {
    ++end.at;
    if (end.at > kinds.size() || kinds(end.at) < 0) return false;
    end.count += kinds(end.at);
  }
  return true;
}

bool side_of(const WalkEnd& end, int index, CIVec kinds, CVec lower, bool& lower_side) {
  const int kind = end.at >= 1 ? kinds(end.at) : 0;
  if (kind == 2) {
    lower_side = end.count > index;
  } else if (kind == 1) {
    lower_side = lower(end.at) > -kBigInf;
  } else {
    return false;
  }
  return true;
}

WalkEnd walk_kinds_or_stop(int index, int start, CIVec kinds, const char* wrong_index) {
  WalkEnd end{};
  if (!walk_kinds(index, start, kinds, end)) {
    io::say(wrong_index);
    io::error_stop();
  }
  return end;
}

bool lower_side_or_stop(const WalkEnd& end, int index, CIVec kinds, CVec lower,
                        const char* wrong_kind) {
  bool lower_side = false;
  if (!side_of(end, index, kinds, lower, lower_side)) {
    io::say(wrong_kind);
    io::error_stop();
  }
  return lower_side;
}

}  // namespace morlan
