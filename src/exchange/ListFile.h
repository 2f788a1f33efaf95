#pragma once
// The picture-list file (".pvi"): one line per picture, the file name and its
// tile mode in double quotes ("Sunset.bmp","T" and a line end), the pictures
// lying beside the list. Pure text work, so the reader also builds natively
// for the sanitizers and the fuzzer.
#include <string>
#include <string_view>
#include <vector>

namespace pictavo {

// The extension of list files, compared in lower case.
inline constexpr std::string_view kListFileExtension = ".pvi";

// One line of a list: the name, quotes, comma, "T" or "C", CR LF.
std::string ListLine(std::string_view fileName, bool tile);

struct ListEntry {
    std::string fileName;  // as written between the first two double quotes
    bool tile = false;     // the tile text, in lower case, was "t"
};

// Every non-empty line of a list, in file order. A line ends at CR LF, LF or a
// lone CR. The name is the text between the first and second double quote (to
// the line's end when the second is missing), the tile text the text between
// the third and fourth.
std::vector<ListEntry> ReadListText(std::string_view text);

// A name that stays inside the folder it is joined to (IsPlainFileName): a
// list names only pictures beside it, and the list an export writes goes
// into its own new folder.
bool IsPlainListName(std::string_view name);

// Dropped names sorted as they are handled: pictures, then list files (".pvi"
// in any case), each kept in drop order.
struct DroppedFiles {
    std::vector<std::string> pictures;
    std::vector<std::string> lists;
};
bool IsListFileName(std::string_view path);
DroppedFiles SortDroppedFiles(const std::vector<std::string>& paths);

// The export: each enabled picture in table order, at most one per file name
// (compared in lower case), since they all go into one folder. A later
// picture whose name is taken already is left out rather than written over
// the earlier one; so is one whose name a list could not name.
struct ExportSource {
    std::string fileName;
    std::string location;
    bool enabled = false;
    bool tile = true;
};
struct ExportPlan {
    std::vector<ExportSource> pictures;  // to copy, in list order
    int leftOut = 0;                     // enabled pictures that cannot go
};
ExportPlan PlanExport(const std::vector<ExportSource>& records);

// What the export says at its end: "Export Successful" only when every
// enabled picture arrived.
std::string ExportResultText(int leftOut);

}  // namespace pictavo
