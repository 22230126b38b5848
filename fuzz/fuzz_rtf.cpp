// A listing file read back by "Import...": rich text or plain text, whole or cut to
// the window's limit, and the RTF reader and font-table repair on their own.
#include "FuzzSupport.h"
#include "listing/ListingFile.h"
#include "support/RtfFontTable.h"
#include "support/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    fuzz::Input in(data, size);
    const std::size_t cut = in.take() * 16u;
    const std::string bytes = in.restText();
    (void)readListingFile(bytes);
    (void)readListingFile(truncatedListingFile(bytes, cut));
    (void)readRtf(bytes, CodePage::Windows1252);
    (void)repairRtfFontTableText(bytes, "Terminal");
    return 0;
}
