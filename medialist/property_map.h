// Name/value pairs in the order the properties dialog lists them: that of
// a hash map of 17 buckets (hash h = h * 33 + c over the name's UTF-16 code
// units; a new name goes to the head of its bucket; buckets in order, each
// from its head). Users know the rows in that order, so it is kept.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <array>

class CPropertyMap {
public:
    // A name given again keeps its place and takes the new value.
    void Insert(const QString& name, const QString& value);
    // The pairs in listing order.
    QList<QPair<QString, QString>> Pairs() const;

private:
    static constexpr int kBuckets = 17;
    std::array<QList<QPair<QString, QString>>, kBuckets> m_buckets;  // each chain from its head
};
