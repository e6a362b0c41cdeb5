// The file writers: WAV, LAME MP3 and the WM ASF writer.
#pragma once

// Registers their classes for CoCreateInstance (the program creates them by
// class id; intelligent connect never picks a writer).
void RegisterWriters();
