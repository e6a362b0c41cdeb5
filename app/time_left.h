// How long the running item and the whole queue still take, guessed from
// samples of (seconds on the caller's clock, fraction done). The clock is
// an input so that the guesses are the same whatever the machine's speed.
#pragma once

#include <QString>
#include <optional>

class CTimeLeft {
public:
    // An item starts at `now`; the one that ran before it ended then.
    void StartItem(double now);
    // The running item had done `fraction` (0 to 1) at `now`.
    void Sample(double now, double fraction);
    // The queue is idle: forgets the items that ran.
    void Reset();

    bool IsRunning() const { return m_itemStart.has_value(); }
    // Of the running item, up to the last sample.
    double Elapsed() const;
    // Unknown until the item has run long enough to tell its pace.
    std::optional<double> ItemLeft() const;
    // The running item's rest and `waiting` more, each taking as long as
    // the items that ended did on average (the running one's total while
    // none has ended).
    std::optional<double> QueueLeft(int waiting) const;

private:
    std::optional<double> ItemTotal() const;

    std::optional<double> m_itemStart;
    double m_now = 0;
    double m_fraction = 0;
    double m_endedSeconds = 0;
    int m_endedItems = 0;
};

// "0:07", "12:05", "1:02:03".
QString FormatDuration(double seconds);
