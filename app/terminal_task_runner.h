// Runs the document's queue in a terminal: polls it every 100 ms until it
// is idle, with one progress line per task on stdout, redrawn in place on
// a terminal and written once per task, when it ends, otherwise.
#pragma once

#include <cstdio>

class CKestrelDoc;

void RunQueueInTerminal(CKestrelDoc& document, std::FILE* out = stdout);
