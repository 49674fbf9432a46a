// The bytes of a record under its name, and a digest of bytes: for checks
// that two processes hold the same records. Header only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace morlan {

struct NamedBytes {
  std::string name;
  const void* data;
  std::size_t size;
};

// The bytes of a plain record or array.
template <class T>
NamedBytes named_bytes(std::string name, const T& record) {
  return {std::move(name), &record, sizeof record};
}

// A 64-bit digest of some bytes (FNV-1a over 8-byte words, then the bytes
// left): equal bytes give equal digests; different ones almost never do.
inline std::uint64_t digest_of(const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  std::uint64_t h = 14695981039346656037ull;
  std::size_t at = 0;
  for (; at + 8 <= size; at += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + at, 8);
    h ^= word;
    h *= 1099511628211ull;
    h ^= h >> 29;
  }
  for (; at < size; ++at) {
    h ^= p[at];
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace morlan
