#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "listing/RunKind.h"
#include "support/Files.h"
#include "support/RichText.h"

namespace qv {

class Dialogs;
class Listing;
struct ListerOptions;

// The base name of an image for its listing file: the text in front of the first
// place where the image's extension occurs in its path, back to the separator
// before it; "D64Image" when there is no separator.
std::string imageBaseName(const std::string& path);

// Removes a leading and a trailing quote and every separator, and turns the other
// characters a file name cannot hold into "_".
std::string cleanFileName(const std::string& name);

// The name of the generated listing file after a run (run kind 1 "Load...",
// 2 "Load Extended...", 3 drop). chosenFolderName is the display name of the folder
// of an extended open.
std::string generatedFileName(RunKind runKind, std::size_t fileCount,
                              const std::string& currentImage, const std::string& saveDir,
                              const std::string& chosenFolderName, const ListerOptions& options);

enum class SaveResult { Saved, Appended, NotSaved, Failed };

// Writes the listing text to folder + name, asking the name-exists question when the
// file is there already (Overwrite, Append, Other Name, Cancel) and confirming with
// "Saved to ..." / "Appended to ..." when showSavedTo is on. A failure shows the error
// dialog and leaves any existing file as it was.
SaveResult saveTextBuffer(const std::string& folder, const std::string& name, std::string_view text,
                          Dialogs& dialogs, bool showSavedTo);

// "Generate ASCII File" after a run: when generate is on and the run listed at least
// one image, writes the listing's text as the generated listing file (generatedFileName)
// into its save folder with saveTextBuffer. None when no file was due.
std::optional<SaveResult> saveGeneratedListing(const Listing& listing, RunKind runKind, int listed,
                                               bool generate, const ListerOptions& options,
                                               Dialogs& dialogs);

// "Other Name": asks for a new name, preset with the current path, until it names no
// existing file. A name without "." gets the current path's extension; one without a
// separator goes into the current path's folder. Empty when cancelled.
std::string askOtherName(const std::string& currentPath, Dialogs& dialogs);

}  // namespace qv
