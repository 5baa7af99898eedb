#include "tools/merge_results.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "tools/batch_run.h"
#include "tools/csv_output.h"
#include "tools/replication_study.h"
#include "tools/replications.h"
#include "tools/study_document.h"
#include "tools/study_run.h"

namespace marvolt {

namespace {

using Json = nlohmann::ordered_json;

// What one document holds, read as a stream: replication records go to
// `record` one at a time; the small parts are kept whole.
class DocumentReader : public nlohmann::json_sax<Json> {
  public:
    explicit DocumentReader(std::function<bool(const ReplicationOutcome&)> record)
        : record_(std::move(record)) {}

    std::optional<std::string> model, digest;
    std::optional<uint64_t> replicationCount;
    std::optional<Json> layout, factor, dependencies, about;
    uint64_t indicatorCount = 0;
    bool sawIndicators = false;
    uint64_t records = 0;
    std::string error;

    bool null() override { return OnValue(Json()); }
    bool boolean(bool v) override { return OnValue(Json(v)); }
    bool number_integer(number_integer_t v) override { return OnValue(Json(v)); }
    bool number_unsigned(number_unsigned_t v) override { return OnValue(Json(v)); }
    bool number_float(number_float_t v, const string_t&) override { return OnValue(Json(v)); }
    bool string(string_t& v) override { return OnValue(Json(v)); }
    bool binary(binary_t&) override { return Fail("двоичные данные"); }
    bool start_object(std::size_t) override { return OnBegin(true); }
    bool start_array(std::size_t) override { return OnBegin(false); }
    bool end_object() override { return OnEnd(); }
    bool end_array() override { return OnEnd(); }
    bool key(string_t& k) override {
        if (!capture_.empty()) {
            pendingKey_ = k;
        } else if (depth_ == 1) {
            topKey_ = k;
        } else if (place_ == Place::kRecords && depth_ == 3) {
            recordKey_ = k;
        }
        return true;
    }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        error = "это не документ JSON (ошибка около байта " + std::to_string(position) + ")";
        return false;
    }

  private:
    enum class Place { kTop, kCapture, kRecords, kIndicators, kSkip };
    std::function<bool(const ReplicationOutcome&)> record_;
    int depth_ = 0;
    Place place_ = Place::kTop;
    std::string topKey_, recordKey_, pendingKey_;
    Json captured_;
    std::vector<Json*> capture_;
    ReplicationOutcome current_;
    bool hasNumber_ = false, hasDraws_ = false, inValues_ = false;

    bool Fail(const std::string& what) {
        if (error.empty())
            error = "неожиданное содержимое: " + what;
        return false;
    }

    bool OnBegin(bool object) {
        const int depth = depth_++;
        if (!capture_.empty()) {
            Json child = object ? Json::object() : Json::array();
            Json& parent = *capture_.back();
            Json* added = nullptr;
            if (parent.is_object()) {
                added = &(parent[pendingKey_] = std::move(child));
            } else {
                parent.push_back(std::move(child));
                added = &parent.back();
            }
            capture_.push_back(added);
            return true;
        }
        if (depth == 0)
            return object || Fail("документ не объект");
        if (depth == 1) {
            if (topKey_ == "layout" || topKey_ == "factor" || topKey_ == "dependencies" ||
                topKey_ == "about") {
                if (object != (topKey_ != "dependencies"))
                    return Fail("\"" + topKey_ + "\"");
                captured_ = object ? Json::object() : Json::array();
                capture_.push_back(&captured_);
                place_ = Place::kCapture;
            } else if (topKey_ == "replications" || topKey_ == "indicators") {
                if (object)
                    return Fail("\"" + topKey_ + "\"");
                place_ = topKey_ == "replications" ? Place::kRecords : Place::kIndicators;
                sawIndicators = sawIndicators || place_ == Place::kIndicators;
            } else {
                place_ = Place::kSkip;
            }
            return true;
        }
        if (place_ == Place::kRecords) {
            if (depth == 2 && object) {
                current_ = {};
                hasNumber_ = hasDraws_ = false;
                return true;
            }
            if (depth == 3 && !object && recordKey_ == "values") {
                inValues_ = true;
                return true;
            }
            return Fail("запись прогона");
        }
        if (place_ == Place::kIndicators && depth == 2)
            ++indicatorCount;
        return true;
    }

