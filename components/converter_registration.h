// Registers the converters and helpers the program creates by class id:
// the Time Grabber, the video discard filter, the scaler, the frame-rate
// converter and the sample-rate converter. None takes part in intelligent
// connect, so none is in the filter mapper.
#pragma once

void RegisterConverters();
