#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "tests/app/qstring_printer.h"

#include "pipeline/device.h"
#include "pipeline/graph_context.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;

TEST(UniqueOutputPath, NumbersFromTwoAndCountsFoldersAsTaken)
{
    TempFolder temp;
    const QString folder = QString::fromStdString(temp.Path().string());
    const CGraphContext context("Movie", "/v/Movie.avi", false);
    EXPECT_EQ(CTargetDevice::MakeUniqueOutputPath(folder, &context, "mp4"), folder + "/Movie.mp4");
    QFile(folder + "/Movie.mp4").open(QIODevice::WriteOnly);
    EXPECT_EQ(CTargetDevice::MakeUniqueOutputPath(folder, &context, "mp4"), folder + "/Movie (2).mp4");
    QFile(folder + "/Movie (2).mp4").open(QIODevice::WriteOnly);
    EXPECT_EQ(CTargetDevice::MakeUniqueOutputPath(folder, &context, "mp4"), folder + "/Movie (3).mp4");
    QDir(folder).mkdir("Movie (3).mp4");
    EXPECT_EQ(CTargetDevice::MakeUniqueOutputPath(folder, &context, "mp4"), folder + "/Movie (4).mp4");
    EXPECT_EQ(CTargetDevice::MakeUniqueOutputPath(folder, &context, "m4a"), folder + "/Movie.m4a");
}

struct NameCase {
    const char* name;      // the task's name, as outside text gave it
    const char* fileName;  // the output file the folder gets
};

// Every output file lands directly in the target folder, whatever the name.
TEST(UniqueOutputPath, KeepsEveryNameInsideTheFolder)
{
    const NameCase cases[] = {
        {"Holiday (Director's Cut) \u2013 \u00c9t\u00e9 2009", "Holiday (Director's Cut) \u2013 \u00c9t\u00e9 2009.mp4"},
        {"  two  spaces ", "  two  spaces.mp4"},
        {"../../etc/passwd", ".._.._etc_passwd.mp4"},
        {"/absolute", "_absolute.mp4"},
        {"a/b", "a_b.mp4"},
        {"back\\slash", "back_slash.mp4"},
        {"..", "__.mp4"},
        {".", "_.mp4"},
        {"...", "___.mp4"},
        {"", "Untitled.mp4"},
        {"tab\there", "tab_here.mp4"},
        {"line\nbreak\r", "line_break_.mp4"},
        {"\x01", "_.mp4"},
        {"del\x7f", "del_.mp4"},
        {"c1\u0085", "c1_.mp4"},
        // What FAT and exFAT forbid or drop.
        {"a:b*c?\"d<e>f|g", "a_b_c__d_e_f_g.mp4"},
        {"Who? Dr. Who...", "Who_ Dr. Who.mp4"},
        {"Title. . ", "Title.mp4"},
        {" ", "_.mp4"},
        {". .", "___.mp4"},
    };
    TempFolder temp;
    const QString folder = QString::fromStdString(temp.Path().string());
    for (const NameCase& test : cases) {
        const CGraphContext context(QString::fromUtf8(test.name), "/v/source.avi", false);
        const QString path = CTargetDevice::MakeUniqueOutputPath(folder, &context, "mp4");
        const QFileInfo cleaned(QDir::cleanPath(path));
        EXPECT_EQ(cleaned.path(), folder) << test.name;
        EXPECT_EQ(cleaned.fileName(), QString::fromUtf8(test.fileName)) << test.name;
    }
}

TEST(UniqueOutputPath, NumbersTheSafeName)
{
    TempFolder temp;
    const QString folder = QString::fromStdString(temp.Path().string());
    QFile(folder + "/a_b.mp4").open(QIODevice::WriteOnly);
    QFile(folder + "/Untitled.mp4").open(QIODevice::WriteOnly);
    const CGraphContext separated("a/b", "/v/a.avi", false);
    EXPECT_EQ(CTargetDevice::MakeUniqueOutputPath(folder, &separated, "mp4"), folder + "/a_b (2).mp4");
    const CGraphContext empty("", "/v/b.avi", false);
    EXPECT_EQ(CTargetDevice::MakeUniqueOutputPath(folder, &empty, "mp4"), folder + "/Untitled (2).mp4");
}

}  // namespace
