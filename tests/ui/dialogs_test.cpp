// The dialog base puts the application's name where the texts hold the
// placeholder; the error dialog shows its text and frees itself when closed.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <functional>

#include "res/string_table.h"
#include "ui/base_dialog.h"
#include "ui/control_id.h"
#include "ui/error_dialog.h"

namespace {

const QString kPlaceholder = QStringLiteral("§APPNAME§");

class NamedDialog final : public CBaseDialog {
public:
    NamedDialog()
    {
        setWindowTitle(kPlaceholder + QStringLiteral(" Setup"));
        label = new QLabel(QStringLiteral("Welcome to %1. %1 converts.").arg(kPlaceholder), this);
        button = new QPushButton(QStringLiteral("Close %1").arg(kPlaceholder), this);
        group = new QGroupBox(kPlaceholder, this);
        nested = new QLabel(QStringLiteral("About %1").arg(kPlaceholder), group);
        plain = new QLabel(QStringLiteral("No name here"), this);
    }

    QLabel* label;
    QPushButton* button;
    QGroupBox* group;
    QLabel* nested;
    QLabel* plain;
    int initCalls = 0;

protected:
    void OnInitDialog() override
    {
        CBaseDialog::OnInitDialog();
        ++initCalls;
    }
};

TEST(BaseDialog, PutsTheApplicationNameIntoEveryText)
{
    NamedDialog dialog;
    dialog.show();
    const QString name = AppName();
    EXPECT_EQ(dialog.windowTitle(), name + QStringLiteral(" Setup"));
    EXPECT_EQ(dialog.label->text(), QStringLiteral("Welcome to %1. %1 converts.").arg(name));
    EXPECT_EQ(dialog.button->text(), QStringLiteral("Close ") + name);
    EXPECT_EQ(dialog.group->title(), name);
    EXPECT_EQ(dialog.nested->text(), QStringLiteral("About ") + name);
    EXPECT_EQ(dialog.plain->text(), QStringLiteral("No name here"));
}

TEST(BaseDialog, InitialisesOnlyOnTheFirstShow)
{
    NamedDialog dialog;
    dialog.show();
    dialog.hide();
    dialog.label->setText(kPlaceholder);
    dialog.show();
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(dialog.label->text(), kPlaceholder);
}

void ProcessDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(ErrorDialog, ShowsTheMessageModelessly)
{
    QWidget owner;
    owner.show();
    QPointer<CErrorDialog> dialog = new CErrorDialog(QStringLiteral("The transfer failed."), &owner);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), AppName());
    auto* text = qobject_cast<QTextEdit*>(ControlById(dialog, CErrorDialog::TextControl));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toPlainText(), QStringLiteral("The transfer failed."));
    EXPECT_TRUE(text->isReadOnly());
    auto* icon = qobject_cast<QLabel*>(ControlById(dialog, CErrorDialog::IconControl));
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_TRUE(owner.isEnabled());
    delete dialog;
}

struct CloseCase {
    const char* name;
    std::function<void(CErrorDialog&)> close;
};

const CloseCase kCloseCases[] = {
    {"close_box", [](CErrorDialog& dialog) { dialog.close(); }},
    {"ok_button",
     [](CErrorDialog& dialog) {
         auto* ok = qobject_cast<QPushButton*>(ControlById(&dialog, CErrorDialog::OkButton));
         ASSERT_NE(ok, nullptr);
         QTest::mouseClick(ok, Qt::LeftButton);
     }},
    {"escape_key", [](CErrorDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }},
};

class ErrorDialogClosing : public testing::TestWithParam<CloseCase> {};

TEST_P(ErrorDialogClosing, FreesItself)
{
    QPointer<CErrorDialog> dialog = new CErrorDialog(QStringLiteral("Gone soon."));
    QPointer<CErrorDialog> other = new CErrorDialog(QStringLiteral("Stays."));
    GetParam().close(*dialog);
    ProcessDeferredDeletes();
    EXPECT_TRUE(dialog.isNull());
    ASSERT_FALSE(other.isNull());
    EXPECT_TRUE(other->isVisible());
    delete other;
}

INSTANTIATE_TEST_SUITE_P(Ways, ErrorDialogClosing, testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ErrorDialog, WrapsALongTextAndScrollsIt)
{
    QStringList words;
    for (int i = 0; i < 400; ++i)
        words << QStringLiteral("word%1").arg(i);
    auto* dialog = new CErrorDialog(words.join(QLatin1Char(' ')));
    auto* text = qobject_cast<QTextEdit*>(ControlById(dialog, CErrorDialog::TextControl));
    ASSERT_NE(text, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(text->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(text->verticalScrollBar()->maximum(), 0);
    delete dialog;
}

}  // namespace
