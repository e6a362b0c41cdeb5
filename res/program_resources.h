// The program's Qt resources (the WMV profile under ":/", the bitmaps under
// ":/bitmaps", the program icon under ":/icons") live in a static library,
// whose registration the linker drops unless something names it. Code that
// reads a resource calls this first; it is cheap after the first call and
// safe from any thread.
#pragma once

void InitProgramResources();
