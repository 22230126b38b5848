#include "viewer/FileViewerState.h"

namespace qv {

ViewerGroups viewerGroups(ViewerState state) {
    switch (state) {
        case ViewerState::SingleBlock:
            return {true, false, false, true};
        case ViewerState::BamFile:
        case ViewerState::BamFileListed:
        case ViewerState::DetokenizeRequest:
        case ViewerState::ImportedProgram:
        case ViewerState::ImportedProgramListed:
            return {true, true, true, true};
        case ViewerState::ImportedText:
            return {false, false, true, true};
        case ViewerState::Empty:
            break;
    }
    return {};
}

ListAgain listAgainFor(ViewerState state) {
    switch (state) {
        case ViewerState::BamFile:
        case ViewerState::BamFileListed:
            return ListAgain::BlockMapFile;
        case ViewerState::ImportedProgram:
        case ViewerState::ImportedProgramListed:
            return ListAgain::ProgramImport;
        case ViewerState::ImportedText:
            return ListAgain::TextImport;
        default:
            return ListAgain::Nothing;
    }
}

Rerun rerunAfterColumnSwitch(ViewerState state) {
    switch (state) {
        case ViewerState::BamFile:
        case ViewerState::ImportedProgram:
        case ViewerState::ImportedText:
            return Rerun::ListAgain;
        case ViewerState::BamFileListed:
        case ViewerState::ImportedProgramListed:
            return Rerun::Detokenize;
        default:
            return Rerun::Nothing;
    }
}

}  // namespace qv
