// What the document tells every device, page and view (OnBroadcast).
#pragma once

enum DocumentEvent : int {
    EVENT_TASK_FINISHED = 100,
    EVENT_TASK_ABORTED = 101,
    EVENT_DEVICE_ARRIVED = 102,
    EVENT_DEVICE_REMOVED = 103,
    EVENT_FILES_CHANGED = 105,
};
