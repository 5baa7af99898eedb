// The table window: its size and strip, and the copy as a formatted table.
#include "results/table_form.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "tests/editor/recording_services.h"

namespace marvolt {
namespace {

TEST(TableWindowTest, WidthFollowsTheTextsUpTo800) {
    test::RecordingServices io;
    TTableForm form(io.services());
    form.SetTable(QStringLiteral("Распределение"), QString(), {{"a", "1"}, {"b", "2"}});
    form.show();
    QCoreApplication::processEvents();
    EXPECT_LT(form.width(), 800);
    auto* grid = form.findChild<QTableWidget*>(QStringLiteral("ResultsSG"));
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->item(1, 1)->text(), "2");
    EXPECT_EQ(form.findChild<QFrame*>(QStringLiteral("Panel2"))->frameShape(), QFrame::NoFrame);
    form.close();

    std::vector<std::string> wide(30, std::string(20, 'W'));
    form.SetTable(QStringLiteral("Зависимости"), QStringLiteral("Метка"), {wide, wide});
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.width(), 800);
    EXPECT_NE(form.findChild<QFrame*>(QStringLiteral("Panel2"))->frameShape(), QFrame::NoFrame);
    form.close();
}

TEST(TableWindowTest, CopyPutsTheTableInEveryForm) {
    test::RecordingServices io;
    TTableForm form(io.services());
    form.SetTable(QStringLiteral("Т"), QString(),
                  {{"Значение", "0", "1"}, {"Абсолютная частота", "3", "4"}});
    form.show();
    form.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
    ASSERT_EQ(io.clipboard.formatted.size(), 1u);
    const test::FormattedContent& c = io.clipboard.formatted[0];
    EXPECT_EQ(c.text, "Значение\t0\t1\nАбсолютная частота\t3\t4\n");
    EXPECT_EQ(c.html.count("<tr>"), 2);
    EXPECT_TRUE(c.rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(io.messages.shown.empty());

    io.clipboard.refuseFormatted = true;
    form.BitBtn2Click();
    ASSERT_EQ(io.messages.shown.size(), 1u);
    EXPECT_EQ(io.messages.shown[0].text, kTableCopyFailed);
    EXPECT_EQ(io.messages.shown[0].caption, kCaptionError);
    EXPECT_EQ(io.messages.shown[0].icon, MessageIcon::kError);
    EXPECT_TRUE(form.isVisible()) << "the window stays usable";
    form.close();
}

TEST(TableWindowTest, TheToolkitClipboardHoldsEveryForm) {
    QtClipboardService clipboard;
    ASSERT_TRUE(clipboard.SetFormatted(QStringLiteral("<table><tr><td>1</td></tr></table>"),
                                       QByteArray("{\\rtf1 1}"), QStringLiteral("1\n")));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasHtml());
    EXPECT_EQ(data->text(), "1\n");
    EXPECT_EQ(data->data(QStringLiteral("text/rtf")), QByteArray("{\\rtf1 1}"));
}

}  // namespace
}  // namespace marvolt
