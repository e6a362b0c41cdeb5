// The output half of a task's graph as both target devices build it: a
// unique output path in the target folder, then the current handler's
// filters, whose input pins the task keeps for the source to reach.
#pragma once

#include <QString>

#include "platform/dshow/dshow_types.h"

class CTargetHandler;
class CGraphContext;

// With checkComponents the handler may first report a missing component,
// which is shown and fails the task.
HRESULT PrepareHandlerGraph(CTargetHandler* handler, const QString& folder, CGraphContext* context,
                            bool checkComponents);

// Once the source half is connected: the handler completes its filters,
// then the Time Grabber goes in front of the encoder input.
HRESULT FinishHandlerGraph(CTargetHandler* handler, CGraphContext* context);
