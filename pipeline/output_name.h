// Output file names come from outside text (a disc label, a title from a
// web feed); whatever that text holds, the file must land in the target
// folder itself.
#pragma once

#include <QString>

// The name to give the output file: path separators and control
// characters become '_', a name of "." or ".." becomes underscores, and an
// empty name becomes "Untitled". Any other name is kept as it is.
QString SafeOutputName(const QString& name);
