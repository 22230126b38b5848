#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

class Dialogs;

// The name of the temporary copy that repairRtfFontTable writes.
inline constexpr std::string_view kRtfRepairTempName = "__TempMainForm.RTF";

// Gives the font table entry of the listing font the symbol character set
// (\fcharset2), so a word processor takes the font's own 8-bit glyphs again after the
// file was written with the default character set. Entries are the "{...}" groups of
// the table (text between them is dropped); the entry that holds a blank, the font
// name and ";" gets its \fcharset number replaced by 2, or "\fcharset2" inserted in
// front of that blank. Everything before and after the table stays as it was.
// nullopt when the text has no "\pard\", no "{\fonttbl{" before it or no end of the
// table.
std::optional<std::string> repairRtfFontTableText(std::string_view rtf, std::string_view fontName);

// Repairs a saved file in place through a copy in tempFolder, which replaces the file
// only when it is complete. On failure the copy is removed, the file is left as it
// was, the error dialog says "Error setting Font...aborted" (when dialogs is given)
// and the result is false.
bool repairRtfFontTable(const std::filesystem::path& file, std::string_view fontName,
                        const std::filesystem::path& tempFolder, Dialogs* dialogs = nullptr);

}  // namespace qv
