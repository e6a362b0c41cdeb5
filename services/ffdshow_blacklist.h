// Keeps the ffdshow decoders out of the program: ffdshow skips every program
// named in the "blacklist" value of its key (names separated by ";").
#pragma once

#include <QString>

// The program's own file name (no folder), as the blacklist names it.
QString ProgramFileName();

// Appends "<programFileName>;" to an existing, non-empty blacklist that does
// not name the program yet. An empty or missing blacklist is left alone, and
// without the key's settings file nothing is written at all. Failures are
// silent.
void AddToFfdshowBlacklist(const QString& programFileName = ProgramFileName());
