#pragma once

#include <string>

#include "support/RichText.h"

namespace qv {

// The document as RTF that word processors open: the font in the font table, the
// colours of its ranges in the colour table, CR LF as \par, and every character
// outside printable ASCII as a Unicode escape (\uN) followed by its nearest
// Windows-1252 character for readers without Unicode. The body begins with
// "\pard\plain", where later steps insert page setup or repair the font table.
std::string writeRtf(const RichDocument& document);

}  // namespace qv
