#include "geos/GeosFile.h"

namespace qv {

const char* geosTypeName(std::uint8_t geosType) {
    static const char* const names[15] = {"non", "BAS", "ASS", "DAT", "SYS", "DAC", "APP", "DOC",
                                          "FON", "PRN", "INP", "DRV", "BOO", "TMP", "AUT"};
    return geosType < 15 ? names[geosType] : "non";
}

}  // namespace qv
