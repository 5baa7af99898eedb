// The name dialog: when it checks the name it is given.
#include "editor/add_object_form.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "recording_services.h"

namespace marvolt {
namespace {

class NameDialogTest : public ::testing::Test {
  protected:
    NameDialogTest() : dialog(messages) {
        model.AddGenerator("Генератор1");
        dialog.model = &model;
    }

    // Runs the dialog modally; the action happens once it is up.
    int Run(std::function<void()> action) {
        QTimer::singleShot(0, &dialog, [this, action] {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            action();
            // Whatever the action left open is closed, so the test cannot hang.
            QTimer::singleShot(0, &dialog, [this] {
                if (dialog.isVisible())
                    dialog.done(-1);
            });
        });
        return dialog.exec();
    }

    test::RecordingMessages messages;
    CQueuingSystem model;
    TAddObjectForm dialog;
};

TEST_F(NameDialogTest, ShowsWithTheFocusInTheNameField) {
    dialog.NameEdit->setText(QStringLiteral("Канал1"));
    bool focused = false;
    Run([&] {
        focused = dialog.NameEdit->hasFocus();
        dialog.BitBtn1->click();
    });
    EXPECT_TRUE(focused);
    EXPECT_EQ(dialog.NameEdit->text(), QStringLiteral("Канал1"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NameDialogTest, LeavingTheFieldWithATakenNameWarnsAndReturnsTheFocus) {
    dialog.NameEdit->setText(QStringLiteral("Генератор1"));
    bool backInField = false;
    Run([&] {
        dialog.BitBtn2->setFocus(Qt::TabFocusReason);
        QTest::qWait(20);
        backInField = QApplication::focusWidget() == dialog.NameEdit;
        dialog.reject();
    });
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Предупреждение"));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::kWarning);
    EXPECT_EQ(messages.shown[0].buttons, kButtonYes | kButtonNo);
    EXPECT_TRUE(
        messages.shown[0].text.startsWith(QStringLiteral("Объект с именем \"Генератор1\"")));
    EXPECT_TRUE(backInField);
}

TEST_F(NameDialogTest, EnterInTheFieldChecksTheNameBeforeClosing) {
    dialog.NameEdit->setText(QStringLiteral("  "));
    const int result = Run([&] { QTest::keyClick(dialog.NameEdit, Qt::Key_Return); });
    EXPECT_NE(result, QDialog::Accepted);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("Имя объекта не должно")));

    messages.shown.clear();
    dialog.NameEdit->setText(QStringLiteral("Канал1"));
    EXPECT_EQ(Run([&] { QTest::keyClick(dialog.NameEdit, Qt::Key_Return); }), QDialog::Accepted);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NameDialogTest, CancelClosesWithoutJudgingTheName) {
    dialog.NameEdit->setText(QString());
    const int result = Run([&] {
        QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
        QTest::qWait(20);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(messages.shown.empty());
}

// A real click lets the event loop run between press and release.
TEST_F(NameDialogTest, SlowCancelClickClosesWithoutJudgingTheName) {
    dialog.NameEdit->setText(QString());
    const int result = Run([&] {
        QTest::mousePress(dialog.BitBtn2, Qt::LeftButton);
        QTest::qWait(80);
        QTest::mouseRelease(dialog.BitBtn2, Qt::LeftButton);
        QTest::qWait(20);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NameDialogTest, SlowOkClickJudgesTheNameOnce) {
    dialog.NameEdit->setText(QString());
    Run([&] {
        QTest::mousePress(dialog.BitBtn1, Qt::LeftButton);
        QTest::qWait(80);
        QTest::mouseRelease(dialog.BitBtn1, Qt::LeftButton);
        QTest::qWait(20);
    });
    EXPECT_EQ(messages.shown.size(), 1u);
}

}  // namespace
}  // namespace marvolt
