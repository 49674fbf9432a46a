#include "driver/driver.hpp"

#include "io/console.hpp"

namespace morlan {

// Placeholder until the dialogue and the series are built.
void run_driver(const DriverOptions& /*options*/) { io::stop(); }

}  // namespace morlan
