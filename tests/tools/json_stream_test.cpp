#include "tools/json_stream.h"

#include "kernel/queue.h"
#include "tools/example_models.h"
#include "tools/run_results.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace marvolt {
namespace {

using Json = nlohmann::ordered_json;

std::string Streamed(const Json& tree) {
    std::ostringstream out;
    JsonStream j(out);
    j.Tree(tree);
    EXPECT_TRUE(j.Closed());
    return out.str();
}

TEST(JsonStreamTest, IndentedFormIsTheLibrarysByteForByte) {
    const Json trees[] = {
        Json::object(),
        Json::array(),
        Json(5),
        Json::parse(
            R"({"a": [], "b": {}, "c": [[], [{}], [1, [2, []]]], "d": {"e": {"f": null}}})"),
        Json{{"ключ", "значение"},
             {"escapes", "quote \" backslash \\ tab \t newline \n bell \x07 del \x7f"},
             {"key \"quoted\"\n", true},
             {"ints", {0, -1, 4294967295u, std::numeric_limits<int64_t>::min()}},
             {"reals",
              {0.0, -0.0, 0.1, 1e-5, 3.0517578125e-05, 1e300, 100330.41615568148,
               static_cast<double>(0.3f), 16.0f}},
             {"nested", {{"x", Json::array({Json::object({{"y", 1}})})}}}},
    };
    for (const Json& t : trees)
        EXPECT_EQ(Streamed(t), t.dump(2)) << t.dump();
}

TEST(JsonStreamTest, CompactContainersKeepToOneLine) {
    std::ostringstream out;
    JsonStream j(out);
    j.BeginObject();
    j.Key("rows");
    j.BeginArray();
    j.BeginObject(true);
    j.Field("n", 1);
    j.Key("values");
    j.BeginArray();
    j.Value(1.5);
    j.Value(Json());
    j.BeginArray();
    j.EndArray();
    j.EndArray();
    j.EndObject();
    j.BeginArray(true);
    j.EndArray();
    j.EndArray();
    j.Field("after", "x");
    j.EndObject();
    EXPECT_TRUE(j.Closed());
    EXPECT_EQ(out.str(),
              "{\n"
              "  \"rows\": [\n"
              "    {\"n\": 1, \"values\": [1.5, null, []]},\n"
              "    []\n"
              "  ],\n"
              "  \"after\": \"x\"\n"
              "}");
    EXPECT_EQ(Json::parse(out.str())["rows"][0]["values"][0], 1.5);
}

// Every node kind and many types, with its distributions: the streamed
// document is the library's own dump of what it holds.
TEST(JsonStreamTest, ARunsDocumentIsTheLibrarysDumpOfItself) {
    auto wide = BuildWideModel(4);
    wide->arrivalsLimit = 3000;
    auto* queue = static_cast<CQueue*>(wide->Node(3));
    queue->waitDistFlags[0] = queue->waitDistFlags[2] = 1;
    queue->lengthDistFlags[1] = 1;
    RestoreRandomStartState();
    wide->Experiment();
    std::ostringstream out;
    JsonStream j(out);
    j.BeginObject();
    WriteRunFields(j, *wide);
    j.EndObject();
    const Json doc = Json::parse(out.str());
    EXPECT_EQ(out.str(), doc.dump(2));
    EXPECT_EQ(doc["distributions"].size(), 3u);
    EXPECT_GT(doc["indicators"].size(), 6000u);
}

}  // namespace
}  // namespace marvolt
