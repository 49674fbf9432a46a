#include "driver/records.hpp"

namespace morlan {

MsaRecord msa;

}  // namespace morlan
