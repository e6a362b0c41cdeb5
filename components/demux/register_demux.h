// Registers the sources and demultiplexers: the network source for http and
// https addresses, and the demultiplexers intelligent connect puts after a
// byte stream.
#pragma once

void RegisterDemuxComponents();
