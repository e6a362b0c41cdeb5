// Why a transfer failed, in one plain sentence for the user, from the
// failure code the graph or a device gave. Empty when the code says nothing
// a user could act on.
#pragma once

#include <QString>

#include "platform/com/hresult.h"

QString FailureCause(HRESULT failure);
