// "Format Settings" (dialog 363): a target handler's base profile and the
// values the user may change on top of it: video codec, frame size, frame
// rate and bit rate; audio codec, sample rate and bit rate. It offers only
// what the handler's lists offer and writes into the handler's current
// settings: a chosen profile at once, the other values on OK.
// User-interface thread only.
#pragma once

#include "ui/base_dialog.h"

class CTargetHandler;
class QComboBox;
class QSpinBox;

class CFormatDlg final : public CBaseDialog {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 363;
    // Control ids the dialog keeps as object names. The video bit rate is
    // one spin box under the edit's id; its arrows (1071) are part of it.
    enum Control : int {
        IDOK = 1,
        IDCANCEL = 2,
        ProfileCombo = 1018,
        FrameRateCombo = 1060,
        VideoCodecCombo = 1061,
        VideoBitrateEdit = 1062,
        ResolutionCombo = 1063,
        AudioCodecCombo = 1064,
        AudioBitrateCombo = 1067,
        SampleRateCombo = 1069,
    };

    // The handler is edited in place and must outlive the dialog.
    explicit CFormatDlg(CTargetHandler* handler, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;

private:
    void PlaceLabels();
    void PlaceButtons();
    // Shows the handler's lists and current values again; the codec
    // combos keep their entries.
    void UpdateControls();
    void UpdateVideoBitrate(bool hasVideo);
    void OnProfileChange(int index);
    void OnOK();

    QComboBox* m_videoCodec;
    QComboBox* m_audioCodec;
    QComboBox* m_profile;
    QComboBox* m_frameRate;
    QSpinBox* m_videoBitrate;
    QComboBox* m_sampleRate;
    QComboBox* m_audioBitrate;
    CTargetHandler* m_handler;
    QComboBox* m_resolution;
};
