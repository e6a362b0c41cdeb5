// Registers the multiplexer and the file writers: the MP4 multiplexer, WAV,
// LAME MP3 and the WM ASF writer. The program creates them by class id;
// intelligent connect never picks one.
#pragma once

void RegisterWriteComponents();
