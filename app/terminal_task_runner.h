// Runs the document's queue in a terminal: polls it every 100 ms until it
// is idle, reporting each item on stdout in one of two forms:
//  - lines: on a terminal one line per item, redrawn in place at every
//    poll with the time elapsed (so a long item shows it is alive) and,
//    once its pace is known, the time left for it and for the queue;
//    otherwise one line per item when it ends;
//  - json (-progress=json): one JSON object per line for scripts, see
//    ProgressJsonLine. Every item of the queue ends with its final state,
//    also those a stop kept from starting ("aborted").
// SIGINT, SIGTERM or SIGHUP stop it (stop_signals.h): the result is then
// the exit status for the signal, else 0.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <optional>

class CKestrelDoc;
class CTimeLeft;

enum class ProgressFormat { Lines, Json };

enum class ItemState { Started, Progress, Transferred, Failed, Aborted };

int RunQueueInTerminal(CKestrelDoc& document, ProgressFormat format = ProgressFormat::Lines,
                       std::FILE* out = stdout);

// {"item": name, "state": "started" | "progress" | "transferred" | "failed"
// | "aborted", "fraction": 0 to 1, "secondsLeft": the item's,
// "queueSecondsLeft": the queue's}; the times only while an item is in
// progress and its pace is known. No newline.
QByteArray ProgressJsonLine(const QString& item, ItemState state, double fraction, const CTimeLeft& times,
                            int waiting);

// The running item's terminal line: "[ 42%] NAME  0:12, 0:17 left, queue 1:05".
QString ProgressLineText(const QString& item, double fraction, const CTimeLeft& times, int waiting);
