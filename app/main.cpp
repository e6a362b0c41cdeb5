// Orvex Tavimo: carries video and audio from a source device to a target device.
#include <cstdio>
#include <cstring>

#include "platform/dshow/platform_filters.h"
#include "version.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", kApplicationName, kApplicationVersion);
        return 0;
    }
    RegisterPlatformFilters();
    std::printf("%s %s: converts video and audio for a netbook or a folder of this computer.\n",
                kApplicationName, kApplicationVersion);
    std::printf("The media engine is ready; the main window and the command-line transfer are not built yet.\n");
    return 0;
}
