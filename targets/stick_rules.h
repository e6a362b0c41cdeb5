// Whether one more output file fits on a removable drive, judged before the
// item starts so that it is refused whole rather than failing half-way.
// Too large for FAT is refused, not split into parts: a netbook's player
// plays one file per item.
#pragma once

#include <QtGlobal>

#include "targets/removable_drives.h"

// The largest file FAT can hold: 4 GiB - 1 bytes.
inline constexpr qint64 kFatFileLimit = (qint64(4) << 30) - 1;

// Bytes an item is expected to take at those bit rates (kbit/s) for that
// many seconds, with a margin of 10 % and 1 MB for the container and for
// rate control's overshoot. An audio rate of 0 (the encoder's default)
// counts as 128 kbit/s.
qint64 EstimateOutputBytes(int videoKbps, int audioKbps, double seconds);

enum class StickVerdict { Fits, TooLittleSpace, TooLargeForFat };

// Too large for FAT wins over too little space: more room would not help.
StickVerdict JudgeOutput(qint64 estimatedBytes, const DriveSpace& space);
