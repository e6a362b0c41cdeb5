#include "components/info/register_info.h"

#include "components/info/media_info.h"

void RegisterInfoComponents() { RegisterMediaInfo(); }
