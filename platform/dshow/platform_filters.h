// Registers the classes that come with the media engine: the filter graph
// manager, File Source (Async.), File Writer, the plugin control and the
// system clock. Called once at start-up, before any graph is built.
#pragma once

void RegisterPlatformFilters();
