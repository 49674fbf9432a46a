#include "problem/raw_values.hpp"

namespace morlan {

RawValueSourceRecord raw_value_source;

}  // namespace morlan
