#pragma once

namespace qv {

// How the images of a run were chosen; it decides the name of the generated listing
// file: the images' folder (picked in the file dialog), the folder the extended open
// searched, or the save folder (dropped files and folders, the command line).
enum class RunKind { Load = 1, Extended = 2, Drop = 3 };

}  // namespace qv
