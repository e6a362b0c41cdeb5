// "File Properties": the technical data of one media file as name/value
// rows (dialog 370, list 1087). The media list fills it from the media
// information object (AddFileProperties) and shows it modally.
#pragma once

#include "medialist/property_map.h"
#include "ui/base_dialog.h"

class CMediaItem;
class QTreeWidget;

class CPropertiesDlg final : public CBaseDialog {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 370;
    static constexpr int kPropertyList = 1087;

    explicit CPropertiesDlg(QWidget* parent = nullptr);

    void AddProperty(const QString& name, const QString& value) { m_properties.Insert(name, value); }
    QTreeWidget* List() const { return m_list; }

protected:
    void OnInitDialog() override;

private:
    CPropertyMap m_properties;
    QTreeWidget* m_list;
};

// Reads the row's file through the media information object and adds what
// could be read: the date (not for folders), whether there is video and
// audio, and their sizes, length, frame rate and audio format. A failed
// call leaves out what depends on it; a file that cannot be opened counts
// as having neither video nor audio.
void AddFileProperties(const CMediaItem& row, CPropertiesDlg& dialog);
