// Registers the converters and helpers. The Time Grabber, the video discard
// filter, the scaler, the frame-rate converter and the sample-rate converter
// are created by class id only; the colour space and audio format converters
// are also in the filter mapper, for intelligent connect.
#pragma once

void RegisterConvertComponents();
