// A table of texts as word processors and spreadsheets take it from the
// clipboard: HTML, RTF and tab-separated plain text. The first column is
// left-aligned, the others right-aligned, in 12 pt.
#pragma once

#include <string>
#include <vector>

namespace marvolt {

// Rows of cell texts (UTF-8); row 0 and column 0 are headings by convention.
using TextTable = std::vector<std::vector<std::string>>;

std::string TableHtml(const TextTable& table);
std::string TableRtf(const TextTable& table);
// One line per row, cells separated by tabs; a tab or line break inside a
// cell becomes a blank, so the shape survives.
std::string TableTsv(const TextTable& table);

}  // namespace marvolt
