#include "platform/dshow/platform_filters.h"

#include "platform/dshow/file_source.h"
#include "platform/dshow/file_writer.h"
#include "platform/dshow/filter_graph.h"
#include "platform/dshow/filter_mapper.h"
#include "platform/dshow/plugin_control.h"
#include "platform/dshow/system_clock.h"

void RegisterPlatformFilters()
{
    auto& classes = ClassRegistry::Instance();
    classes.Register(CLSID_FilterGraph, CreateComObject<CFilterGraph>);
    classes.Register(CLSID_AsyncReader, CreateComObject<CAsyncFileSource>);
    classes.Register(CLSID_FileWriter, CreateComObject<CFileWriter>);
    classes.Register(CLSID_DirectShowPluginControl, CreateComObject<CPluginControl>);
    classes.Register(CLSID_SystemClock, CreateComObject<CSystemClock>);
}
