// The bytes of the model file: the expected file of tests/data and the items
// whose layout is easiest to get wrong.
#include <gtest/gtest.h>

#include "file_test_support.h"
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"
#include "persistence/byte_record.h"
#include "persistence/model_file.h"
#include "persistence/model_record.h"

namespace marvolt {
namespace {

using test::Bytes;
using test::FindTag;

std::vector<uint8_t> Encoded(void (*write)(RecordWriter&)) {
    std::vector<uint8_t> out;
    TextCodec codec;
    ByteWriter w(out, codec);
    write(w);
    EXPECT_TRUE(w.faithful());
    return out;
}

TEST(FileFormat, SmallModelIsWrittenByteForByte) {
    const auto m = test::SmallModel();
    const auto expected = test::HexFile("small_model.qsf.hex");
    const auto written = Bytes(*m);
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < written.size(); ++i) {
        ASSERT_EQ(written[i], expected[i]) << "at offset " << i;
    }
    test::KeepAsSeed("small", written);
}

TEST(FileFormat, SmallModelFileReadsIntoTheModel) {
    const auto expected = test::HexFile("small_model.qsf.hex");
    const OpenedModels opened = ReadModelBytes(expected.data(), expected.size());
    ASSERT_EQ(opened.result, OpenResult::kOk);
    EXPECT_FALSE(opened.results);
    test::ExpectSameModel(*test::SmallModel(), *opened.current);
    EXPECT_EQ(opened.current->refusalSink, opened.current->Node(3));
}

TEST(FileFormat, PrimitiveEncodings) {
    EXPECT_EQ(Encoded([](RecordWriter& w) { w.ShortText("abc"); }),
              (std::vector<uint8_t>{3, 'a', 'b', 'c'}));
    // Windows-1251 on disk: one byte per letter.
    EXPECT_EQ(Encoded([](RecordWriter& w) { w.ShortText("Сток"); }),
              (std::vector<uint8_t>{4, 0xD1, 0xF2, 0xEE, 0xEA}));
    EXPECT_EQ(Encoded([](RecordWriter& w) { w.LongText("ё№"); }),
              (std::vector<uint8_t>{2, 0, 0, 0, 0xB8, 0xB9}));
    EXPECT_EQ(Encoded([](RecordWriter& w) {
                  w.Law({kLawNormal, 1.0f, -2.0f});
              }),
              (std::vector<uint8_t>{3, 0, 0, 0, 0, 0, 0x80, 0x3F, 0, 0, 0, 0xC0}));
    EXPECT_EQ(Encoded([](RecordWriter& w) { w.I32(-2); }),
              (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(FileFormat, DistributionsCarryTheirBinsOnlyWhenTheyHaveThem) {
    CFDistribution f;
    f.lowerBound = 1.0f;
    f.upperBound = 3.0f;
    f.binCount = 2;
    ASSERT_TRUE(f.ResetBins());
    f.AddValue(2.5f);
    std::vector<uint8_t> out;
    TextCodec codec;
    ByteWriter w(out, codec);
    w.Distribution(f);
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0x80, 0x3F, 0, 0, 0x40, 0x40, 2, 1, 0, 0, 0,
                                         0, 0, 0x80, 0x3F, 1, 0, 0,    0,    0, 1, 0, 0, 0}));

    CIDistribution i;  // never reset: no weights
    out.clear();
    w.Distribution(i);
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    // Any non-zero "has" byte means the bins follow.
    std::vector<uint8_t> stored = {0, 0, 0, 0, 1, 0, 0, 0, 1, 5,    0,
                                   0, 0, 1, 0, 0, 0, 7, 0, 0, 0x20, 0x40};
    ByteReader r(stored.data(), stored.size(), codec);
    CIDistribution back;
    ASSERT_TRUE(r.Distribution(back));
    EXPECT_EQ(back.binWeights, std::vector<float>{2.5f});
    EXPECT_TRUE(back.HasBins());
    EXPECT_EQ(back.sampleCount, 5u);
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(FileFormat, FactorRecordIsTwentyEightBytes) {
    FactorSettings f;
    f.factorObject = 4;
    f.factorType = 1;
    f.factorParameter = kFactorServiceUpper;
    f.startValue = 2.0f;
    f.step = 0.5f;
    f.valueCount = 9;
    f.savedA = -1;
    f.savedB = 1.0f;
    f.savedC = -1.0f;
    std::vector<uint8_t> out;
    TextCodec codec;
    ByteWriter w(out, codec);
    WriteFactor(f, w);
    EXPECT_EQ(out, (std::vector<uint8_t>{4, 1,    12,   0,    0, 0, 0,    0x40, 0,    0,
                                         0, 0x3F, 9,    0,    0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                                         0, 0,    0x80, 0x3F, 0, 0, 0x80, 0xBF}));
    // Reserved bytes of other writers are ignored.
    out[3] = 0xAA;
    out[13] = out[14] = out[15] = 0x55;
    ByteReader r(out.data(), out.size(), codec);
    FactorSettings back;
    ASSERT_TRUE(ReadFactor(back, r));
    EXPECT_EQ(back, f);
}

TEST(FileFormat, DependencyMarkerZeroMeansNoValuesAndCapacityIsIgnored) {
    // D 2, capacity 30, growth step 7, V 2; the second entry has marker 0.
    std::vector<uint8_t> bytes = {2, 0, 0, 0, 30,   0,    0, 0, 7, 0,    0,   0, 2,  1, 255,
                                  3, 2, 0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 255, 0, 26, 0};
    TextCodec codec;
    ByteReader r(bytes.data(), bytes.size(), codec);
    CDependsVector d;
    ASSERT_TRUE(ReadDependencies(d, r, 2, 1));
    EXPECT_EQ(r.Remaining(), 0u);
    ASSERT_EQ(d.itemCount(), 2u);
    EXPECT_EQ(d.valueCount, 2);
    EXPECT_EQ(d.Item(0)->values, (std::vector<float>{1.0f, 2.0f}));
    EXPECT_TRUE(d.Item(1)->values.empty());
    EXPECT_EQ(d.Item(1)->dependencyIndicator, 26);

    EXPECT_EQ(d.itemCapacity(), 7u) << "the stored capacity is ignored";
    EXPECT_EQ(d.growthStep, 7u);

    // Written back with the capacity it grew to and the file's growth step.
    std::vector<uint8_t> out;
    ByteWriter w(out, codec);
    WriteDependencies(d, w);
    EXPECT_EQ(out.size(), bytes.size());
    EXPECT_EQ(out[4], 7);
    EXPECT_EQ(out[8], 7);
    EXPECT_TRUE(std::equal(out.begin() + 12, out.end(), bytes.begin() + 12));
}

TEST(FileFormat, ResultsDecideTheIndicatorItems) {
    const auto without = test::RichModel(false);
    const auto bytes = Bytes(*without);
    for (const char* tag : {"RFCF", "AWTM", "MAQL", "NINC", "ALFT", "MALT"}) {
        EXPECT_EQ(FindTag(bytes, tag), std::string::npos) << tag;
    }
    // A sink's header goes from its (empty) description straight to its position.
    const size_t sinkDesc = FindTag(bytes, "DESC", FindTag(bytes, "ENDC", 0, 1));
    EXPECT_EQ(FindTag(bytes, "XYDT", sinkDesc), sinkDesc + 8);
    EXPECT_EQ(FindTag(bytes, "RCDT", sinkDesc), std::string::npos);

    const auto with = test::RichModel(true);
    const auto full = Bytes(*with);
    // Node header with results: the per-slot counters (4 slots) right after the description.
    const size_t firstNode = FindTag(full, "OBDS");
    const size_t inct = FindTag(full, "INCT", firstNode);
    EXPECT_EQ(FindTag(full, "RCDT", inct), inct + 4 + 4 * 4);
    for (const char* tag : {"RFCF", "AWTM", "MIWT", "MAWT", "AQLT", "MAQL", "RQCT", "NINC"}) {
        EXPECT_NE(FindTag(full, tag, FindTag(full, "WTFL")), std::string::npos) << tag;
    }
    const size_t withDesc = FindTag(full, "DESC", FindTag(full, "ENDC", 0, 1));
    EXPECT_EQ(FindTag(full, "INCT", withDesc), withDesc + 8);
    EXPECT_EQ(FindTag(full, "XYDT", withDesc), withDesc + 8 + 4 + 4 * 4);
}

TEST(FileFormat, QueueStoresDistributionsOfSlotZeroAndAcceptedTypesOnly) {
    CQueuingSystem m;
    for (const char* name : {"A", "B", "C"})
        m.AddRequestType(name);
    CQueue* q = m.AddQueue("q");
    q->acceptedTypes = {1, 0, 1};
    q->waitDistributions[2].emplace();  // not accepted: not stored
    const auto bytes = Bytes(m);
    const size_t wtmd = FindTag(bytes, "WTMD");
    const size_t qltd = FindTag(bytes, "QLTD");
    const size_t endq = FindTag(bytes, "ENDQ");
    // Three distributions without bins, 18 bytes each.
    EXPECT_EQ(qltd - wtmd - 4, 3u * 18u);
    EXPECT_EQ(endq - qltd - 4, 3u * 18u);
    EXPECT_EQ(FindTag(bytes, "WLDL"), std::string::npos);

    const OpenedModels back = ReadModelBytes(bytes.data(), bytes.size());
    ASSERT_EQ(back.result, OpenResult::kOk);
    const auto* r = static_cast<const CQueue*>(back.current->Node(0));
    ASSERT_EQ(r->waitDistributions.size(), 4u);
    EXPECT_TRUE(r->waitDistributions[0] && r->waitDistributions[1] && r->waitDistributions[3]);
    EXPECT_FALSE(r->waitDistributions[2]);
    EXPECT_TRUE(r->lengthDistributions[1] && r->lengthDistributions[3]);
    EXPECT_FALSE(r->lengthDistributions[2]);
    // Saving does not change the model it saves.
    EXPECT_FALSE(q->lengthDistributions[1]);
}

TEST(FileFormat, ModelWithoutRequestTypes) {
    CQueuingSystem m;
    m.AddGenerator("g");
    m.AddChannel("c");
    m.AddQueue("q");
    m.AddSink("s");
    m.SetRefusalSink("s");
    m.Link(0, 1);
    const auto bytes = Bytes(m);
    const size_t rqds = FindTag(bytes, "RQDS");
    EXPECT_EQ(bytes[rqds + 4], 0);
    EXPECT_EQ(FindTag(bytes, "OBDS"), rqds + 5);
    for (const char* tag : {"RQAC", "RQPT", "TRQT", "WLDL"}) {
        EXPECT_EQ(FindTag(bytes, tag), std::string::npos) << tag;
    }
    // A generator without types writes the count 0 and no lists.
    EXPECT_EQ(FindTag(bytes, "EFDL"), FindTag(bytes, "RQDT") + 5);
    test::KeepAsSeed("no_types", bytes);

    const OpenedModels back = ReadModelBytes(bytes.data(), bytes.size());
    ASSERT_EQ(back.result, OpenResult::kOk);
    test::ExpectSameModel(m, *back.current);
    const auto* c = static_cast<const CChannel*>(back.current->Node(1));
    EXPECT_TRUE(c->acceptedTypes.empty());
    EXPECT_TRUE(c->serviceLaws.empty());
    const auto* q = static_cast<const CQueue*>(back.current->Node(2));
    EXPECT_EQ(q->waitDistFlags.size(), 1u);
}

TEST(FileFormat, TextsThatCannotBeStoredRefuseTheSave) {
    CQueuingSystem m;
    std::vector<uint8_t> out;
    EXPECT_TRUE(WriteModelBytes(m, nullptr, out));
    m.modelName = std::string(255, 'x');
    EXPECT_TRUE(WriteModelBytes(m, nullptr, out));
    m.modelName = std::string(256, 'x');
    EXPECT_FALSE(WriteModelBytes(m, nullptr, out));
    m.modelName = std::string(200, 'x');
    m.AddSink("Сток ✓");  // no such letter in Windows-1251
    EXPECT_FALSE(WriteModelBytes(m, nullptr, out));
    m.nodes.back()->name = "Сток";
    m.modelDescription = "bad utf-8 \xC3";
    EXPECT_FALSE(WriteModelBytes(m, nullptr, out));
    // A long description has no length limit of its own.
    m.modelDescription = std::string(100000, 'd');
    EXPECT_TRUE(WriteModelBytes(m, nullptr, out));
}

}  // namespace
}  // namespace marvolt
