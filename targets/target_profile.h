// A named, read-only preset of a target handler's encoding settings.
#pragma once

#include <QByteArray>
#include <QString>

#include "platform/com/guid.h"

struct TargetVideoSettings {
    GUID encoder = GUID_NULL;  // video encoder class; GUID_NULL: no choice
    int resizeMode = 0;        // 0 keep, 1 exactly width x height, 2 fit within
    int width = 0, height = 0; // 0 x 0: the source's size
    int frameRate = 0;         // hundredths of fps; 0 keep; -2997 is 29.97
    int bitRate = 0;           // kbit/s
};

struct TargetAudioSettings {
    GUID encoder = GUID_NULL;
    int sampleRate = 0;  // Hz; 0 keep
    int bitRate = 0;     // kbit/s; 0 the encoder's default
    int maxChannels = 0; // more are mixed down; 0 keep
};

class CTargetProfile {
public:
    // Null settings give zero blocks; the extra block is copied.
    CTargetProfile(int nameId, const TargetVideoSettings* video, const TargetAudioSettings* audio,
                   const void* extra = nullptr, int extraSize = 0);
    virtual ~CTargetProfile() = default;

    const QString name;
    const TargetVideoSettings video;
    const TargetAudioSettings audio;
    const QByteArray extra;  // handler-specific; the MPEG-4 handlers read three int32
};
