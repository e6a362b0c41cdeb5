#include "components/demux/register_demux.h"

#include "components/demux/demultiplexer.h"
#include "components/demux/network_source.h"

void RegisterDemuxComponents()
{
    RegisterNetworkSource();
    RegisterDemultiplexers();
}
