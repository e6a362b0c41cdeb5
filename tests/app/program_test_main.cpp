// Test programs of the program's own code run with an offscreen Qt
// application (pages are widgets) and the media engine started.
#include <QApplication>
#include <gtest/gtest.h>

#include "app/media_engine.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    StartMediaEngine();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
