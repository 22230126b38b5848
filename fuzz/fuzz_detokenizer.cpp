// A BASIC program through the detokenizer, in every dialect of the built-in table:
// autodetected by its load address or chosen by the option byte.
#include "FuzzSupport.h"
#include "host/Dialogs.h"
#include "viewer/Detokenizer.h"
#include "viewer/StartAddresses.h"
#include "viewer/TokenTable.h"

namespace {

struct Table {
    qv::test::ScriptedDialogHost host;
    qv::Dialogs dialogs{host};
    qv::TokenTable table{&dialogs};
    Table() {
        table.fillDefaultTable(true);
        table.rebuildTokenIndex(0, true);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    static Table table;  // built once: the fuzzer feeds it programs only
    static const StartAddresses addresses;
    fuzz::Input in(data, size);
    const std::uint8_t choice = in.take();
    const std::uint8_t mode = in.take();
    DetokenizeOptions options;
    options.autodetect = choice & 1;
    options.ignoreStartaddress = (choice >> 1) & 1;
    options.syntaxHighlighting = (choice >> 2) & 1;
    options.translateSpecialchars = (choice >> 3) & 1;
    options.convertCharsToAscii = (choice >> 4) & 1;
    options.upperLower = (choice >> 5) & 1;
    const int modes = static_cast<int>(table.table.modeList().size());
    options.modeIndex = modes > 0 ? mode % modes : 0;
    test::ScriptedDialogHost host;
    fuzz::scriptAnswers(host, choice >> 6);
    Dialogs dialogs(host);
    Detokenizer detokenizer(table.table, addresses, options);
    detokenizer.setDialogs(&dialogs);
    (void)detokenizer.detokenize(in.rest(), "PROGRAM");
    return 0;
}
