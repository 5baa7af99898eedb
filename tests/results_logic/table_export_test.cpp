// A table on the clipboard as word processors take it: HTML, RTF and plain text.
#include "results/logic/table_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace marvolt {
namespace {

namespace fs = std::filesystem;

const TextTable kTable{
    {"Середина интервала", "0,5", "1,5", "2,5"},
    {"Абсолютная частота", "10", "<7>", "3"},
    {"Относительная частота", "0,5", "0,35", "0,15"},
};

size_t Count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size()))
        ++n;
    return n;
}

TEST(TableExportTest, HtmlHasTheRowsCellsAndAlignment) {
    const std::string html = TableHtml(kTable);
    EXPECT_EQ(Count(html, "<table"), 1u);
    EXPECT_EQ(Count(html, "<tr>"), 3u);
    EXPECT_EQ(Count(html, "<td "), 12u);
    EXPECT_EQ(Count(html, "<td align=\"left\""), 3u) << "the first column of each row";
    EXPECT_EQ(Count(html, "<td align=\"right\""), 9u);
    EXPECT_EQ(Count(html, "font-size: 12pt"), 13u);
    EXPECT_NE(html.find(">Середина интервала</td><td align=\"right\""), std::string::npos);
    EXPECT_NE(html.find(">&lt;7&gt;</td>"), std::string::npos) << "texts are escaped";
    EXPECT_NE(html.find("charset=\"utf-8\""), std::string::npos);
}

TEST(TableExportTest, TsvHasOneLinePerRowAndOneFieldPerCell) {
    EXPECT_EQ(TableTsv(kTable),
              "Середина интервала\t0,5\t1,5\t2,5\n"
              "Абсолютная частота\t10\t<7>\t3\n"
              "Относительная частота\t0,5\t0,35\t0,15\n");
    // Ragged rows are padded, and tabs or line breaks in a cell cannot split it.
    EXPECT_EQ(TableTsv({{"a\tb", "c\nd"}, {"e"}}), "a b\tc d\ne\t\n");
}

TEST(TableExportTest, RtfIsSevenBitWithOneCellPerText) {
    const std::string rtf = TableRtf(kTable);
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(Count(rtf, "\\row"), 3u);
    EXPECT_EQ(Count(rtf, "\\cell\n"), 12u);
    EXPECT_EQ(Count(rtf, "\\ql "), 3u);
    EXPECT_EQ(Count(rtf, "\\qr "), 9u);
    EXPECT_NE(rtf.find("\\fs24"), std::string::npos) << "12 pt";
    for (unsigned char c : rtf)
        ASSERT_LT(c, 0x80);
    // "С" is U+0421.
    EXPECT_NE(rtf.find("\\u1057?"), std::string::npos);
    EXPECT_NE(TableRtf({{"{\\}"}}).find("\\{\\\\\\}"), std::string::npos);
}

std::string Contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Installed(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A word processor opens the HTML put on the clipboard as a table of the same shape.
TEST(TableExportTest, LibreOfficeReadsTheHtmlAsATable) {
    const char* office = Installed("soffice")       ? "soffice"
                         : Installed("libreoffice") ? "libreoffice"
                                                    : nullptr;
    if (!office)
        GTEST_SKIP() << "LibreOffice is not installed";
    const fs::path dir =
        fs::temp_directory_path() / ("marvolt_table_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "table.html") << TableHtml(kTable);
    // A profile of its own, so that a running office or another test is not disturbed.
    const std::string command =
        std::string(office) + " -env:UserInstallation=file://" + (dir / "profile").string() +
        " --headless --convert-to fodt:OpenDocument\\ Text\\ Flat\\ XML --outdir " + dir.string() +
        " " + (dir / "table.html").string() + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string xml = Contents(dir / "table.fodt");
    fs::remove_all(dir);
    ASSERT_FALSE(xml.empty());
    EXPECT_EQ(Count(xml, "<table:table "), 1u);
    EXPECT_EQ(Count(xml, "<table:table-row"), 3u);
    EXPECT_EQ(Count(xml, "<table:table-cell "), 12u);
    EXPECT_NE(xml.find("Относительная частота"), std::string::npos);
    EXPECT_NE(xml.find("0,35"), std::string::npos);
    // The numbers sit in right-aligned paragraphs.
    EXPECT_TRUE(std::regex_search(xml, std::regex("fo:text-align=\"(end|right)\"")));
}

}  // namespace
}  // namespace marvolt
