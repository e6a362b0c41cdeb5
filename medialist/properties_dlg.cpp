#include "medialist/properties_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "components/component_interfaces.h"
#include "res/string_table.h"
#include "medialist/media_info_cache.h"
#include "medialist/media_item.h"
#include "ui/dialog_units.h"

namespace {

constexpr int kColumnWidth = 200;

QString Real(double value)
{
    return QString::number(value, 'f', 2);
}

QString YesNo(bool yes)
{
    return LoadString(yes ? IDS_YES : IDS_NO);
}

// `duration` is null when it could not be read.
void AddVideo(IMediaInfo* info, const double* duration, CPropertiesDlg& dialog)
{
    short width = 0, height = 0;
    if (SUCCEEDED(info->GetVideoSize(&width, &height))) {
        dialog.AddProperty(LoadString(269), QString::number(width));
        dialog.AddProperty(LoadString(270), QString::number(height));
    }
    if (duration)
        dialog.AddProperty(LoadString(271), Real(*duration));
    double rate = 0;
    if (info->GetFrameRate(&rate) == S_OK)
        dialog.AddProperty(LoadString(400), Real(rate));
}

void AddAudio(IMediaInfo* info, CPropertiesDlg& dialog)
{
    LONG rate = 0;
    short channels = 0, bits = 0;
    if (FAILED(info->GetAudioFormat(&rate, &channels, &bits)))
        return;
    dialog.AddProperty(LoadString(272), QString::number(rate));
    dialog.AddProperty(LoadString(273), QString::number(channels));
    dialog.AddProperty(LoadString(274), QString::number(bits));
}

}  // namespace

CPropertiesDlg::CPropertiesDlg(QWidget* parent) : CBaseDialog(parent), m_list(new QTreeWidget(this))
{
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(tr("File Properties"));
    const QFont font = this->font();
    setFixedSize(DialogUnitsToPixels(font, QRect(0, 0, 316, 174)).size());
    m_list->setObjectName(QString::number(kPropertyList));
    m_list->setGeometry(DialogUnitsToPixels(font, QRect(7, 7, 302, 139)));
    m_list->setRootIsDecorated(false);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({LoadString(IDS_NAME), LoadString(265)});
    m_list->header()->setStretchLastSection(false);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(DialogUnitsToPixels(font, QRect(259, 153, 50, 14)));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CPropertiesDlg::OnInitDialog()
{
    CBaseDialog::OnInitDialog();
    m_list->setColumnWidth(0, kColumnWidth);
    m_list->setColumnWidth(1, kColumnWidth);
    for (const QPair<QString, QString>& pair : m_properties.Pairs())
        m_list->addTopLevelItem(new QTreeWidgetItem({pair.first, pair.second}));
}

void AddFileProperties(const CMediaItem& row, CPropertiesDlg& dialog)
{
    if (row.m_nKind != MK_FOLDER) {
        const DateParts date = DatePartsOf(row);
        dialog.AddProperty(LoadString(266), QStringLiteral("%1.%2.%3")
                                                .arg(date.day, 2, 10, QLatin1Char('0'))
                                                .arg(date.month, 2, 10, QLatin1Char('0'))
                                                .arg(date.year, 4, 10, QLatin1Char('0')));
    }
    ComPtr<IMediaInfo> info;
    const bool opened = SUCCEEDED(OpenMediaInfo(row.m_strPath, info));
    double duration = 0;
    VARIANT_BOOL hasVideo = VARIANT_FALSE, hasAudio = VARIANT_FALSE;
    const bool durationKnown = opened && SUCCEEDED(info->GetDuration(&duration));
    if (opened && FAILED(info->GetStreams(&hasVideo, &hasAudio)))
        hasVideo = hasAudio = VARIANT_FALSE;
    dialog.AddProperty(LoadString(275), YesNo(hasVideo));
    if (hasVideo)
        AddVideo(info.Get(), durationKnown ? &duration : nullptr, dialog);
    dialog.AddProperty(LoadString(276), YesNo(hasAudio));
    if (hasAudio)
        AddAudio(info.Get(), dialog);
}
