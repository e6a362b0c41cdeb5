#include "targets/target_profile.h"

#include "res/string_table.h"

namespace {

QByteArray CopyExtra(const void* extra, int extraSize)
{
    if (!extra || extraSize <= 0)
        return {};
    return QByteArray(static_cast<const char*>(extra), extraSize);
}

}  // namespace

CTargetProfile::CTargetProfile(int nameId, const TargetVideoSettings* video, const TargetAudioSettings* audio,
                               const void* extra, int extraSize)
    : name(LoadString(nameId)),
      video(video ? *video : TargetVideoSettings{}),
      audio(audio ? *audio : TargetAudioSettings{}),
      extra(CopyExtra(extra, extraSize))
{
}
