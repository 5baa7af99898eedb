// The report file: its bytes, and what a failed save leaves behind.
#include "results/logic/report_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "persistence/model_file.h"
#include "results/application_data.h"
#include "tests/support/test_folder.h"
#include "tools/batch_run.h"
#include "tools/run_options.h"

namespace marvolt {
namespace {

namespace fs = std::filesystem;

using test_files::FileBytes;

class ReportFileTest : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override { dir = test_files::FreshFolder("marvolt_report_"); }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(ReportFileTest, BytesAreWindows1251WithCarriageReturns) {
    EXPECT_EQ(ReportFileBytes("Сток\t1\n\nA\n"), "\xD1\xF2\xEE\xEA\t1\r\n\r\nA\r\n");
    // A character the code page lacks does not stop the report.
    EXPECT_EQ(ReportFileBytes("a\u4E2Db\n"), "a?b\r\n");
    EXPECT_EQ(ReportFileBytes(""), "");
}

TEST_F(ReportFileTest, TheFileHoldsWhatTheBatchRunnerPrints) {
    const std::string model = std::string(MARVOLT_SOURCE_DIR) + "/examples/two_stage_line.qsf";
    RestoreRandomStartState();
    std::ostringstream printed, errors;
    ParsedOptions options = ParseRunOptions({model});
    ASSERT_TRUE(options.error.empty());
    ASSERT_EQ(RunBatch(options.options, printed, errors), kRunOk) << errors.str();

    RestoreRandomStartState();
    OpenedModels opened = OpenModelFile(model);
    ASSERT_TRUE(opened.current);
    opened.current->factorRun = 0;
    opened.current->Experiment();
    const fs::path path = dir / "report.txt";
    ASSERT_EQ(SaveReportFile(path, *opened.current), SafeSaveResult::kOk);
    const std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes, ReportFileBytes(printed.str()));
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n\r\n"), std::string::npos);
}

TEST_F(ReportFileTest, AFailedSaveIsReportedAndKeepsTheOldFile) {
    CQueuingSystem m;
    m.AddRequestType("Тип1");
    const std::string missing = (dir / "missing" / "report.txt").string();
    const SafeSaveResult r = SaveReportFile(missing, m);
    EXPECT_EQ(r, SafeSaveResult::kCannotCreate);
    EXPECT_EQ(ReportSaveMessage(r, missing),
              "Невозможно открыть файл \"" + missing + "\" для записи.");
    EXPECT_EQ(ReportSaveMessage(SafeSaveResult::kOk, missing), "");

    // Writes past a file size limit fail part-way, as on a full disk.
    for (int i = 0; i < 100; ++i)
        m.AddSink("Сток" + std::to_string(i));
    const fs::path path = dir / "report.txt";
    std::ofstream(path) << "old";
    const SafeSaveResult partial =
        test_files::WithFileSizeLimit(1000, [&] { return SaveReportFile(path, m); });
    EXPECT_EQ(partial, SafeSaveResult::kWriteFailed);
    EXPECT_EQ(ReportSaveMessage(partial, path),
              "Ошибка при записи файла \"" + path.string() + "\".");
    EXPECT_EQ(FileBytes(path), "old");
}

}  // namespace
}  // namespace marvolt
