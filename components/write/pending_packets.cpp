#include "components/write/pending_packets.h"

HRESULT CPendingPackets::Push(int input, AvPacketPtr packet)
{
    const auto size = static_cast<size_t>(packet->size);
    if (m_entries.size() >= kMaxCount || size > kMaxBytes - m_bytes) return MUX_E_PENDING_OVERFLOW;
    m_bytes += size;
    m_entries.push_back({input, std::move(packet)});
    return S_OK;
}

CPendingPackets::Entry CPendingPackets::PopFront()
{
    Entry entry = std::move(m_entries.front());
    m_entries.pop_front();
    m_bytes -= static_cast<size_t>(entry.packet->size);
    return entry;
}

void CPendingPackets::Clear()
{
    m_entries.clear();
    m_bytes = 0;
}
