#include "services/update_manifest.h"

#include <tinyxml2.h>

#include <cstdlib>

namespace {

QString Utf8(const char* text)
{
    return QString::fromUtf8(text ? text : "");
}

void ReadEntry(const tinyxml2::XMLElement& element, UpdateEntry& entry)
{
    if (const auto* setupUrl = element.FirstChildElement("setupurl"))
        entry.setupUrl = Utf8(setupUrl->GetText());
    const char* number = element.Attribute("number");
    entry.buildNumber = number ? std::atoi(number) : 0;
    entry.date = Utf8(element.Attribute("date"));
}

}  // namespace

std::optional<UpdateEntry> ReadUpdateManifest(const QByteArray& xml, const QString& language, UpdateEntry entry)
{
    tinyxml2::XMLDocument document;
    document.Parse(xml.constData(), static_cast<size_t>(xml.size()));
    const tinyxml2::XMLElement* root = document.RootElement();
    if (!root)
        return std::nullopt;
    for (const auto* element = root->FirstChildElement("build"); element; element = element->NextSiblingElement()) {
        if (Utf8(element->Attribute("language")).compare(language, Qt::CaseInsensitive) == 0)
            ReadEntry(*element, entry);
    }
    return entry;
}
