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

}  // namespace
