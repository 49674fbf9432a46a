// One-based array views and fixed arrays.
//
// The numerical routines are written with the indices of the algorithms they
// implement: variables 1..n, constraints 1..m, positions 1..ntot of the
// extended point. These small types keep that indexing without off-by-one
// shifts at every use. Indexing is checked in checked builds
// (MORLAN_CHECKED, which the tests use); the program runs without the checks.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <type_traits>

namespace morlan {

// A non-owning view of `size` elements addressed as v(1) .. v(size).
template <class T>
class OneBased {
 public:
  constexpr OneBased() = default;
  constexpr OneBased(T* data, int size) : data_(data), size_(size) {}
  // A view of non-const elements converts to a view of const ones.
  template <class U, class = std::enable_if_t<std::is_same_v<const U, T> && !std::is_same_v<U, T>>>
  constexpr OneBased(OneBased<U> other) : data_(other.data()), size_(other.size()) {}

  constexpr T& operator()(int i) const {
    assert(i >= 1 && i <= size_);
    return data_[i - 1];
  }
  constexpr T* data() const { return data_; }
  constexpr int size() const { return size_; }
  constexpr T* begin() const { return data_; }
  constexpr T* end() const { return data_ + size_; }

  // The view of positions first .. first + count - 1 (one-based), as a new
  // one-based view: tail(145, 144)(1) is this(145).
  constexpr OneBased slice(int first, int count) const {
    assert(first >= 1 && count >= 0 && first - 1 + count <= size_);
    return OneBased(data_ + (first - 1), count);
  }

 private:
  T* data_ = nullptr;
  int size_ = 0;
};

// A fixed array of N elements addressed as a(1) .. a(N). Zero-initialised in
// static storage, like every record of the program.
template <class T, int N>
struct Array1 {
  std::array<T, static_cast<std::size_t>(N)> v{};

  constexpr T& operator()(int i) {
    assert(i >= 1 && i <= N);
    return v[static_cast<std::size_t>(i - 1)];
  }
  constexpr const T& operator()(int i) const {
    assert(i >= 1 && i <= N);
    return v[static_cast<std::size_t>(i - 1)];
  }
  constexpr T* data() { return v.data(); }
  constexpr const T* data() const { return v.data(); }
  static constexpr int size() { return N; }

  constexpr operator OneBased<T>() { return OneBased<T>(v.data(), N); }
  constexpr operator OneBased<const T>() const { return OneBased<const T>(v.data(), N); }
  constexpr OneBased<T> view() { return OneBased<T>(v.data(), N); }
  constexpr OneBased<const T> view() const { return OneBased<const T>(v.data(), N); }
  constexpr OneBased<T> slice(int first, int count) { return view().slice(first, count); }
  constexpr OneBased<const T> slice(int first, int count) const { return view().slice(first, count); }
};

using Vec = OneBased<double>;
using CVec = OneBased<const double>;
using IVec = OneBased<int>;
using CIVec = OneBased<const int>;

}  // namespace morlan
