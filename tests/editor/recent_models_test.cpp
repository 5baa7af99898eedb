// The recent models of the "Файл" menu, kept in a settings file of the test's own.
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "main_window_driver.h"

namespace marvolt {
namespace {

class RecentModelsTest : public ::testing::Test, public test::MainWindowDriver {
  protected:
    RecentModelsTest() {
        settings = std::make_unique<QSettings>(SettingsPath(), QSettings::IniFormat);
        form.SetRecentSettings(settings.get());
    }
    QString SettingsPath() { return dir.filePath(QStringLiteral("settings/marvolt.conf")); }
    QString Model(const char* name) { return dir.filePath(QString::fromUtf8(name)); }
    void SaveAs(const QString& path) {
        io.fileDialogs.saveAnswers = {path};
        Trigger("N13");
    }
    QStringList MenuTexts() {
        QStringList texts;
        for (QAction* a : form.findChild<QMenu*>(QStringLiteral("FileMenu"))->actions()) {
            if (!a->isSeparator())
                texts << a->objectName();
        }
        return texts;
    }

    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings;
};

TEST_F(RecentModelsTest, SavedAndOpenedModelsComeFirstAboveExit) {
    EXPECT_TRUE(form.RecentPaths().isEmpty());
    EXPECT_EQ(MenuTexts(), QStringList({"N14", "N11", "N12", "N13", "N2"}));
    SaveAs(Model("a.qsf"));
    SaveAs(Model("b.qsf"));
    EXPECT_EQ(form.RecentPaths(), QStringList({Model("b.qsf"), Model("a.qsf")}));
    io.fileDialogs.openAnswers = {Model("a.qsf")};
    Trigger("N11");
    EXPECT_EQ(form.RecentPaths(), QStringList({Model("a.qsf"), Model("b.qsf")}));
    EXPECT_EQ(MenuTexts(),
              QStringList({"N14", "N11", "N12", "N13", "RecentModel1", "RecentModel2", "N2"}));
    EXPECT_EQ(Action("RecentModel1")->text(), QStringLiteral("&1 ") + Model("a.qsf"));
    EXPECT_EQ(Action("RecentModel2")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_2));

    // Chosen from the menu, a model opens as the open command would.
    AddThroughDialog(kChannelsCategory);
    Trigger("RecentModel2");  // the save question answered No
    EXPECT_EQ(form.FileName(), Model("b.qsf"));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList());
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].text, QStringLiteral("Сохранить текущую модель?"));
    EXPECT_EQ(form.RecentPaths().front(), Model("b.qsf"));
}

TEST_F(RecentModelsTest, EightAtMost) {
    for (int i = 1; i <= 10; ++i)
        SaveAs(Model(QStringLiteral("m%1.qsf").arg(i).toUtf8().constData()));
    ASSERT_EQ(form.RecentPaths().size(), 8);
    EXPECT_EQ(form.RecentPaths().front(), Model("m10.qsf"));
    EXPECT_EQ(form.RecentPaths().back(), Model("m3.qsf"));
    EXPECT_NE(Action("RecentModel8"), nullptr);
    EXPECT_EQ(Action("RecentModel9"), nullptr);
}

TEST_F(RecentModelsTest, TheListOutlivesTheWindow) {
    SaveAs(Model("a.qsf"));
    SaveAs(Model("b.qsf"));
    settings.reset();
    // The program started again, with the same settings file.
    QSettings again(SettingsPath(), QSettings::IniFormat);
    test::RecordingServices otherIo;
    TMainForm restarted(otherIo.services());
    restarted.SetRecentSettings(&again);
    EXPECT_EQ(restarted.RecentPaths(), QStringList({Model("b.qsf"), Model("a.qsf")}));
    EXPECT_EQ(restarted.findChild<QAction*>(QStringLiteral("RecentModel2"))->text(),
              QStringLiteral("&2 ") + Model("a.qsf"));
    // Nothing of the model is kept there.
    EXPECT_EQ(again.allKeys(), QStringList({QStringLiteral("recentModels")}));
}

TEST_F(RecentModelsTest, AMissingFileIsReportedAndLeavesTheList) {
    SaveAs(Model("a.qsf"));
    SaveAs(Model("b.qsf"));
    ASSERT_TRUE(QFile::remove(Model("a.qsf")));
    Trigger("RecentModel2");
    ASSERT_FALSE(io.messages.shown.empty());
    EXPECT_EQ(io.messages.shown.back().caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(io.messages.shown.back().text, QStringLiteral("Невозможно открыть файл \"") +
                                                 Model("a.qsf") +
                                                 QStringLiteral("\" для чтения."));
    EXPECT_EQ(form.RecentPaths(), QStringList({Model("b.qsf")}));
    EXPECT_EQ(Action("RecentModel2"), nullptr);
    EXPECT_EQ(form.FileName(), Model("b.qsf")) << "the model stays";
    QSettings stored(SettingsPath(), QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("recentModels")).toStringList(),
              QStringList({Model("b.qsf")}));

    // Alt and the number open it from anywhere in the window.
    AddThroughDialog(kQueuesCategory);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    io.messages.answers = {kButtonNo};
    QTest::keySequence(&form, QKeySequence(Qt::ALT | Qt::Key_1));
    EXPECT_EQ(Entries(kQueuesCategory), QStringList());
}

TEST_F(RecentModelsTest, MissingOrForeignSettingsGiveAnEmptyList) {
    QSettings none(dir.filePath(QStringLiteral("nowhere/none.conf")), QSettings::IniFormat);
    form.SetRecentSettings(&none);
    EXPECT_TRUE(form.RecentPaths().isEmpty());
    EXPECT_EQ(MenuTexts(), QStringList({"N14", "N11", "N12", "N13", "N2"}));

    const QString odd = dir.filePath(QStringLiteral("odd.conf"));
    {
        QFile f(odd);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\nrecentModels=5, relative.qsf, , /abs/one.qsf\n\x01\x02garbage\n");
    }
    QSettings foreign(odd, QSettings::IniFormat);
    form.SetRecentSettings(&foreign);
    EXPECT_EQ(form.RecentPaths(), QStringList({QStringLiteral("/abs/one.qsf")}));
    form.SetRecentSettings(nullptr);
    EXPECT_TRUE(form.RecentPaths().isEmpty());
}

}  // namespace
}  // namespace marvolt
