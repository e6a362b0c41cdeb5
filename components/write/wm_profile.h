// Windows Media profiles: what the WM ASF writer is told to make.
//
// A profile comes from the XML that Windows Media profiles are written in
// (a "profile" element with one "streamconfig" per stream), loaded through
// the profile manager:
//   ComPtr<IWMProfileManager> manager;  WMCreateProfileManager(&manager);
//   ComPtr<IWMProfile> profile;         manager->LoadProfileByData(xml, &profile);
// and handed to the writer (IConfigAsfWriter::ConfigureFilterUsingProfile,
// components/write/asf_writer.h). A profile never changes after it is loaded.
//
// What is read: an audio stream (majortype MEDIATYPE_Audio, subtype
// Windows Media Audio 2: its waveformatex's nChannels and nSamplesPerSec,
// the streamconfig's bitrate) and a video stream (majortype MEDIATYPE_Video,
// subtype WMV2: the bitmapinfoheader's biwidth and biheight, the
// videoinfoheader's avgtimeperframe, quality-based VBR from vbrenabled and
// vbrquality or else the streamconfig's bitrate, the key frame distance
// from videomediaprops' maxkeyframespacing, all times in 100 ns units).
// Everything else in the XML is accepted and ignored.
#pragma once

#include <optional>
#include <string>

#include "components/component_interfaces.h"
#include "platform/dshow/dshow_types.h"


// The settings of profile XML, as LoadProfileByData reads them.
HRESULT ParseWmProfile(const char* profileXml, WmProfileSettings* settings);
