// Output file names come from outside text (a disc label, a title from a
// web feed); whatever that text holds, the file must land in the target
// folder itself, under a name that FAT and exFAT drives accept too.
#pragma once

#include <QString>

// The name to give the output file: path separators, the characters FAT
// and exFAT forbid (" * : < > ? |) and control characters become '_';
// trailing dots and spaces, which those drives drop, are stripped; a name
// of nothing but dots and spaces (such as "." or "..") becomes one
// underscore for each, and an empty name becomes "Untitled".
QString SafeOutputName(const QString& name);