    bool OnEnd() {
        const int depth = --depth_;
        if (!capture_.empty()) {
            capture_.pop_back();
            if (capture_.empty()) {
                (topKey_ == "layout"   ? layout
                 : topKey_ == "factor" ? factor
                 : topKey_ == "about"  ? about
                                       : dependencies) = std::move(captured_);
            }
            return true;
        }
        if (place_ == Place::kRecords) {
            if (depth == 3) {
                inValues_ = false;
            } else if (depth == 2) {
                if (!hasNumber_ || !hasDraws_)
                    return Fail("прогон без номера или числа случайных чисел");
                ++records;
                if (!record_(current_))
                    return Fail("запись прогона");
            }
        }
        if (depth == 1)
            place_ = Place::kTop;
        return true;
    }

    bool OnValue(Json v) {
        if (!capture_.empty()) {
            Json& parent = *capture_.back();
            if (parent.is_object()) {
                parent[pendingKey_] = std::move(v);
            } else {
                parent.push_back(std::move(v));
            }
            return true;
        }
        if (depth_ == 1) {
            if (topKey_ == "model" || topKey_ == "digest") {
                if (!v.is_string())
                    return Fail("\"" + topKey_ + "\"");
                (topKey_ == "model" ? model : digest) = v.get<std::string>();
            } else if (topKey_ == "replicationCount") {
                if (!v.is_number_unsigned())
                    return Fail("\"replicationCount\"");
                replicationCount = v.get<uint64_t>();
            }
            return true;
        }
        if (place_ != Place::kRecords)
            return true;
        if (inValues_ && depth_ == 4) {
            if (v.is_null()) {
                current_.values.push_back(std::numeric_limits<double>::quiet_NaN());
            } else if (v.is_number()) {
                current_.values.push_back(v.get<double>());
            } else {
                return Fail("значение прогона");
            }
            return true;
        }
        if (depth_ != 3)
            return Fail("запись прогона");
        if (recordKey_ == "number") {
            // Numbers past the cycle would start where lower ones do.
            if (!v.is_number_unsigned() || v.get<uint64_t>() >= kReplicationLimit)
                return Fail("номер прогона");
            current_.number = v.get<uint32_t>();
            hasNumber_ = true;
        } else if (recordKey_ == "draws") {
            if (!v.is_number_unsigned())
                return Fail("число случайных чисел прогона");
            current_.draws = v.get<uint64_t>();
            hasDraws_ = true;
        } else if (recordKey_ == "warmup") {
            if (!v.is_number() || !(v.get<double>() >= 0))
                return Fail("\"warmup\"");
            current_.warmup = v.get<double>();
        } else if (recordKey_ == "stopReason") {
            if (!v.is_number_unsigned() || v.get<uint64_t>() > 255)
                return Fail("\"stopReason\"");
            current_.stopReason = static_cast<StopReason>(v.get<uint8_t>());
        }
        return true;
    }
};

bool IsString(const Json& j, const char* key) {
    return j.contains(key) && j[key].is_string();
}

// The layout of a document, checked as a reader of foreign files must.
std::optional<ReportLayout> LayoutFrom(const Json& j) {
    if (!j.is_object() || !j.contains("types") || !j["types"].is_array() || !j.contains("nodes") ||
        !j["nodes"].is_array() || j["types"].size() > RequestTypeLimit ||
        j["nodes"].size() > ObjectLimit)
        return std::nullopt;
    ReportLayout layout;
    for (const Json& t : j["types"]) {
        if (!t.is_string())
            return std::nullopt;
        layout.typeNames.push_back(t.get<std::string>());
    }
    for (const Json& n : j["nodes"]) {
        if (!n.is_object() || !IsString(n, "name") || !n.contains("kind") ||
            !n["kind"].is_number_unsigned() || n["kind"].get<uint64_t>() > kSink)
            return std::nullopt;
        ReportLayout::Node node{n["name"].get<std::string>(), n["kind"].get<uint8_t>(), {}};
        if (node.kind == kQueue) {
            if (!n.contains("admitted") || !n["admitted"].is_array() ||
                n["admitted"].size() != layout.typeNames.size())
                return std::nullopt;
            for (const Json& a : n["admitted"]) {
                if (!a.is_number_unsigned() || a.get<uint64_t>() > 1)
                    return std::nullopt;
                node.admitted.push_back(a.get<uint8_t>());
            }
        }
        layout.nodes.push_back(std::move(node));
    }
    return layout;
}

bool FactorFits(const Json& factor, const Json& dependencies) {
    if (!factor.is_object() || !IsString(factor, "caption") || !factor.contains("values") ||
        !factor["values"].is_array() || factor["values"].size() > 255 || !dependencies.is_array())
        return false;
    for (const Json& v : factor["values"]) {
        if (!v.is_number())
            return false;
    }
    for (const Json& d : dependencies) {
        if (!d.is_object() || !IsString(d, "caption"))
            return false;
    }
    return true;
}

struct Spooled {
    uint32_t number;
    size_t file;
    long offset;
    size_t values;
};

}  // namespace

