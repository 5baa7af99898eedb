// Damaged and hostile files are refused as unreadable, never trusted.
#include <gtest/gtest.h>

#include "file_test_support.h"
#include "persistence/model_file.h"

namespace marvolt {
namespace {

using test::Bytes;
using test::FindTag;

OpenResult ResultOf(const std::vector<uint8_t>& bytes) {
    return ReadModelBytes(bytes.data(), bytes.size()).result;
}

TEST(DamagedFile, EveryPrefixIsRefusedOrOpensWithoutResults) {
    const auto m = test::RichModel(true);
    const auto results = CQueuingSystem::CopyModel(*m, true);
    const auto bytes = Bytes(*m, results.get());
    const size_t firstModel = Bytes(*m).size() - 4;  // up to "CNTS"
    for (size_t n = 0; n < bytes.size(); ++n) {
        const OpenedModels opened = ReadModelBytes(bytes.data(), n);
        if (n < firstModel) {
            ASSERT_EQ(opened.result, OpenResult::kFirstModelUnreadable) << "prefix " << n;
            ASSERT_FALSE(opened.current);
        } else {
            ASSERT_EQ(opened.result, OpenResult::kOk) << "prefix " << n;
            // Only the trailing "ENDF" may be missing for the results to stay.
            ASSERT_EQ(opened.results != nullptr, n >= bytes.size() - 4) << "prefix " << n;
        }
    }
}

// Each case changes a valid file so that it points outside the model or
// claims more than it holds.
struct Damage {
    const char* what;
    const char* tag;  // the item changed
    int occurrence;   // which one, counted from the start
    size_t offset;    // from the start of the tag
    std::vector<uint8_t> bytes;
};

class HostileFile : public ::testing::TestWithParam<Damage> {};

TEST_P(HostileFile, IsUnreadable) {
    const Damage& d = GetParam();
    auto bytes = Bytes(*test::SmallModel());
    const size_t at = FindTag(bytes, d.tag, 0, d.occurrence);
    ASSERT_NE(at, std::string::npos) << d.tag;
    std::copy(d.bytes.begin(), d.bytes.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(at + d.offset));
    test::KeepAsSeed(std::string("hostile_") + d.what, bytes);
    EXPECT_EQ(ResultOf(bytes), OpenResult::kFirstModelUnreadable) << d.what;
}

// Offsets follow tests/data/small_model.qsf.hex.
INSTANTIATE_TEST_SUITE_P(
    Indices, HostileFile,
    ::testing::Values(
        Damage{"receiver", "RCDT", 0, 5, {4}},  // node 4 of 4
        Damage{"source", "SRDT", 0, 5, {7}}, Damage{"reserve", "RSCH", 0, 4, {4}},
        Damage{"generated_type", "RQDT", 0, 6, {2}},  // type 2 of 2
        Damage{"refusal_sink_range", "DSPN", 0, 4, {4}},
        Damage{"refusal_sink_kind", "DSPN", 0, 4, {2}},  // a channel
        Damage{"factor_object", "PLFC", 0, 4, {4}}, Damage{"factor_type", "USFC", 0, 5, {2}},
        Damage{"factor_parameter", "PLFC", 0, 6, {13}},
        Damage{"dependency_object", "DPVC", 0, 17, {9}},
        Damage{"dependency_type", "DPVC", 0, 30, {2}},
        Damage{"dependency_indicator", "DPVC", 0, 19, {29}},
        Damage{"dependency_twice", "DPVC", 0, 29, {2, 255, 3}},
        Damage{"kind_bytes_differ", "OBJT", 1, 4, {2}},  // generator record claims a queue
        Damage{"unknown_kind", "OBJT", 6, 4, {4}},       // in front of the sink
        Damage{"law_kind", "EFDL", 0, 4, {4}}),
    [](const auto& info) { return std::string(info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    Counts, HostileFile,
    ::testing::Values(Damage{"types_beyond_limit", "RQDS", 0, 4, {251}},
                      Damage{"nodes_beyond_limit", "OBDS", 0, 4, {251}},
                      Damage{"long_text", "DESC", 0, 4, {0xFF, 0xFF, 0xFF, 0x7F}},
                      Damage{"negative_text", "DESC", 0, 4, {0x00, 0x00, 0x00, 0x80}},
                      Damage{"receiver_count", "RCDT", 0, 4, {255}},
                      Damage{"dependency_count", "DPVC", 0, 4, {0xFF, 0xFF, 0xFF, 0xFF}},
                      Damage{"dependency_values", "DPVC", 0, 16, {255}},
                      Damage{"bins", "QTYD", 1, 12, {255, 1, 0, 0, 0, 0, 0, 0, 0, 1}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(DamagedFile, QueueWithTypesButNoAcceptedTypesIsUnreadable) {
    auto bytes = Bytes(*test::SmallModel());
    test::RemoveItem(bytes, "RQAC", 2);  // the queue's
    EXPECT_EQ(ResultOf(bytes), OpenResult::kFirstModelUnreadable);
}

TEST(DamagedFile, SinkWithReceiversIsUnreadable) {
    auto bytes = Bytes(*test::SmallModel());
    const size_t sinkPosition = FindTag(bytes, "XYDT", FindTag(bytes, "ENDC"));
    const std::vector<uint8_t> receivers = {'R', 'C', 'D', 'T', 0};
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(sinkPosition), receivers.begin(),
                 receivers.end());
    EXPECT_EQ(ResultOf(bytes), OpenResult::kFirstModelUnreadable);
}

TEST(DamagedFile, UndefinedLetterOpensAsReplacementCharacter) {
    auto bytes = Bytes(*test::SmallModel());
    bytes[FindTag(bytes, "NAME") + 5] = 0x98;  // the one byte Windows-1251 leaves undefined
    const OpenedModels opened = ReadModelBytes(bytes.data(), bytes.size());
    ASSERT_EQ(opened.result, OpenResult::kOk);
    EXPECT_EQ(opened.current->modelName, "\xEF\xBF\xBDодель");
    // It cannot be saved again as it is.
    std::vector<uint8_t> out;
    EXPECT_FALSE(WriteModelBytes(*opened.current, nullptr, out));
}

}  // namespace
}  // namespace marvolt
