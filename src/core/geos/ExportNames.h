#pragma once

#include <optional>
#include <string>

namespace qv {

class Dialogs;

// The base name of an exported document from the catalogue's file name text: a double
// quote at its start and one at its end are dropped, and each of  \ " * / : < > ? |
// becomes "_".
std::string exportBaseName(const std::string& fileNameText);

// File names of exported documents, without folder.
std::string exportGeoWriteName(const std::string& baseName);  // base.rtf
std::string exportPictureName(const std::string& baseName);   // base.bmp (GeoPaint, font)
// base, a blank, the image file's name without folder and extension ("D64Image" when
// the path has no folder part), ".bmp".
std::string exportScrapName(const std::string& baseName, const std::string& imagePath);
// Scrap i (from 1) of an album: "base(title).bmp" for an album of version 2 with titles
// and a title that is not empty, otherwise "base (00i).bmp".
std::string exportAlbumScrapName(const std::string& baseName, int i, bool titled,
                                 const std::string& title);

// Exported files in another format than BMP: the ".bmp" of a name above becomes the
// given extension (".png").
std::string withPictureExtension(const std::string& name, const std::string& extension);

// The name-exists check before a document is saved ("File Name Exists..." with "Auto
// Rename"): a free path is used at once; "Overwrite" keeps it, "Auto Rename" counts
// name_002.ext, name_003.ext, ... up to a free one, "Other Name" asks for one, "Cancel"
// yields none. "Don't ask me again during this session" repeats the last choice.
std::optional<std::string> checkExportName(const std::string& path, Dialogs& dialogs);

}  // namespace qv
