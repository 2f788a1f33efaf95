#include "exchange/ListFile.h"

#include <unordered_set>

#include "platform/FileNames.h"
#include "platform/Paths.h"

namespace pictavo {

std::string ListLine(std::string_view fileName, bool tile) {
    std::string line;
    line.reserve(fileName.size() + 9);
    line += '"';
    line += fileName;
    line += "\",\"";
    line += tile ? 'T' : 'C';
    line += "\"\r\n";
    return line;
}

namespace {

// The text after the n-th double quote (0-based) up to the next one or the end.
std::string_view QuotedField(std::string_view line, int opening) {
    size_t at = 0;
    for (int i = 0; i <= opening; ++i) {
        at = line.find('"', at);
        if (at == std::string_view::npos) return {};
        ++at;
    }
    const size_t end = line.find('"', at);
    return line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
}

}  // namespace

std::vector<ListEntry> ReadListText(std::string_view text) {
    std::vector<ListEntry> entries;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end;
        if (start < text.size()) {
            const bool crlf = text[start] == '\r' && start + 1 < text.size() && text[start + 1] == '\n';
            start += crlf ? 2 : 1;
        }
        if (line.empty()) continue;
        ListEntry entry;
        entry.fileName = std::string(QuotedField(line, 0));
        entry.tile = LowerCase(QuotedField(line, 2)) == "t";
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool IsPlainListName(std::string_view name) { return IsPlainFileName(name); }

bool IsListFileName(std::string_view path) {
    return LowerCase(ExtractFileExt(path)) == kListFileExtension;
}

DroppedFiles SortDroppedFiles(const std::vector<std::string>& paths) {
    DroppedFiles sorted;
    for (const std::string& path : paths) {
        (IsListFileName(path) ? sorted.lists : sorted.pictures).push_back(path);
    }
    return sorted;
}

ExportPlan PlanExport(const std::vector<ExportSource>& records) {
    ExportPlan plan;
    std::unordered_set<std::string> taken;
    for (const ExportSource& record : records) {
        if (!record.enabled) continue;
        if (record.fileName.empty() || !IsPlainListName(record.fileName) ||
            !taken.insert(LowerCase(record.fileName)).second) {
            ++plan.leftOut;
            continue;
        }
        plan.pictures.push_back(record);
    }
    return plan;
}

std::string ExportResultText(int leftOut) {
    if (leftOut <= 0) return "Export Successful";
    if (leftOut == 1) return "Export finished, but 1 picture could not be copied; its line was left out of the list.";
    return "Export finished, but " + std::to_string(leftOut) +
           " pictures could not be copied; their lines were left out of the list.";
}

}  // namespace pictavo
