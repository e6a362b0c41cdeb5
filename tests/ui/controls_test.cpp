// The program's own controls: flat buttons and transparent labels over the
// shared background, and the hyperlink with a replaced opener.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>
#include <QTest>
#include <functional>
#include <memory>

#include "ui/erase_handler.h"
#include "ui/ex_static.h"
#include "ui/flat_button.h"
#include "ui/hyper_link.h"
#include "ui/messages.h"

namespace {

constexpr int kOpaqueRed = 64002;  // 4 x 4 test bitmap with an alpha channel
const QColor kWhite(255, 255, 255);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

// A background that is blue in the erase window's top-left 100 x 100 pixels
// and yellow elsewhere, so a control shows which part of it it painted.
class QuadrantBackground final : public CEraseHandler {
public:
    explicit QuadrantBackground(QWidget* window) : m_window(window) {}
    void EraseBackground(QPainter& painter) override
    {
        painter.fillRect(QRect(-1000, -1000, 3000, 3000), kYellow);
        painter.fillRect(QRect(0, 0, 100, 100), kBlue);
    }
    QWidget* GetEraseWnd() override { return m_window; }

private:
    QWidget* m_window;
};

struct TransparentCase {
    const char* name;
    std::function<QWidget*(QWidget* parent, CEraseHandler* handler)> make;
};

const TransparentCase kTransparentCases[] = {
    {"flat_button",
     [](QWidget* parent, CEraseHandler* handler) {
         auto* button = new CFlatButton(kWhite, kWhite, Qt::black, Qt::black, parent);
         button->SetEraseHandler(handler);
         return static_cast<QWidget*>(button);
     }},
    {"ex_static",
     [](QWidget* parent, CEraseHandler* handler) {
         auto* label = new CExStatic(QString(), parent);
         label->SetEraseHandler(handler);
         return static_cast<QWidget*>(label);
     }},
};

class TransparentControl : public testing::TestWithParam<TransparentCase> {};

TEST_P(TransparentControl, ShowsTheBackgroundPartBehindIt)
{
    QWidget view;
    view.resize(300, 300);
    auto* page = new QWidget(&view);
    page->setGeometry(40, 50, 200, 200);
    QuadrantBackground background(&view);
    QWidget* control = GetParam().make(page, &background);
    control->setGeometry(50, 40, 20, 20);  // covers (90..110, 90..110) of the view

    const QImage shown = control->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(5, 5)), kBlue);
    EXPECT_EQ(QColor(shown.pixel(15, 15)), kYellow);
    EXPECT_EQ(QColor(shown.pixel(15, 5)), kYellow);
}

INSTANTIATE_TEST_SUITE_P(Controls, TransparentControl, testing::ValuesIn(kTransparentCases),
                         [](const auto& info) { return std::string(info.param.name); });

QColor PictureCentre(CFlatButton& button)
{
    button.resize(40, 40);
    const QImage shown = button.grab().toImage();
    return shown.pixelColor(19, 19);
}

TEST(FlatButton, DisabledPictureIsHalfTransparent)
{
    CFlatButton button(kWhite, kBlue, Qt::black, Qt::white);
    button.SetImageId(kOpaqueRed);
    EXPECT_EQ(PictureCentre(button), QColor(255, 0, 0));

    button.setEnabled(false);
    const QColor faded = PictureCentre(button);
    EXPECT_EQ(faded.red(), 255);
    EXPECT_NEAR(faded.green(), 127, 1);
    EXPECT_NEAR(faded.blue(), 127, 1);
}

TEST(FlatButton, PressedButtonUsesThePressedFace)
{
    CFlatButton button(kWhite, kBlue, Qt::black, Qt::white);
    button.resize(40, 40);
    EXPECT_EQ(button.grab().toImage().pixelColor(2, 2), kWhite);
    button.setDown(true);
    EXPECT_EQ(button.grab().toImage().pixelColor(2, 2), kBlue);
}

TEST(FlatButton, PictureSitsHigherAboveACaption)
{
    CFlatButton button(kWhite, kBlue, Qt::black, Qt::white);
    button.SetImageId(kOpaqueRed);
    button.resize(40, 40);
    // 4 x 4 picture: rows 18..21 alone, rows 10..13 with a caption.
    EXPECT_EQ(button.grab().toImage().pixelColor(19, 11), kWhite);
    button.setText(QStringLiteral("Go"));
    const QImage shown = button.grab().toImage();
    EXPECT_EQ(shown.pixelColor(19, 11), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(19, 15), kWhite);
}

// Records the message boxes with their icons.
class RecordingMessages final : public MessagePresenter {
public:
    RecordingMessages() : m_scope(*this) {}
    void ShowMessageBox(const QString& text, MessageIcon icon) override
    {
        texts << text;
        icons << icon;
    }
    void ShowErrorDialog(const QString& text) override { texts << text; }
    bool AskYesNo(const QString& text, MessageIcon icon) override
    {
        ShowMessageBox(text, icon);
        return false;
    }

