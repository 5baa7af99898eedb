// What a failed save or open tells the user.
#include "editor/logic/file_messages.h"

#include <gtest/gtest.h>

#include "editor/logic/fresh_model.h"

namespace marvolt {
namespace {

const std::string kPath = "/home/user/модели/сеть.qsf";

TEST(FileMessagesTest, EveryFailedSaveIsAnErrorNamingTheFile) {
    EXPECT_FALSE(SaveFailure(SaveResult::kOk, kPath));
    const Refusal open = SaveFailure(SaveResult::kCannotOpenForWriting, kPath);
    EXPECT_EQ(open.box, RefusalBox::kError);
    EXPECT_EQ(open.text, "Невозможно открыть файл \"/home/user/модели/сеть.qsf\" для записи.");
    const Refusal text = SaveFailure(SaveResult::kCannotStoreText, kPath);
    EXPECT_EQ(text.box, RefusalBox::kError);
    EXPECT_EQ(text.text.rfind("Невозможно сохранить модель в файл \"" + kPath + "\".\n", 0), 0u);
    const Refusal write = SaveFailure(SaveResult::kWriteFailed, kPath);
    EXPECT_EQ(write.box, RefusalBox::kError);
    EXPECT_EQ(write.text, "Ошибка при записи файла \"" + kPath + "\".");
}

TEST(FileMessagesTest, OnlyAnUnreadableFirstModelFailsAnOpen) {
    OpenedModels opened;
    opened.result = OpenResult::kCannotOpenForReading;
    EXPECT_EQ(OpenFailure(opened, kPath).text,
              "Невозможно открыть файл \"" + kPath + "\" для чтения.");
    opened.result = OpenResult::kFirstModelUnreadable;
    EXPECT_EQ(OpenFailure(opened, kPath).text, "Ошибка при чтении файла \"" + kPath + "\".");
    EXPECT_EQ(OpenFailure(opened, kPath).box, RefusalBox::kError);
    // Success without a model in hand is no success.
    opened.result = OpenResult::kOk;
    EXPECT_EQ(OpenFailure(opened, kPath).text, "Ошибка при чтении файла \"" + kPath + "\".");
    opened.current = BuildFreshModel();
    EXPECT_FALSE(OpenFailure(opened, kPath));
}

}  // namespace
}  // namespace marvolt
