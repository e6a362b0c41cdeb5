// SIGINT, SIGTERM and SIGHUP while the program transfers: the first one
// asks it to stop (the running task is aborted, its partial file removed,
// nothing more starts); a second one ends the program at once, removing the
// partial file first, as a user pressing Ctrl+C twice expects.
//
// One at a time; the handlers are the process's while the object lives.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

class CStopSignals final : public QObject {
    Q_OBJECT

public:
    CStopSignals();
    ~CStopSignals() override;
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

    // The first signal received, 0 while none was.
    int Received() const;
    // The exit status for it: 128 + the signal number (130 for SIGINT).
    int ExitStatus() const { return 128 + Received(); }
    // The file a second signal removes before the program ends; empty: none.
    void SetPartialFile(const QString& path);

signals:
    // On the thread that made the object, when its event loop runs.
    void StopRequested(int signal);

private:
    QSocketNotifier* m_notifier = nullptr;
};
