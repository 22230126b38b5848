#pragma once

#include <cstdint>
#include <string>

namespace qv {

// The three-letter name of a GEOS file type byte; "non" for 0 and for 15-255.
const char* geosTypeName(std::uint8_t geosType);

}  // namespace qv
