// What the media list tests share: a home of their own with a videos
// folder, ffmpeg-made media in it, and waiting for the info worker.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <string>

#include "medialist/media_list_ctrl.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_home.h"

namespace medialist_testing {

inline const char* const kVideoArguments =
    "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine -t 1 -c:v libx264 -c:a aac";
inline const char* const kAudioArguments = "-f lavfi -i sine=sample_rate=44100 -ac 2 -t 1 -c:a libmp3lame";

// Lets the window thread run until `done` holds or a generous minute passed.
template <class Condition>
bool ProcessEventsUntil(Condition done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 60000)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}

// Every row has its details (or "Unknown format").
inline bool AllRowsRead(const CMediaListCtrl& list)
{
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (list.Row(row).item.m_bNeedsInfo)
            return false;
    }
    return !list.IsInfoWorkerRunning();
}

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace medialist_testing
