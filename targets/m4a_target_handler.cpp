#include "targets/m4a_target_handler.h"

#include <cstdint>

#include "components/component_ids.h"
#include "res/string_table.h"

namespace {

// No video encoder profile; the multiplexer gets zeroes.
constexpr int32_t kAudioOnlyExtra[3] = {0, 0, 0};

}  // namespace

CM4ATargetHandler::CM4ATargetHandler()
{
    // The base class made its own profile; this format has only one.
    DeleteProfiles();
    TargetVideoSettings discardVideo{CLSID_VideoDiscard, 0, 0, 0, 0, 0};
    TargetAudioSettings aacAudio{CLSID_AacEncoder, 0, 128};
    AddProfile(std::make_unique<CTargetProfile>(IDS_COMPUTER_PLAYBACK, &discardVideo, &aacAudio, kAudioOnlyExtra,
                                            sizeof kAudioOnlyExtra));
    SelectProfile(0);
}

QString CM4ATargetHandler::GetFileExtension() const
{
    return QStringLiteral("m4a");
}

QString CM4ATargetHandler::GetFormatName() const
{
    return QStringLiteral("MPEG-4 Audio, Advanced Audio Coding (AAC)");
}

int CM4ATargetHandler::GetVideoEncoderCount() const
{
    return 0;
}

void CM4ATargetHandler::GetVideoEncoder(int, QString&, GUID&) const {}
