#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "host/Dialogs.h"
#include "settings/Fonts.h"
#include "settings/WindowSettings.h"
#include "support/RichText.h"

namespace qv {

class Dialogs;
class DialogHost;

// The file dialogs of the main window, as filter lists "Description|pattern|...".
inline constexpr const char* kLoadFilter =
    "D64 Images (*.D64)|*.D64|D64 File (*.*D64)|*.*D64|D64 File (*.D64*)|*.D64*|"
    "D64 File (*.*D64*)|*.*D64*|All FIles (*.*)|*.*";
inline constexpr const char* kSaveAsFilter =
    "ASCII (DOS) Textfile (*.TXT)|*.TXT|ANSI (Windows) Textfile (*.TXT)|*.TXT|"
    "Richtext (*.RTF)|*.RTF";
inline constexpr const char* kImportFilter =
    "Quorvane ASCII Files (*.TXT)|*.TXT|Quorvane RTF Files (*.RTF)|*.RTF|"
    "All Text Files (*.*)|*.*";

// The three formats of "Save as...", in the order of kSaveAsFilter.
enum class SaveAsFormat { DosText = 0, WindowsText = 1, RichText = 2 };

// The format of the filter the user chose (0-based); an unknown index is DOS text.
SaveAsFormat saveAsFormat(int filterIndex);

// What the listing window holds when "Save as..." runs.
struct SaveAsSource {
    bool bufferValid = true;      // the text buffer exists
    std::string_view buffer;      // the listing text since "Clear" (code page 437)
    bool imported = false;        // the window shows an imported file
    std::string windowPlainText;  // the window's text (code page 437, CR LF); used when imported
    RichDocument windowDocument;  // the window's content with its colours; used for rich text
};

// The bytes "Save as..." writes: DOS text is the buffer unchanged (the window's text
// when a file was imported), Windows text the same converted to Windows-1252, rich
// text the window's content. nullopt when there is nothing to save (no buffer and
// nothing imported).
[[nodiscard]] std::optional<std::string> saveAsBytes(SaveAsFormat format,
                                                     const SaveAsSource& source);

// Whether "Save as..." has anything to write: listed text since "Clear", or an
// imported window with text. An empty listing is refused with kNothingToSave rather
// than written as an empty file.
[[nodiscard]] bool hasSomethingToSave(const SaveAsSource& source);
inline constexpr const char* kNothingToSave = "The listing is empty: there is nothing to save.";

// The font repair that follows a rich-text save: with a symbol-charset listing font
// and the platform code at least FixCharsetVer, the font table entry gets the
// symbol charset back.
struct RtfRepair {
    bool needed = false;
    std::string fontName;
    std::string tempFolder;
};

// The repair a rich-text save of a document shown in FONT needs (its name as the
// written document names it), in the system's temporary folder.
[[nodiscard]] RtfRepair rtfRepairFor(const FontSetting& font, const WorkAroundSettings& workArounds,
                                     std::string documentFontName);

// "Save as...": writes the file (through a temporary file, so an old file is never
// left half-written) and repairs a rich-text font table when asked. A failure shows
// the error dialog "Error while creating Save File..." (MODULE, ERRORFLAGS). Returns false when
// nothing was written.
bool saveListingAs(const std::string& path, SaveAsFormat format, const SaveAsSource& source,
                   const RtfRepair& repair, Dialogs& dialogs, const char* module = "MainForm",
                   int errorFlags = errorflag::ReportPath);

// The system's temporary folder, ending with a separator; the root folder when the
// system names none.
std::string temporaryFolder();

enum class ImportOutcome { Loaded, Cancelled, Failed };

struct ImportResult {
    ImportOutcome outcome = ImportOutcome::Failed;
    RichDocument document;
};

// The text of the question asked when a file to import is larger than maxText.
std::string importSizeQuestion(std::size_t maxText);

// "Import...": reads a listing file back. A file larger than maxText asks first
// (caption "Warning", Yes/No/Cancel): Yes loads only its first maxText bytes, through
// the temporary file "__TempRTF.RTF" or "__TempTXT.TXT" in tempFolder (a rich-text
// cut is closed with "\par }" and CR LF), which is deleted afterwards; No loads it
// whole; Cancel gives Cancelled. Failed when the file (or the temporary file) cannot
// be read or written.
[[nodiscard]] ImportResult importListing(const std::string& path, std::size_t maxText,
                                         DialogHost& host, const std::string& tempFolder);

}  // namespace qv
