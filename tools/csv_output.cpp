#include "tools/csv_output.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "tools/run_results.h"

namespace marvolt {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

std::string JoinedNames(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += CsvField(fields[i]);
    }
    return line;
}

std::string JsonText(const nlohmann::ordered_json& v) {
    if (v.is_string())
        return v.get<std::string>();
    if (v.is_number())
        return CsvNumber(v.get<double>());
    return {};
}

}  // namespace

std::string CsvField(std::string_view text) {
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted)
        return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"')
            field += '"';
        field += c;
    }
    field += '"';
    return field;
}

std::string CsvNumber(double v) {
    if (!std::isfinite(v))
        return {};
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
    return ec == std::errc() ? std::string(text, end) : std::string();
}

std::string CsvSummaryPath(const std::string& path) {
    const std::filesystem::path p(path);
    std::filesystem::path summary = p;
    summary.replace_filename(p.stem().string() + "_summary" + p.extension().string());
    return summary.string();
}

CsvStudy::~CsvStudy() {
    Discard();
}

void CsvStudy::Discard() {
    if (rows_) {
        std::fclose(rows_);
        rows_ = nullptr;
        std::error_code ignored;
        std::filesystem::remove(partPath_, ignored);
    }
}

bool CsvStudy::Put(std::FILE* f, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), f) != text.size())
        failed_ = true;
    return !failed_;
}

bool CsvStudy::Open(const std::string& path, const StudyHeader& header, std::string& error) {
    path_ = path;
    partPath_ = path + ".part";
    factor_ = header.factor;
    names_.clear();
    if (header.factor) {
        const auto& values = header.factorTree["values"];
        for (const auto& d : header.dependencies) {
            const std::string head =
                JoinedNames({JsonText(d.value("object", nlohmann::ordered_json())),
                             JsonText(d.value("type", nlohmann::ordered_json())),
                             JsonText(d.value("id", nlohmann::ordered_json())),
                             JsonText(d.value("caption", nlohmann::ordered_json()))});
            for (const auto& v : values)
                names_.push_back(head + ',' + JsonText(v));
        }
    } else {
        ForEachIndicator(header.layout, [&](IndicatorKey k) {
            if (IndicatorHas(k.id, IndicatorValue::kDistribution))
                return;
            names_.push_back(
                JoinedNames({ObjectName(header.layout, k.object), TypeName(header.layout, k.type),
                             std::to_string(k.id), ResultName(k.id)}));
        });
    }
    rows_ = std::fopen(partPath_.c_str(), "wb");
    if (!rows_) {
        error = "Невозможно открыть файл \"" + std::filesystem::absolute(path).string() +
                "\" для записи.";
        return false;
    }
    failed_ = false;
    Put(rows_, std::string(kByteOrderMark) + "replication,seed,warmup,object,type,id,name," +
                   (factor_ ? "factorValue," : "") + "value" + kLineEnd);
    return true;
}

void CsvStudy::Row(const ReplicationOutcome& o, uint64_t ordinal) {
    if (!rows_ || failed_)
        return;
    const std::string head = std::to_string(ordinal) + ',' + std::to_string(o.number) + ',' +
                             (o.warmup > 0 ? CsvNumber(o.warmup) : std::string()) + ',';
    std::string block;
    for (size_t k = 0; k < names_.size() && k < o.values.size(); ++k)
        block += head + names_[k] + ',' + CsvNumber(o.values[k]) + kLineEnd;
    Put(rows_, block);
}

bool CsvStudy::Finish(const std::vector<Summary>& summaries, std::string& error) {
    if (!rows_)
        return false;
    const std::string summaryPath = CsvSummaryPath(path_);
    const std::string summaryPart = summaryPath + ".part";
    auto fail = [&](const std::string& path) {
        error = "Не удалось записать файл \"" + std::filesystem::absolute(path).string() + "\".";
        std::error_code ignored;
        std::filesystem::remove(summaryPart, ignored);
        Discard();
        return false;
    };
    std::FILE* summary = std::fopen(summaryPart.c_str(), "wb");
    if (!summary)
        return fail(summaryPath);
    std::string text = std::string(kByteOrderMark) + "object,type,id,name," +
                       (factor_ ? "factorValue," : "") + "mean,halfWidth,count" + kLineEnd;
    for (size_t k = 0; k < names_.size() && k < summaries.size(); ++k) {
        const Summary& s = summaries[k];
        text += names_[k] + ',' + CsvNumber(s.Mean()) + ',' + CsvNumber(s.HalfWidth()) + ',' +
                std::to_string(s.count()) + kLineEnd;
    }
    Put(summary, text);
    const bool summaryWritten = std::fclose(summary) == 0 && !failed_;
    if (!summaryWritten)
        return fail(summaryPath);
    const bool rowsWritten = std::fflush(rows_) == 0 && !failed_;
    const bool closed = std::fclose(rows_) == 0;
    rows_ = nullptr;
    if (!rowsWritten || !closed) {
        std::error_code ignored;
        std::filesystem::remove(partPath_, ignored);
        return fail(path_);
    }
    std::error_code ec;
    std::filesystem::rename(partPath_, path_, ec);
    if (ec) {
        std::filesystem::remove(partPath_, ec);
        return fail(path_);
    }
    std::filesystem::rename(summaryPart, summaryPath, ec);
    if (ec)
        return fail(summaryPath);
    return true;
}

}  // namespace marvolt
