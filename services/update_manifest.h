// The update server's manifest: an XML document whose root holds one element
// per offered build, for example
//   <updates><build language="US" number="33" date="2026-01-31">
//     <setupurl>http://host/setup.exe</setupurl></build></updates>
// Reading starts at the first child named "build" and goes on through every
// following sibling, whatever its name; the last element for the language
// wins.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct UpdateEntry {
    QString setupUrl;
    QString date;
    int buildNumber = -1;  // -1: no entry for the language
};

// Nothing when the bytes hold no root element. `language` is compared
// ignoring case. `entry` starts from what an earlier read found.
std::optional<UpdateEntry> ReadUpdateManifest(const QByteArray& xml, const QString& language,
                                              UpdateEntry entry = {});
