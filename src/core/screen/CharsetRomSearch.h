#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qv {

// Finding a C64 character ROM that an emulator has installed on this computer, so that
// the options can offer it. Found files are read where they lie; nothing is copied.

// What a search found.
struct CharsetRomSearch {
    std::vector<std::string> found;    // usable files (4096 bytes), in search order
    std::vector<std::string> refused;  // why a file with a ROM's name was not offered
};

// The file names the VICE emulator gives the C64 character ROM in its C64 data folder:
// "chargen-901225-01.bin" from VICE 3.5 on, "chargen" before.
inline constexpr const char* kCharsetRomNames[] = {"chargen-901225-01.bin", "chargen"};

// The folders searched, the user's own first: $XDG_DATA_HOME/vice/C64 (when set to an
// absolute path, else $HOME/.local/share/vice/C64), $HOME/.vice/C64, then the system's
// usr/local/share, usr/share, usr/local/lib and usr/lib below systemRoot, each with
// vice/C64. The variables are passed in (null when unset) and the system's folders hang
// below systemRoot ("/" for the real ones), so that a test can lay out a folder tree.
std::vector<std::filesystem::path> charsetRomFolders(const char* xdgDataHome, const char* home,
                                                     const std::filesystem::path& systemRoot);
// The same, read from this process's environment.
std::vector<std::filesystem::path> charsetRomFolders();

// Looks in each folder for the names above. A file of any size other than 4096 bytes is
// not offered; the refusal says why. A path found twice (a folder listed twice, or one
// reached through a link) is offered once.
CharsetRomSearch findCharsetRoms(const std::vector<std::filesystem::path>& folders);

}  // namespace qv
