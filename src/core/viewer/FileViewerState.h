#pragma once

// What the file viewer shows, and which of its command groups that enables.

namespace qv {

enum class ViewerState : int {
    Empty = 0,                  // nothing shown (start, and after every failure)
    SingleBlock = 1,            // one block from the block map
    BamFile = 2,                // a file of the block map as a dump
    BamFileListed = 3,          // that file detokenized
    ImportedProgram = 4,        // an imported program as a dump
    ImportedProgramListed = 5,  // that program detokenized
    ImportedText = 6,           // an imported text or rich-text file
    DetokenizeRequest = 7,      // the block map asked to detokenize its current file
};

// The four command groups: "C64 Screen", "Detokenize", "List" and "WordWrap".
struct ViewerGroups {
    bool c64Screen = false;
    bool detokenize = false;
    bool list = false;
    bool wordWrap = false;
    friend bool operator==(const ViewerGroups&, const ViewerGroups&) = default;
};

// The groups after a successful show of a state's content; state 0 (a failure)
// disables all four.
ViewerGroups viewerGroups(ViewerState state);

// Whether the content came from the block map or from an import.
inline bool fromBlockMap(ViewerState s) {
    return s == ViewerState::BamFile || s == ViewerState::BamFileListed ||
           s == ViewerState::DetokenizeRequest;
}
inline bool fromImportedProgram(ViewerState s) {
    return s == ViewerState::ImportedProgram || s == ViewerState::ImportedProgramListed;
}

// What "List again" does in a state.
enum class ListAgain { Nothing, BlockMapFile, ProgramImport, TextImport };
ListAgain listAgainFor(ViewerState state);

// What runs again when the viewer's C64 screen switches between 40 and 80 columns:
// the last command, or nothing in states 0 and 1.
enum class Rerun { Nothing, ListAgain, Detokenize };
Rerun rerunAfterColumnSwitch(ViewerState state);

// Whether "Program (*.PRG)" can be saved: only a file from the block map or an
// imported program; any other state gives "Cannot save File to C64 Program...".
inline bool canSaveProgram(ViewerState s) {
    return s == ViewerState::BamFile || s == ViewerState::BamFileListed || fromImportedProgram(s);
}

}  // namespace qv
