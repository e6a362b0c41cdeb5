// Where Help → Contents finds the user manual: beside the program, where it
// is installed, or in the build tree; and what it says when there is none.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/kestrel_app.h"
#include "tests/app/qstring_printer.h"
#include "tests/app/recording_presenters.h"

namespace {

struct HelpCase {
    const char* name;
    // Made under a temporary folder; a trailing "/" makes a folder.
    std::vector<const char*> layout;
    const char* program;
    const char* expected;  // "" for none
};

const HelpCase kHelpCases[] = {
    {"nothing anywhere", {}, "bin/tavimo", ""},
    {"pdf beside the program", {"bin/tavimo.pdf"}, "bin/tavimo", "bin/tavimo.pdf"},
    {"chm before pdf", {"bin/tavimo.pdf", "bin/tavimo.chm"}, "bin/tavimo", "bin/tavimo.chm"},
    {"Demo dropped from the name", {"bin/X.pdf"}, "bin/XDemo.exe", "bin/X.pdf"},
    {"installed under the prefix", {"share/doc/orvex-tavimo/manual.pdf"}, "bin/tavimo",
     "share/doc/orvex-tavimo/manual.pdf"},
    {"installed under usr", {"usr/share/doc/orvex-tavimo/manual.pdf"}, "usr/bin/tavimo",
     "usr/share/doc/orvex-tavimo/manual.pdf"},
    {"build tree", {"doc/manual.pdf"}, "app/tavimo", "doc/manual.pdf"},
    {"beside before installed", {"bin/tavimo.pdf", "share/doc/orvex-tavimo/manual.pdf"}, "bin/tavimo",
     "bin/tavimo.pdf"},
    {"installed before build tree", {"doc/manual.pdf", "share/doc/orvex-tavimo/manual.pdf"}, "bin/tavimo",
     "share/doc/orvex-tavimo/manual.pdf"},
    {"a folder is no manual", {"share/doc/orvex-tavimo/manual.pdf/", "bin/tavimo.pdf/"}, "bin/tavimo", ""},
    {"another package's manual", {"share/doc/other/manual.pdf", "bin/other.pdf"}, "bin/tavimo", ""},
};

bool Make(const QDir& root, const QString& entry)
{
    if (entry.endsWith(QLatin1Char('/')))
        return root.mkpath(entry);
    if (!root.mkpath(QFileInfo(entry).path()))
        return false;
    QFile file(root.filePath(entry));
    return file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4\n") > 0;
}

TEST(HelpFile, FindsTheManualInTheOrderOfTheTable)
{
    for (const HelpCase& helpCase : kHelpCases) {
        SCOPED_TRACE(helpCase.name);
        QTemporaryDir temporary;
        ASSERT_TRUE(temporary.isValid());
        const QDir root(temporary.path());
        for (const char* entry : helpCase.layout)
            ASSERT_TRUE(Make(root, QString::fromUtf8(entry))) << entry;
        const QString expected =
            *helpCase.expected ? root.filePath(QString::fromUtf8(helpCase.expected)) : QString();
        EXPECT_EQ(CKestrelApp::HelpFilePath(root.filePath(QString::fromUtf8(helpCase.program))), expected);
    }
}

TEST(HelpFile, ContentsWithoutAManualSaysWhereItBelongs)
{
    // The test program's folder holds no manual by any of the names.
    ASSERT_EQ(CKestrelApp::HelpFilePath(QCoreApplication::applicationFilePath()), QString());
    program_testing::RecordingPresenter presenter;
    CKestrelApp app;
    app.OnHelpContents();
    ASSERT_EQ(presenter.messages.size(), 1);
    EXPECT_TRUE(presenter.messages.front().contains(QStringLiteral("share/doc/orvex-tavimo/manual.pdf")))
        << presenter.messages.front().toStdString();
}

}  // namespace
