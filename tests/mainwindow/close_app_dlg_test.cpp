#include "app/close_app_dlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

struct CloseCase {
    int checked;  // the radio button checked before closing
    bool ok;      // closed with OK, else with Escape
    int choice;
};

class CloseAppDlgTest : public testing::TestWithParam<CloseCase> {};

TEST_P(CloseAppDlgTest, ChoiceIsTheCheckedButtonOnlyAfterOk)
{
    const CloseCase& c = GetParam();
    CCloseAppDlg dialog;
    dialog.show();
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QString::number(CLOSE_NO))->isChecked());
    dialog.findChild<QRadioButton*>(QString::number(c.checked))->setChecked(true);
    if (c.ok) {
        dialog.accept();
    } else {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &escape);
    }
    EXPECT_EQ(dialog.result(), c.ok ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(dialog.Choice(), c.choice);
}

INSTANTIATE_TEST_SUITE_P(Choices, CloseAppDlgTest,
                         testing::Values(CloseCase{CLOSE_YES, true, CLOSE_YES},
                                         CloseCase{CLOSE_POWER_OFF, true, CLOSE_POWER_OFF},
                                         CloseCase{CLOSE_NO, true, CLOSE_NO},
                                         CloseCase{CLOSE_YES, false, CLOSE_NO},
                                         CloseCase{CLOSE_POWER_OFF, false, CLOSE_NO}));

TEST(CloseAppDlg, ShowsTheApplicationNameInsteadOfThePlaceholder)
{
    CCloseAppDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Orvex Tavimo"));
}

}  // namespace
