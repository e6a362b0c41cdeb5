// What the document tells every device, page and view (OnBroadcast).
#pragma once

enum DocumentEvent : int {
    EVENT_TASK_FINISHED = 100,
    EVENT_TASK_ABORTED = 101,
    EVENT_DEVICE_ARRIVED = 102,
    EVENT_DEVICE_REMOVED = 103,
    EVENT_FILES_CHANGED = 105,
    // A task that could not start was dropped (the parameter is the task,
    // valid during the call); it never counts as finished.
    EVENT_TASK_NOT_STARTED = 106,
};
