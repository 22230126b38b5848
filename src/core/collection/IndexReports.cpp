#include "collection/IndexReports.h"

#include "support/JsonWriter.h"

namespace qv {
namespace {

std::string csvField(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string csvRow(std::initializer_list<std::string> fields) {
    std::string row;
    for (const std::string& f : fields) {
        if (!row.empty())
            row += ',';
        row += csvField(f);
    }
    row += '\n';
    return row;
}

}  // namespace

std::optional<ReportFormat> reportFormat(const std::string& word) {
    if (word == "text")
        return ReportFormat::Text;
    if (word == "json")
        return ReportFormat::Json;
    if (word == "csv")
        return ReportFormat::Csv;
    return std::nullopt;
}

std::string searchReport(const std::vector<SearchHit>& hits, ReportFormat format) {
    std::string out;
    if (format == ReportFormat::Json) {
        JsonWriter j;
        j.beginObject().key("hits").beginArray();
        for (const SearchHit& h : hits) {
            j.beginObject();
            j.key("path").value(h.path);
            j.key("field").value(h.field);
            j.key("entry").value(h.entry);
            j.key("line").value(h.line);
            j.key("name").value(h.name);
            j.key("type").value(h.type);
            j.key("blocks").value(h.blocks);
            j.key("geosClass").value(h.geosClass);
            j.endObject();
        }
        j.endArray().endObject();
        return j.str() + "\n";
    }
    if (format == ReportFormat::Csv)
        out = csvRow({"path", "field", "entry", "line", "name", "type", "blocks", "geos class"});
    for (const SearchHit& h : hits) {
        if (format == ReportFormat::Csv) {
            out += csvRow({h.path, h.field, std::to_string(h.entry), h.line, h.name, h.type,
                           std::to_string(h.blocks), h.geosClass});
        } else {
            out += h.path + ": " + h.line + "\n";
        }
    }
    return out;
}

std::string dupesReport(const DupeReport& report, ReportFormat format) {
    if (format == ReportFormat::Json) {
        JsonWriter j;
        j.beginObject().key("images").beginArray();
        for (const ImageGroup& g : report.images) {
            j.beginObject().key("hash").value(g.hash).key("files").value(g.entries);
            j.key("paths").beginArray();
            for (const std::string& p : g.paths)
                j.value(p);
            j.endArray().endObject();
        }
        j.endArray().key("files").beginArray();
        for (const FileGroup& g : report.files) {
            j.beginObject().key("hash").value(g.hash).key("bytes").value(
                static_cast<long long>(g.length));
            j.key("blocks").value(g.blocks).key("images").value(g.images);
            j.key("copies").beginArray();
            for (const FileCopy& c : g.copies) {
                j.beginObject().key("path").value(c.path).key("entry").value(c.entry);
                j.key("line").value(c.line).endObject();
            }
            j.endArray().endObject();
        }
        j.endArray().endObject();
        return j.str() + "\n";
    }
    std::string out;
    if (format == ReportFormat::Csv) {
        out = csvRow({"group", "kind", "hash", "bytes", "blocks", "path", "entry", "line"});
        int n = 0;
        for (const ImageGroup& g : report.images) {
            ++n;
            for (const std::string& p : g.paths)
                out += csvRow({std::to_string(n), "image", g.hash, "", "", p, "", ""});
        }
        for (const FileGroup& g : report.files) {
            ++n;
            for (const FileCopy& c : g.copies) {
                out += csvRow({std::to_string(n), "file", g.hash, std::to_string(g.length),
                               std::to_string(g.blocks), c.path, std::to_string(c.entry), c.line});
            }
        }
        return out;
    }
    out = "identical images: " + std::to_string(report.images.size()) + " group" +
          (report.images.size() == 1 ? "" : "s") + "\n";
    for (const ImageGroup& g : report.images) {
        out += '\n';
        out += std::to_string(g.paths.size());
        out += " images, " + std::to_string(g.entries) + " files, hash " + g.hash + "\n";
        for (const std::string& p : g.paths)
            out += "  " + p + "\n";
    }
    out += "\nfiles on several images: " + std::to_string(report.files.size()) + "\n";
    for (const FileGroup& g : report.files) {
        out += '\n';
        out += std::to_string(g.length);
        out += " bytes, " + std::to_string(g.blocks) + " blocks, on " +
               std::to_string(g.images) + " images, hash " + g.hash + "\n";
        for (const FileCopy& c : g.copies)
            out += "  " + c.path + ": " + c.line + "\n";
    }
    return out;
}

}  // namespace qv