    QStringList texts;
    QList<MessageIcon> icons;

private:
    ScopedMessagePresenter m_scope;
};

struct OpenerRecord {
    QStringList addresses;
    int result = 33;
};

struct LinkFixture : testing::Test {
    LinkFixture()
        : opener([this](const QString& address) {
              opened.addresses << address;
              return opened.result;
          })
    {
        link.SetLink(QStringLiteral("http://127.0.0.1/help"));
        link.resize(200, 20);
    }
    void Click() { QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5)); }

    OpenerRecord opened;
    ScopedLinkOpener opener;
    RecordingMessages messages;
    CHyperLink link{QStringLiteral("Help")};
};

TEST_F(LinkFixture, SuccessfulOpenTurnsTheVisitedColour)
{
    EXPECT_EQ(link.CurrentColor(), QColor(0, 0, 238));
    Click();
    EXPECT_EQ(opened.addresses, QStringList{QStringLiteral("http://127.0.0.1/help")});
    EXPECT_TRUE(link.WasOpened());
    EXPECT_EQ(link.CurrentColor(), QColor(85, 26, 139));
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(LinkFixture, FailedOpenExplainsWhy)
{
    opened.result = 2;
    Click();
    EXPECT_FALSE(link.WasOpened());
    EXPECT_EQ(link.CurrentColor(), QColor(0, 0, 238));
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_EQ(messages.texts.front(), QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found."));
    EXPECT_EQ(messages.icons.front(), MessageIcon::Warning);
}

TEST_F(LinkFixture, HoverTurnsHotAndUnderlinesUntilTheMouseLeaves)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), QPointF(6, 6), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&link, &move);
    EXPECT_TRUE(link.IsHot());
    EXPECT_EQ(link.CurrentColor(), QColor(255, 0, 0));
    EXPECT_TRUE(link.font().underline());

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_FALSE(link.IsHot());
    EXPECT_FALSE(link.font().underline());
}

TEST_F(LinkFixture, AlwaysUnderlinedStaysUnderlined)
{
    link.SetUnderlineMode(CHyperLink::UnderlineAlways);
    EXPECT_TRUE(link.font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_TRUE(link.font().underline());
}

TEST_F(LinkFixture, AddressIsTheTooltip)
{
    EXPECT_EQ(link.toolTip(), QStringLiteral("http://127.0.0.1/help"));
    EXPECT_EQ(link.text(), QStringLiteral("Help"));
}

TEST(HyperlinkWithoutText, ShowsItsAddress)
{
    CHyperLink link;
    link.SetLink(QStringLiteral("http://127.0.0.1/"));
    EXPECT_EQ(link.text(), QStringLiteral("http://127.0.0.1/"));
}

struct FitCase {
    const char* name;
    Qt::Alignment alignment;
    // Where the fitted text's top-left lands, for the text's size, when the
    // control was (100, 10) 200 x 40.
    std::function<QPoint(QSize)> topLeft;
};

const FitCase kFitCases[] = {
    {"left_top_stays", Qt::AlignLeft | Qt::AlignTop, [](QSize) { return QPoint(100, 10); }},
    {"right_edge_stays", Qt::AlignRight | Qt::AlignTop, [](QSize s) { return QPoint(300 - s.width(), 10); }},
    {"centred_across", Qt::AlignHCenter | Qt::AlignTop,
     [](QSize s) { return QPoint(100 + (200 - s.width()) / 2, 10); }},
    {"centred_down", Qt::AlignLeft | Qt::AlignVCenter,
     [](QSize s) { return QPoint(100, 10 + (40 - s.height()) / 2); }},
};

class HyperlinkFit : public testing::TestWithParam<FitCase> {};

TEST_P(HyperlinkFit, KeepsTheEdgesItsAlignmentNames)
{
    CHyperLink link(QStringLiteral("Go"));
    link.setAlignment(GetParam().alignment);
    link.setGeometry(100, 10, 200, 40);
    link.FitToText();
    ASSERT_LT(link.width(), 200);
    ASSERT_LT(link.height(), 40);
    EXPECT_EQ(link.pos(), GetParam().topLeft(link.size()));
}

INSTANTIATE_TEST_SUITE_P(Alignments, HyperlinkFit, testing::ValuesIn(kFitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HyperlinkErrors, NamesEveryKnownResult)
{
    const std::pair<int, const char*> cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {26, "A sharing violation occurred. "},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {1, "Unknown Error (1) occurred."},
        {99, "Unknown Error (99) occurred."},
    };
    for (const auto& [result, text] : cases)
        EXPECT_EQ(HyperlinkErrorText(result), QString::fromLatin1(text)) << result;
}

}  // namespace
