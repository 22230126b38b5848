// A token table file (CSV) as "Load" reads it, then the table built from it: its
// index, its file text again, and a short program detokenized with it.
#include "FuzzSupport.h"
#include "host/Dialogs.h"
#include "viewer/Detokenizer.h"
#include "viewer/StartAddresses.h"
#include "viewer/TokenTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    static const StartAddresses addresses;
    fuzz::Input in(data, size);
    test::ScriptedDialogHost host;
    Dialogs dialogs(host);
    TokenTable table(&dialogs);
    if (!table.fromCsv(in.restText()))
        return 0;
    const int mode = table.rebuildTokenIndex(0, true);
    (void)table.toCsv();
    // 10 PRINT "A":GOTO 10, with a few bytes of every token range.
    static const std::vector<std::uint8_t> program = {
        0x01, 0x08, 0x14, 0x08, 0x0A, 0x00, 0x99, 0x22, 0x41, 0x22, 0x3A,
        0x89, 0x31, 0x30, 0xCE, 0x0A, 0xFE, 0x02, 0xFF, 0x00, 0x00, 0x00};
    DetokenizeOptions options;
    options.autodetect = mode < 0;
    options.modeIndex = mode < 0 ? 0 : mode;
    Detokenizer detokenizer(table, addresses, options);
    detokenizer.setDialogs(&dialogs);
    (void)detokenizer.detokenize(program, "PROGRAM");
    return 0;
}
