// StreamResult: how a streaming call ended, and so who tells the graph.
//
// Every filter that streams sorts what it gets back into one of four kinds,
// so a failure reaches the application exactly once and a stop is never
// mistaken for one:
//   Ok        go on.
//   Stopping  the graph stops or flushes, or downstream takes no more: end
//             quietly.
//   Refused   downstream failed and has reported it already: end quietly.
//   Failed    this filter's own failure: the filter reports it, once, with
//             its code (CBaseInputPin::Settle, or EC_ERRORABORT from a
//             source's thread).
//
//                   success   S_FALSE    stopped, decommitted   other failure
//                                        or past the end
//   Own(hr)         Ok        Ok         Stopping               Failed
//   Delivery(hr)    Ok        Stopping   Stopping               Refused
#pragma once

#include "platform/com/hresult.h"

class StreamResult {
public:
    enum class Kind { Ok, Stopping, Refused, Failed };

    // What this filter's own work returned: decoding, encoding, writing, or
    // asking its allocator for a buffer.
    static StreamResult Own(HRESULT hr);
    // What a downstream pin answered to Receive or EndOfStream.
    static StreamResult Delivery(HRESULT hr);
    // A failure that was reported already: an earlier one of this filter's,
    // or one that downstream met while this filter wrote to it.
    static StreamResult Reported(HRESULT hr) { return {Kind::Refused, hr}; }

    Kind kind() const { return m_kind; }
    // The code to hand back upstream.
    HRESULT code() const { return m_code; }
    bool Ok() const { return m_kind == Kind::Ok; }
    bool IsOwnFailure() const { return m_kind == Kind::Failed; }
    // Stopping or Refused: the stream ends and this filter says nothing.
    bool EndsQuietly() const { return m_kind == Kind::Stopping || m_kind == Kind::Refused; }

private:
    StreamResult(Kind kind, HRESULT code) : m_kind(kind), m_code(code) {}

    Kind m_kind;
    HRESULT m_code;
};
