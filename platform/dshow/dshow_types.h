// Basic types of the media engine: times, states, directions, event codes.
#pragma once

#include <cstdint>

#include "platform/com/class_registry.h"
#include "platform/com/comptr.h"
#include "platform/com/variant.h"

using BYTE = uint8_t;
using LONG = int32_t;
using LONGLONG = int64_t;
using BOOL = int;
inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;
using LONG_PTR = intptr_t;

// Media times in 100 ns units.
using REFERENCE_TIME = int64_t;
inline constexpr REFERENCE_TIME UNITS = 10'000'000;
inline constexpr REFERENCE_TIME MILLISECONDS = UNITS / 1000;

enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
using OAFilterState = LONG;

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

inline constexpr int MAX_PIN_NAME = 128;
inline constexpr int MAX_FILTER_NAME = 128;

inline constexpr DWORD INFINITE = 0xFFFFFFFF;

// Event codes that filters send to the graph and the graph to the application.
inline constexpr long EC_COMPLETE = 0x01;
inline constexpr long EC_USERABORT = 0x02;
inline constexpr long EC_ERRORABORT = 0x03;
inline constexpr long EC_STREAM_ERROR_STOPPED = 0x06;
inline constexpr long EC_STREAM_ERROR_STILLPLAYING = 0x07;
inline constexpr long EC_ERROR_STILLPLAYING = 0x08;

// Filter merits: intelligent connect tries higher merits first and never
// tries a filter at or below MERIT_DO_NOT_USE.
inline constexpr DWORD MERIT_PREFERRED = 0x800000;
inline constexpr DWORD MERIT_NORMAL = 0x600000;
inline constexpr DWORD MERIT_UNLIKELY = 0x400000;
inline constexpr DWORD MERIT_DO_NOT_USE = 0x200000;
