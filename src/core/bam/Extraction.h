#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/SafeFile.h"

namespace qv {

class BlockMap;
class Dialogs;

// How a file is taken out of the image: for viewing, for detokenizing, as a program
// file with its start address, or without the start address.
enum class ExtractMode : int {
    View = 0,
    Detokenize = 1,
    Program = 4,
    ProgramWithoutStart = 5,
};

enum class ExtractStatus {
    Done,     // the whole chain was read
    Cut,      // an illegal link or the block limit cut it short; data holds what came before
    Refused,  // nothing was read (the reason was reported)
};

struct Extraction {
    ExtractStatus status = ExtractStatus::Refused;
    std::vector<std::uint8_t> data;  // the file's data bytes
    int firstBlockOffset = -1;       // file offset of the first block
    int startAddress = -1;           // the two bytes in front of the data, low byte first
    std::string report;              // the message shown when status is not Done
};

// Follows the chain of a file row of the block map from the block its grid marks as
// the first one. Every problem is reported through the dialogs with the module
// "ViewFile"; a file cut short still yields what was gathered before.
Extraction extractFile(const BlockMap& map, int row, ExtractMode mode, Dialogs& dialogs);

struct ExtractToFileResult {
    Extraction extraction;
    bool written = false;
    ReplaceResult write;
};

// Extracts a file and writes it completely to a new file beside target, which is then
// renamed to target. A write failure shows "ViewFile: Failed to create Tempfile...aborted".
[[nodiscard]] ExtractToFileResult extractToFile(const BlockMap& map, int row, ExtractMode mode,
                                                const std::string& target, Dialogs& dialogs,
                                                const WriteHook& hook = {});

// The name an exported row gets: the chosen file name without its last four
// characters, then "_%03i.PRG" with the row counted from 1.
std::string exportFileName(const std::string& chosenFile, int row);

struct ExportResult {
    int exported = 0;
    bool stopped = false;  // an extraction failed and ended the export
    std::string message;   // "<n> File(s) Exported to Folder <folder>"
};

// Exports the rows, in list order, as program files (mode Program or
// ProgramWithoutStart) named by exportFileName; an existing file of that name is
// replaced. Shows the closing message.
[[nodiscard]] ExportResult exportFiles(const BlockMap& map, const std::vector<int>& rows,
                                       ExtractMode mode, const std::string& chosenFile,
                                       Dialogs& dialogs);

}  // namespace qv
