#include "targets/format_dlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "res/string_table.h"
#include "targets/target_handler.h"
#include "ui/control_id.h"
#include "ui/dialog_units.h"

namespace {

constexpr int kExactSize = 1;  // resize mode: exactly width x height

// The template, in dialog units.
const QRect kWindow(0, 0, 262, 204);
const QRect kVideoGroup(7, 26, 248, 80);
const QRect kAudioGroup(7, 112, 248, 64);
const QRect kOkButton(151, 183, 50, 14);
const QRect kCancelButton(205, 183, 50, 14);
constexpr int kLabelLeft = 15, kLabelWidth = 52;
constexpr int kFieldLeft = 70, kFieldWidth = 90, kWideFieldWidth = 177;
constexpr int kUnitLeft = 165, kUnitWidth = 82;
constexpr int kFieldHeight = 12, kTextHeight = 8, kTextDrop = 2;

using EncoderGetter = void (CTargetHandler::*)(int, QString&, GUID&) const;

// How the dialog reads one kind of encoder from the handler.
struct EncoderList {
    int (CTargetHandler::*count)() const;
    EncoderGetter get;
};
constexpr EncoderList kAudioEncoders{&CTargetHandler::GetAudioEncoderCount, &CTargetHandler::GetAudioEncoder};
constexpr EncoderList kVideoEncoders{&CTargetHandler::GetVideoEncoderCount, &CTargetHandler::GetVideoEncoder};

struct Encoder {
    QString name;
    GUID clsid = GUID_NULL;
};

Encoder EncoderAt(const CTargetHandler& handler, const EncoderList& encoders, int index)
{
    Encoder encoder;
    (handler.*encoders.get)(index, encoder.name, encoder.clsid);
    return encoder;
}

// The position of `current` in the handler's encoders; -1 when absent.
int EncoderIndex(const CTargetHandler& handler, const EncoderList& encoders, const GUID& current)
{
    const int count = (handler.*encoders.count)();
    for (int i = 0; i < count; ++i) {
        if (EncoderAt(handler, encoders, i).clsid == current)
            return i;
    }
    return -1;
}

void FillCodecs(QComboBox* combo, const CTargetHandler& handler, const EncoderList& encoders, const GUID& current)
{
    const int count = (handler.*encoders.count)();
    for (int i = 0; i < count; ++i)
        combo->addItem(EncoderAt(handler, encoders, i).name);
    combo->setCurrentIndex(EncoderIndex(handler, encoders, current));
    combo->setEnabled(count > 1);
}

void ReselectCodec(QComboBox* combo, const CTargetHandler& handler, const EncoderList& encoders, const GUID& current)
{
    const int index = EncoderIndex(handler, encoders, current);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

// Without a selection the encoder stays as it is.
void StoreCodec(const QComboBox* combo, const CTargetHandler& handler, const EncoderList& encoders, GUID& encoder)
{
    const int index = combo->currentIndex();
    if (index >= 0 && index < (handler.*encoders.count)())
        encoder = EncoderAt(handler, encoders, index).clsid;
}

template <class Value>
QList<Value> ListOf(const CTargetHandler& handler, void (CTargetHandler::*get)(QList<Value>&) const)
{
    QList<Value> values;
    (handler.*get)(values);
    return values;
}

QString SourceText()
{
    return LoadString(IDS_SOURCE);
}

QString SizeText(const QSize& size)
{
    return size.isNull() ? SourceText() : QString::asprintf("%d x %d", size.width(), size.height());
}

// Hundredths of frames per second; negative values mark the NTSC rates.
QString FrameRateText(int rate)
{
    return rate == 0 ? SourceText() : QString::asprintf("%.2f", double(float(std::abs(rate)) / 100.0f));
}

QString NumberText(int value)
{
    return value == 0 ? SourceText() : QString::number(value);
}

// The first entry that begins with the text, as a list box searches; none
// when no entry does.
void SelectByText(QComboBox* combo, const QString& text)
{
    combo->setCurrentIndex(combo->findText(text, Qt::MatchStartsWith));
}

// A list of one entry leaves nothing to choose.
template <class Value, class TextOf>
void FillList(QComboBox* combo, const QList<Value>& values, TextOf textOf, const Value& current, bool usable)
{
    combo->clear();
    for (const Value& value : values)
        combo->addItem(textOf(value));
    SelectByText(combo, textOf(current));
    combo->setEnabled(usable && values.size() > 1);
}

// Copies the selected entry's value; false without a selection in the list.
template <class Value>
bool ReadSelection(const QComboBox* combo, const QList<Value>& values, Value& value)
{
    const int index = combo->currentIndex();
    if (index < 0 || index >= values.size())
        return false;
    value = values[index];
    return true;
}

// The spin range is 16-bit, as the up-down control it stands for.
int Clamp16(int value)
{
    return std::clamp<int>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
}

void Place(QWidget* control, const QRect& units)
{
    control->setGeometry(DialogUnitsToPixels(control->parentWidget()->font(), units));
}

}  // namespace

CFormatDlg::CFormatDlg(CTargetHandler* handler, QWidget* parent)
    : CBaseDialog(parent),
      m_videoCodec(SetControlId(new QComboBox(this), VideoCodecCombo)),
      m_audioCodec(SetControlId(new QComboBox(this), AudioCodecCombo)),
      m_profile(SetControlId(new QComboBox(this), ProfileCombo)),
      m_frameRate(SetControlId(new QComboBox(this), FrameRateCombo)),
      m_videoBitrate(SetControlId(new QSpinBox(this), VideoBitrateEdit)),
      m_sampleRate(SetControlId(new QComboBox(this), SampleRateCombo)),
      m_audioBitrate(SetControlId(new QComboBox(this), AudioBitrateCombo)),
      m_handler(handler),
      m_resolution(SetControlId(new QComboBox(this), ResolutionCombo))
{
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(tr("Format Settings"));
    setFixedSize(DialogUnitsToPixels(font(), kWindow).size());
    PlaceLabels();
    PlaceButtons();
    connect(m_profile, &QComboBox::activated, this, &CFormatDlg::OnProfileChange);
}

void CFormatDlg::PlaceLabels()
{
    for (const auto& [title, units] : {std::pair{tr("Video settings"), kVideoGroup}, {tr("Audio Settings"), kAudioGroup}}) {
        auto* group = new QGroupBox(title, this);
        Place(group, units);
        group->lower();  // beneath the controls, which take the clicks
    }
    struct Row {
        QWidget* field;
        int top;
        int width;
        const char* label;
        const char* unit;
    };
    const Row rows[] = {
        {m_profile, 7, kWideFieldWidth, QT_TR_NOOP("Base profile:"), nullptr},
        {m_videoCodec, 38, kWideFieldWidth, QT_TR_NOOP("Codec:"), nullptr},
        {m_resolution, 54, kFieldWidth, QT_TR_NOOP("Resolution:"), nullptr},
        {m_frameRate, 70, kFieldWidth, QT_TR_NOOP("Frame rate:"), QT_TR_NOOP("frames per second")},
        {m_videoBitrate, 86, kFieldWidth, QT_TR_NOOP("Bitrate:"), QT_TR_NOOP("kbit per second")},
        {m_audioCodec, 124, kWideFieldWidth, QT_TR_NOOP("Codec:"), nullptr},
        {m_sampleRate, 140, kFieldWidth, QT_TR_NOOP("Sample rate:"), QT_TR_NOOP("samples per second")},
        {m_audioBitrate, 156, kFieldWidth, QT_TR_NOOP("Bitrate:"), QT_TR_NOOP("kbit per second")},
    };
    for (const Row& row : rows) {
        Place(row.field, QRect(kFieldLeft, row.top, row.width, kFieldHeight));
        const int textTop = row.top + kTextDrop;
        Place(new QLabel(tr(row.label), this), QRect(kLabelLeft, textTop, kLabelWidth, kTextHeight));
        if (row.unit)
            Place(new QLabel(tr(row.unit), this), QRect(kUnitLeft, textTop, kUnitWidth, kTextHeight));
    }
}

void CFormatDlg::PlaceButtons()
{
    auto* ok = SetControlId(new QPushButton(tr("OK"), this), IDOK);
    auto* cancel = SetControlId(new QPushButton(tr("Cancel"), this), IDCANCEL);
    Place(ok, kOkButton);
    Place(cancel, kCancelButton);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CFormatDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CFormatDlg::OnInitDialog()
{
    CBaseDialog::OnInitDialog();
    for (const CTargetProfile* profile : m_handler->Profiles())
        m_profile->addItem(profile->name);
    m_profile->setCurrentIndex(m_handler->CurrentProfile());
    FillCodecs(m_audioCodec, *m_handler, kAudioEncoders, m_handler->audio.encoder);
    FillCodecs(m_videoCodec, *m_handler, kVideoEncoders, m_handler->video.encoder);
    UpdateControls();
}

void CFormatDlg::UpdateControls()
{
    const CTargetHandler& handler = *m_handler;
    ReselectCodec(m_audioCodec, handler, kAudioEncoders, handler.audio.encoder);
    ReselectCodec(m_videoCodec, handler, kVideoEncoders, handler.video.encoder);
    const bool hasVideo = handler.GetVideoEncoderCount() > 0;
    FillList(m_resolution, ListOf(handler, &CTargetHandler::GetResolutions), SizeText,
             QSize(handler.video.width, handler.video.height), hasVideo);
    UpdateVideoBitrate(hasVideo);
    FillList(m_frameRate, ListOf(handler, &CTargetHandler::GetFrameRates), FrameRateText, handler.video.frameRate,
             hasVideo);
    FillList(m_sampleRate, ListOf(handler, &CTargetHandler::GetSampleRates), NumberText, handler.audio.sampleRate,
             true);
    FillList(m_audioBitrate, ListOf(handler, &CTargetHandler::GetAudioBitrates), NumberText, handler.audio.bitRate,
             true);
}

void CFormatDlg::UpdateVideoBitrate(bool hasVideo)
{
    int minimum = 0, maximum = 0;
    m_handler->GetVideoBitrateRange(minimum, maximum);
    m_videoBitrate->setEnabled(maximum >= 1 && hasVideo);
    m_videoBitrate->setRange(Clamp16(minimum), Clamp16(maximum));
    m_videoBitrate->setValue(m_handler->video.bitRate);
}

void CFormatDlg::OnProfileChange(int index)
{
    m_handler->SelectProfile(index);
    UpdateControls();
}

void CFormatDlg::OnOK()
{
    CTargetHandler& handler = *m_handler;
    QSize size;
    if (ReadSelection(m_resolution, ListOf(handler, &CTargetHandler::GetResolutions), size)) {
        handler.video.width = size.width();
        handler.video.height = size.height();
        if (size.width() > 0)
            handler.video.resizeMode = kExactSize;
    }
    ReadSelection(m_audioBitrate, ListOf(handler, &CTargetHandler::GetAudioBitrates), handler.audio.bitRate);
    ReadSelection(m_sampleRate, ListOf(handler, &CTargetHandler::GetSampleRates), handler.audio.sampleRate);
    ReadSelection(m_frameRate, ListOf(handler, &CTargetHandler::GetFrameRates), handler.video.frameRate);
    StoreCodec(m_videoCodec, handler, kVideoEncoders, handler.video.encoder);
    StoreCodec(m_audioCodec, handler, kAudioEncoders, handler.audio.encoder);
    handler.video.bitRate = m_videoBitrate->value();
    accept();
}
