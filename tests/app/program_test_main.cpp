// Test programs of the program's own code run with an offscreen Qt
// application (pages are widgets), the media engine started and no session
// bus.
#include <QApplication>
#include <gtest/gtest.h>

#include "app/media_engine.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The queue's end notification must never reach the desktop running the tests.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tavimo-tests-bus");
    QApplication application(argc, argv);
    StartMediaEngine();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
