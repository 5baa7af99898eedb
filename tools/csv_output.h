// Results as comma-separated text: every value of every replication, one row
// each, and beside it a summary of the means and half-widths. UTF-8 with a
// byte order mark (so spreadsheets take it as UTF-8), a header row, "." as
// the decimal separator, fields quoted as RFC 4180 has it, CRLF line ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tools/study_document.h"

namespace marvolt {

// The field as it stands in a row: quoted, with its quotes doubled, when it
// holds a comma, a quote, a line break or spaces at its ends.
std::string CsvField(std::string_view text);
// The shortest text that reads back as the same double; empty for none.
std::string CsvNumber(double v);
// "results.csv" -> "results_summary.csv"; "out" -> "out_summary".
std::string CsvSummaryPath(const std::string& path);

class CsvStudy {
  public:
    CsvStudy() = default;
    CsvStudy(const CsvStudy&) = delete;
    CsvStudy& operator=(const CsvStudy&) = delete;
    ~CsvStudy();

    // The rows go to a file beside `path` until Finish puts both files in
    // place, so a run that fails leaves earlier files as they were.
    bool Open(const std::string& path, const StudyHeader& header, std::string& error);
    // The replication's values; `ordinal` counts from 1 in number order.
    void Row(const ReplicationOutcome& o, uint64_t ordinal);
    bool Finish(const std::vector<Summary>& summaries, std::string& error);

  private:
    std::string path_, partPath_;
    std::FILE* rows_ = nullptr;
    // What names each value: object, type, id, name and, in factor studies, the factor value.
    std::vector<std::string> names_;
    bool factor_ = false;
    bool failed_ = false;

    bool Put(std::FILE* f, const std::string& text);
    void Discard();
};

}  // namespace marvolt
