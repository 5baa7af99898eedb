// The boxes the refusals of the model commands are shown in.
#include "editor/message_service.h"

#include <gtest/gtest.h>

#include "recording_services.h"

namespace marvolt {
namespace {

TEST(ShowRefusalTest, EachClassOfRefusalHasItsCaptionAndIcon) {
    test::RecordingMessages messages;
    ShowRefusal(messages, {});
    EXPECT_TRUE(messages.shown.empty());

    const struct {
        RefusalBox box;
        QString caption;
        MessageIcon icon;
    } boxes[] = {
        {RefusalBox::kWarning, QStringLiteral("Предупреждение"), MessageIcon::kWarning},
        {RefusalBox::kNotice, QStringLiteral("Сообщение"), MessageIcon::kInformation},
        {RefusalBox::kNoticeWarning, QStringLiteral("Сообщение"), MessageIcon::kWarning},
        {RefusalBox::kError, QStringLiteral("Ошибка"), MessageIcon::kWarning},
    };
    for (const auto& b : boxes) {
        ShowRefusal(messages, {b.box, "Сток \"Выход\" занят."});
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().caption, b.caption);
        EXPECT_EQ(messages.shown.back().icon, b.icon);
        EXPECT_EQ(messages.shown.back().buttons, kButtonOk);
        EXPECT_EQ(messages.shown.back().text, QStringLiteral("Сток \"Выход\" занят."));
    }
    EXPECT_EQ(messages.shown.size(), 4u);
}

}  // namespace
}  // namespace marvolt
