// The components of MP4 and M4A output: the AVC and MPEG-4 Visual video
// encoders, the AAC encoder and the MP4 multiplexer.
#pragma once

// Registers them for CoCreateInstance. The program creates them by class id
// and connects them directly, so intelligent connect does not list them.
void RegisterMp4Output();
