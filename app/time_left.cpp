#include "app/time_left.h"

#include <algorithm>
#include <cmath>

namespace {
// Below these the pace says little (opening the file, the first frames).
constexpr double kMinSeconds = 1.0;
constexpr double kMinFraction = 0.01;
}  // namespace

void CTimeLeft::StartItem(double now)
{
    if (m_itemStart) {
        m_endedSeconds += now - *m_itemStart;
        m_endedItems++;
    }
    m_itemStart = now;
    m_now = now;
    m_fraction = 0;
}

void CTimeLeft::Sample(double now, double fraction)
{
    m_now = now;
    m_fraction = std::clamp(fraction, 0.0, 1.0);
}

void CTimeLeft::Reset()
{
    *this = CTimeLeft();
}

double CTimeLeft::Elapsed() const
{
    return m_itemStart ? m_now - *m_itemStart : 0;
}

std::optional<double> CTimeLeft::ItemTotal() const
{
    if (!m_itemStart || Elapsed() < kMinSeconds || m_fraction < kMinFraction)
        return std::nullopt;
    return Elapsed() / m_fraction;
}

std::optional<double> CTimeLeft::ItemLeft() const
{
    const std::optional<double> total = ItemTotal();
    if (!total)
        return std::nullopt;
    return *total - Elapsed();
}

std::optional<double> CTimeLeft::QueueLeft(int waiting) const
{
    const std::optional<double> left = ItemLeft();
    if (!left)
        return std::nullopt;
    const double perItem = m_endedItems > 0 ? m_endedSeconds / m_endedItems : *ItemTotal();
    return *left + waiting * perItem;
}

QString FormatDuration(double seconds)
{
    const long long total = std::llround(std::max(seconds, 0.0));
    const long long hours = total / 3600, minutes = total / 60 % 60, rest = total % 60;
    const QString clock = QStringLiteral("%1:%2").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
    if (hours == 0)
        return clock;
    return QStringLiteral("%1:%2").arg(hours).arg(clock.rightJustified(5, u'0'));
}
