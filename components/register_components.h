// Registers every codec component: its class for CoCreateInstance and, for
// the filters intelligent connect may use, its input types and merit.
// Called once at start-up, after RegisterPlatformFilters.
#pragma once

void RegisterComponents();
