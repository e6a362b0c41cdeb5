#include "medialist/property_map.h"

namespace {

uint32_t HashOf(const QString& name)
{
    uint32_t hash = 0;
    for (const QChar unit : name)
        hash = hash * 33 + unit.unicode();
    return hash;
}

}  // namespace

void CPropertyMap::Insert(const QString& name, const QString& value)
{
    QList<QPair<QString, QString>>& chain = m_buckets[HashOf(name) % kBuckets];
    for (QPair<QString, QString>& pair : chain) {
        if (pair.first == name) {
            pair.second = value;
            return;
        }
    }
    chain.prepend({name, value});
}

QList<QPair<QString, QString>> CPropertyMap::Pairs() const
{
    QList<QPair<QString, QString>> pairs;
    for (const QList<QPair<QString, QString>>& chain : m_buckets)
        pairs << chain;
    return pairs;
}
