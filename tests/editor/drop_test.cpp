// Model files dropped on the main window from the desktop.
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "editor/dropped_file.h"
#include "main_window_driver.h"

namespace marvolt {
namespace {

class DropTest : public ::testing::Test, public test::MainWindowDriver {
  protected:
    // Drags the files over the widget and drops them there; true when the drop was taken.
    bool Drop(QWidget* on, const QList<QUrl>& urls, const QString& text = {}) {
        QMimeData mime;
        mime.setUrls(urls);
        if (!text.isEmpty())
            mime.setText(text);
        const QPoint at = on->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(on, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(on, &drop);
        // The file opens once the drop is over.
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }
    QString SavedModel(const char* name) {
        AddThroughDialog(kQueuesCategory);
        const QString path = dir.filePath(QString::fromUtf8(name));
        io.fileDialogs.saveAnswers = {path};
        Trigger("N13");
        Trigger("N14");
        io.messages.shown.clear();
        return path;
    }

    QTemporaryDir dir;
};

TEST(DroppedFileTest, TheFirstLocalFileCounts) {
    QMimeData mime;
    EXPECT_TRUE(DroppedFilePath(&mime).isEmpty());
    mime.setUrls({QUrl(QStringLiteral("https://example.org/a.qsf")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/b.qsf")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/c.qsf"))});
    EXPECT_EQ(DroppedFilePath(&mime), QStringLiteral("/tmp/b.qsf"));
    EXPECT_TRUE(DroppedFilePath(nullptr).isEmpty());
}

TEST_F(DropTest, ADroppedModelOpensAsTheOpenCommandWould) {
    const QString path = SavedModel("net.qsf");
    ASSERT_EQ(Entries(kQueuesCategory), QStringList());
    AddThroughDialog(kChannelsCategory);
    EXPECT_TRUE(Drop(&form, {QUrl::fromLocalFile(path)}));
    // The save question first, answered No.
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].text, QStringLiteral("Сохранить текущую модель?"));
    EXPECT_EQ(form.FileName(), path);
    EXPECT_EQ(Entries(kQueuesCategory), QStringList({"Накопитель1"}));
    EXPECT_EQ(Entries(kChannelsCategory), QStringList());
    EXPECT_EQ(form.windowTitle(), kTitleBase + QStringLiteral(" - [net.qsf]"));
}

TEST_F(DropTest, AFileThatIsNoModelIsRefusedWithTheOpenFailureMessage) {
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("shopping list");
    }
    const CQueuingSystem* before = form.Model();
    EXPECT_TRUE(Drop(&form, {QUrl::fromLocalFile(notes)}));
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(io.messages.shown[0].text,
              QStringLiteral("Ошибка при чтении файла \"") + notes + QStringLiteral("\"."));
    EXPECT_EQ(form.Model(), before);
    EXPECT_TRUE(form.FileName().isEmpty());

    // Text from another program is not a file: not taken.
    EXPECT_FALSE(Drop(&form, {}, QStringLiteral("some text")));
}

TEST_F(DropTest, TheDescriptionFieldPassesDroppedFilesOn) {
    const QString path = SavedModel("memo.qsf");
    const QString text = Memo()->toPlainText();
    EXPECT_TRUE(Drop(Memo()->viewport(), {QUrl::fromLocalFile(path)}, path));
    EXPECT_EQ(form.FileName(), path);
    EXPECT_EQ(Memo()->toPlainText(), text) << "the file's name is not typed into the field";
    EXPECT_TRUE(io.messages.shown.empty()) << "nothing had changed: nothing to ask";
}

}  // namespace
}  // namespace marvolt
