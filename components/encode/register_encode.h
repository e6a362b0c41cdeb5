// Registers the encoders: AVC and MPEG-4 Visual video, and AAC. The program
// creates them by class id and connects them directly, so intelligent
// connect does not list them.
#pragma once

void RegisterEncodeComponents();
