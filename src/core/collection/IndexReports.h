#pragma once

#include <optional>
#include <string>
#include <vector>

#include "collection/CollectionIndex.h"

namespace qv {

enum class ReportFormat { Text, Json, Csv };

// "text", "json" or "csv"; nullopt for any other word.
std::optional<ReportFormat> reportFormat(const std::string& word);

// Search hits: text is one line per hit, the image path, a colon and the entry line
// as the listing shows it (for a disk name or id: the header line). CSV starts with a
// header row; fields are quoted with quotes doubled.
std::string searchReport(const std::vector<SearchHit>& hits, ReportFormat format);

// Identical images, then files on several images, each largest first.
std::string dupesReport(const DupeReport& report, ReportFormat format);

}  // namespace qv
