// The camera properties panel on its own: its rows come from the property table, each on its page
// with its caption and, where the table has them, its -/+ buttons.
#include "remote/ui/TRemotePropertyPanel.h"

#include "remote/RemotePropertyTable.h"

#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(RemotePropertyPanel, BuildsARowForEachPropertyOfTheTable)
{
    TRemotePropertyPanel panel;
    int choices = 0;
    for (const RemotePropertyTable::TRow& row : RemotePropertyTable::Rows()) {
        const QString property = QString::fromLatin1(row.Property);
        const QWidget* page = row.Page == RemotePropertyTable::TPage::General
            ? static_cast<QWidget*>(panel.tsGeneral)
            : static_cast<QWidget*>(panel.tsAdditional);
        const auto* choice = page->findChild<QComboBox*>(QString::fromLatin1(row.Choice));
        ASSERT_NE(choice, nullptr) << row.Choice;
        EXPECT_EQ(panel.Choice(property), choice);
        ++choices;
        const auto* caption = page->findChild<QLabel*>(QString::fromLatin1(row.Caption));
        ASSERT_NE(caption, nullptr) << row.Caption;
        if (row.CaptionText) {
            EXPECT_EQ(caption->text(), QString::fromUtf8(row.CaptionText));
        }
        for (const char* button : { row.DownButton, row.UpButton }) {
            if (button) {
                EXPECT_NE(page->findChild<QToolButton*>(QString::fromLatin1(button)), nullptr) << button;
            }
        }
    }
    // The table's choices and the self-timer, nothing else.
    EXPECT_EQ(panel.findChildren<QComboBox*>().size(), choices + 1);
    EXPECT_EQ(
        panel.findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^btn.*(Up|Down)$"))).size(), 8);
    EXPECT_EQ(panel.cbxSelfTimer->parentWidget(), panel.tsGeneral);
}

} // namespace
