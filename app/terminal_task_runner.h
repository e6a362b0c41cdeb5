// Runs the document's queue in a terminal: polls it every 100 ms until it
// is idle, with one progress line per task on stdout, redrawn in place on
// a terminal and written once per task, when it ends, otherwise.
// SIGINT, SIGTERM or SIGHUP stop it (stop_signals.h): the result is then
// the exit status for the signal, else 0.
#pragma once

#include <cstdio>

class CKestrelDoc;

int RunQueueInTerminal(CKestrelDoc& document, std::FILE* out = stdout);
