// The program's start: its windows, and a model named on the command line.
#include "app/program.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "editor/scheme_picture.h"
#include "recording_services.h"

namespace marvolt {
namespace {

const QString kSourceDir = QStringLiteral(MARVOLT_SOURCE_DIR);

QStringList Children(TMainForm& form, TreeCategory category) {
    QStringList names;
    QTreeWidgetItem* entry = form.TreePanel().Category(category);
    for (int i = 0; i < entry->childCount(); ++i)
        names << entry->child(i)->text(0);
    return names;
}

TEST(ProgramTest, StartsWithOnlyTheMainWindowShownMaximised) {
    test::RecordingServices io;
    Program program(io.services());
    program.Start({QStringLiteral("marvolt")});
    QCoreApplication::processEvents();
    EXPECT_TRUE(program.MainForm().isMaximized());
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            EXPECT_EQ(w, &program.MainForm()) << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(program.MainForm().windowTitle(), kTitleBase);
    EXPECT_TRUE(io.messages.shown.empty());

    // The name dialog and the about box are attached, and open over the main window.
    QString proposed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->parentWidget(), &program.MainForm());
        proposed = dialog->findChild<QLineEdit*>(QStringLiteral("NameEdit"))->text();
        dialog->reject();
    });
    program.MainForm().findChild<QToolButton*>(QStringLiteral("ReqToolButton"))->click();
    EXPECT_EQ(proposed, QStringLiteral("Тип_заявки2"));
    QString aboutTitle;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->parentWidget(), &program.MainForm());
        aboutTitle = dialog->windowTitle();
        dialog->accept();
    });
    program.MainForm().findChild<QAction*>(QStringLiteral("N5"))->trigger();
    EXPECT_EQ(aboutTitle, QStringLiteral("О программе"));
}

TEST(ProgramTest, AModelNamedOnTheCommandLineOpensAsTheOpenCommandWould) {
    test::RecordingServices io;
    Program program(io.services());
    // Named relative to where the program was started, as a shell passes it.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(kSourceDir));
    program.Start({QStringLiteral("marvolt"), QStringLiteral("examples/mm1.qsf")});
    QDir::setCurrent(before);
    QCoreApplication::processEvents();

    TMainForm& form = program.MainForm();
    EXPECT_TRUE(io.messages.shown.empty());  // no save question about the fresh model
    EXPECT_EQ(form.FileName(), kSourceDir + QStringLiteral("/examples/mm1.qsf"));
    EXPECT_EQ(form.windowTitle(), kTitleBase + QStringLiteral(" - [mm1.qsf]"));
    EXPECT_EQ(form.Model()->modelName, "Одноканальная СМО M/M/1");
    EXPECT_EQ(Children(form, kQueuesCategory), QStringList({"Накопитель1"}));
    EXPECT_EQ(Children(form, kChannelsCategory), QStringList({"Канал1"}));
    EXPECT_EQ(Children(form, kSinksCategory), QStringList({"Сток отказов", "Сток1"}));
    EXPECT_EQ(form.View().Model, form.Model());
    // The scheme shows it: the queue's picture is on the bitmap.
    const CQSObject* queue = form.Model()->FindNode("Накопитель1");
    ASSERT_NE(queue, nullptr);
    EXPECT_NE(form.Scheme().Picture().Bitmap().pixel(queue->x + 24, queue->y + 10),
              qRgb(255, 255, 255));
    EXPECT_TRUE(form.isVisible());
}

TEST(ProgramTest, AMissingOrDamagedModelIsReportedAndTheFreshModelStays) {
    QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("damaged.qsf"));
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("NAME\x05garbage");
    }
    const QString absent = dir.filePath(QStringLiteral("absent.qsf"));
    const struct {
        QString path;
        QString message;
    } cases[] = {
        {absent, QStringLiteral("Невозможно открыть файл \"") + absent +
                     QStringLiteral("\" для чтения.")},
        {damaged, QStringLiteral("Ошибка при чтении файла \"") + damaged + QStringLiteral("\".")},
    };
    for (const auto& c : cases) {
        test::RecordingServices io;
        Program program(io.services());
        program.Start({QStringLiteral("marvolt"), c.path});
        ASSERT_EQ(io.messages.shown.size(), 1u);
        EXPECT_EQ(io.messages.shown[0].caption, QStringLiteral("Ошибка"));
        EXPECT_EQ(io.messages.shown[0].icon, MessageIcon::kWarning);
        EXPECT_EQ(io.messages.shown[0].text, c.message);
        TMainForm& form = program.MainForm();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.windowTitle(), kTitleBase);
        EXPECT_TRUE(form.FileName().isEmpty());
        ASSERT_EQ(form.Model()->nodeCount(), 2);
        EXPECT_EQ(Children(form, kGeneratorsCategory), QStringList({"Генератор1"}));
        EXPECT_EQ(Children(form, kSinksCategory), QStringList({"Сток отказов"}));
    }
}

TEST(ProgramTest, OnlyTheFirstArgumentNamesAModel) {
    EXPECT_TRUE(StartupModelPath({}).isEmpty());
    EXPECT_TRUE(StartupModelPath({QStringLiteral("marvolt")}).isEmpty());
    EXPECT_TRUE(StartupModelPath({QStringLiteral("marvolt"), QString()}).isEmpty());
    EXPECT_EQ(StartupModelPath({QStringLiteral("marvolt"), QStringLiteral("/m/a.qsf"),
                                QStringLiteral("/m/b.qsf")}),
              QStringLiteral("/m/a.qsf"));
}

}  // namespace
}  // namespace marvolt
