// A source that plays a raw file made by the ffmpeg command (-f rawvideo
// ...) as samples of a given media type: richer pictures than the generated
// ones, for rate control to work on.
#pragma once

#include <string>

#include "components/common/media_format.h"
#include "platform/dshow/source.h"

namespace mp4_testing {

inline constexpr CLSID CLSID_RawFileSource = MakeGuid("{A0000003-0000-4000-8000-0000000000F1}");

// Each sample is `chunkBytes` of the file (the last may be shorter), lasting
// `chunkDuration`; times count from 0.
class CRawFileSource final : public CSource {
public:
    CRawFileSource(const CMediaType& type, const std::string& path, LONG chunkBytes, REFERENCE_TIME chunkDuration);
};

// One frame of `format` per sample.
CRawFileSource* RawVideoFile(const RawVideoFormat& format, const std::string& path);

}  // namespace mp4_testing
