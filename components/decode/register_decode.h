// Registers the video and audio decoders, with the compressed types each
// takes, for intelligent connect.
#pragma once

void RegisterDecodeComponents();
