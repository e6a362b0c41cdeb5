#include "targets/stick_rules.h"

namespace {
constexpr int kDefaultAudioKbps = 128;
constexpr qint64 kMarginBytes = 1000 * 1000;
}  // namespace

qint64 EstimateOutputBytes(int videoKbps, int audioKbps, double seconds)
{
    const int audio = audioKbps > 0 ? audioKbps : kDefaultAudioKbps;
    const qint64 streamBytes = qRound64(double(qMax(videoKbps, 0) + audio) * 1000.0 / 8.0 * qMax(seconds, 0.0));
    return streamBytes + streamBytes / 10 + kMarginBytes;
}

StickVerdict JudgeOutput(qint64 estimatedBytes, const DriveSpace& space)
{
    if (space.isFat && estimatedBytes > kFatFileLimit)
        return StickVerdict::TooLargeForFat;
    if (estimatedBytes > space.freeBytes)
        return StickVerdict::TooLittleSpace;
    return StickVerdict::Fits;
}