int MergeStudies(const std::vector<std::string>& files, bool json, const std::string& csvPath,
                 std::ostream& out, std::ostream& err) {
    auto refuse = [&err](const std::string& message) {
        err << message << '\n';
        return kRunMergeRefused;
    };
    auto quoted = [](const std::string& path) {
        return "\"" + std::filesystem::absolute(path).string() + "\"";
    };
    // Records wait in a file of their own until every document is read and
    // their order is known.
    RecordFile spool(std::tmpfile());
    if (!spool)
        return refuse("Не удалось создать временный файл для результатов прогонов.");
    std::vector<Spooled> index;
    StudyHeader header;
    std::string firstDigest;
    Json firstAbout;
    Json modelDigests = Json::array();

    for (size_t f = 0; f < files.size(); ++f) {
        std::ifstream in(files[f], std::ios::binary);
        if (!in)
            return refuse("Невозможно открыть файл " + quoted(files[f]) + " для чтения.");
        DocumentReader reader([&](const ReplicationOutcome& o) {
            const long offset = std::ftell(spool.get());
            if (offset < 0 || !WriteOutcome(spool.get(), o))
                return false;
            index.push_back({o.number, f, offset, o.values.size()});
            return true;
        });
        const bool parsed = Json::sax_parse(in, &reader);
        const std::string name = "Файл " + quoted(files[f]);
        if (!parsed || !reader.error.empty())
            return refuse(name + " не является документом прогонов marvolt-run: " +
                          (reader.error.empty() ? "ошибка чтения" : reader.error) + ".");
        const bool factor = reader.factor.has_value();
        if (!reader.model || !reader.digest || !reader.replicationCount ||
            (factor ? !reader.dependencies || !FactorFits(*reader.factor, *reader.dependencies)
                    : !reader.layout || !reader.sawIndicators)) {
            return refuse(name +
                          " не содержит результатов прогонов: их дает marvolt-run --replications "
                          "--json.");
        }
        // Parts of one study share all that their documents say of themselves
        // but the file's digest: the model may have been saved again with results.
        Json about = reader.about.value_or(Json());
        Json digests = Json::array();
        if (about.is_object() && about.contains("modelSha256")) {
            digests = about["modelSha256"].is_array() ? about["modelSha256"]
                                                      : Json::array({about["modelSha256"]});
            about.erase("modelSha256");
        }
        // The stop criterion is in the model's digest, which has its own message.
        const auto rest = [](Json a) {
            if (a.is_object())
                a.erase("stopCriterion");
            return a;
        };
        if (f == 0) {
            firstAbout = about;
        } else if (rest(about) != rest(firstAbout)) {
            return refuse(name + " получен другой версией программы или с другим разгоном, чем " +
                          quoted(files[0]) + ": такие прогоны объединять нельзя.");
        }
        for (const Json& d : digests) {
            if (std::find(modelDigests.begin(), modelDigests.end(), d) == modelDigests.end())
                modelDigests.push_back(d);
        }
        if (f == 0) {
            header.model = *reader.model;
            header.digest = firstDigest = *reader.digest;
            header.factor = factor;
            if (factor) {
                header.factorTree = *reader.factor;
                for (Json d : *reader.dependencies) {
                    d.erase("mean");
                    d.erase("halfWidth");
                    header.dependencies.push_back(std::move(d));
                }
            } else {
                std::optional<ReportLayout> layout = LayoutFrom(*reader.layout);
                if (!layout)
                    return refuse(name + ": описание модели повреждено.");
                header.layout = std::move(*layout);
            }
        } else if (*reader.digest != firstDigest || *reader.model != header.model ||
                   factor != header.factor) {
            return refuse(name + " получен на другой модели или с другим условием окончания, чем " +
                          quoted(files[0]) + ": такие прогоны объединять нельзя.");
        }
        if (reader.records != *reader.replicationCount ||
            (!factor && reader.indicatorCount != header.ValueCount()))
            return refuse(name + " поврежден: число прогонов или показателей не сходится.");
        header.replicationCount += reader.records;
    }

    if (firstAbout.is_object()) {
        // The digest stays in its place; parts from files that differ list them all.
        Json about;
        for (const auto& [key, value] : firstAbout.items()) {
            if (key == "stopCriterion" && !modelDigests.empty())
                about["modelSha256"] = modelDigests.size() == 1 ? modelDigests[0] : modelDigests;
            about[key] = value;
        }
        header.about = std::move(about);
    }
    const size_t valueCount = header.ValueCount();
    std::stable_sort(index.begin(), index.end(),
                     [](const Spooled& a, const Spooled& b) { return a.number < b.number; });
    for (size_t i = 0; i < index.size(); ++i) {
        if (index[i].values != valueCount)
            return refuse("Файл " + quoted(files[index[i].file]) + ": у прогона " +
                          std::to_string(index[i].number) + " не то число значений.");
        if (i > 0 && index[i].number == index[i - 1].number) {
            return refuse("Прогон " + std::to_string(index[i].number) + " есть и в " +
                          quoted(files[index[i - 1].file]) + ", и в " +
                          quoted(files[index[i].file]) +
                          ": это одни и те же случайные числа, дважды их считать нельзя.");
        }
    }
    if (index.empty())
        return refuse("В файлах нет ни одного прогона.");

    CsvStudy csv;
    std::string error;
    if (!csvPath.empty() && !csv.Open(csvPath, header, error)) {
        err << error << '\n';
        return kRunCsvFailed;
    }
    StudyWriter writer(header, uint64_t{index.back().number} + 1, json ? &out : nullptr, err);
    if (!csvPath.empty())
        writer.AttachCsv(&csv);
    ReplicationOutcome o;
    for (const Spooled& s : index) {
        if (std::fseek(spool.get(), s.offset, SEEK_SET) != 0 || !ReadOutcome(spool.get(), o) ||
            !writer.Add(o))
            return refuse("Не удалось прочитать временный файл результатов прогонов.");
    }
    return FinishStudy(writer, json, out, err);
}

}  // namespace marvolt
