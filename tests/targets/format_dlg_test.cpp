// The format settings dialog on the program's own handlers: what it offers
// and selects for the current settings, what OK writes back, and that a
// chosen profile stays chosen after Cancel.
#include "targets/format_dlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <functional>
#include <memory>

#include "components/component_ids.h"
#include "targets/mpeg4_target_handler.h"
#include "targets/target_handler.h"
#include "tests/app/qstring_printer.h"
#include "ui/control_id.h"

namespace {

enum HandlerPosition { kMpeg4, kWmv, kWave };  // in the handler list's order

template <class Control = QComboBox>
Control* Find(const CFormatDlg& dialog, int id)
{
    return qobject_cast<Control*>(ControlById(&dialog, id));
}

// Selects the entry with exactly that text, as a click in the list would.
void Choose(const CFormatDlg& dialog, int comboId, const QString& text)
{
    QComboBox* combo = Find(dialog, comboId);
    const int index = combo->findText(text, Qt::MatchExactly);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
}

void TypeVideoBitrate(const CFormatDlg& dialog, const QString& text)
{
    QSpinBox* spin = Find<QSpinBox>(dialog, CFormatDlg::VideoBitrateEdit);
    spin->selectAll();
    QTest::keyClicks(spin, text);
}

void ExpectSameSettings(const CTargetHandler& handler, const TargetVideoSettings& video,
                        const TargetAudioSettings& audio)
{
    EXPECT_EQ(handler.video.encoder, video.encoder);
    EXPECT_EQ(handler.video.resizeMode, video.resizeMode);
    EXPECT_EQ(handler.video.width, video.width);
    EXPECT_EQ(handler.video.height, video.height);
    EXPECT_EQ(handler.video.frameRate, video.frameRate);
    EXPECT_EQ(handler.video.bitRate, video.bitRate);
    EXPECT_EQ(handler.audio.encoder, audio.encoder);
    EXPECT_EQ(handler.audio.sampleRate, audio.sampleRate);
    EXPECT_EQ(handler.audio.bitRate, audio.bitRate);
}

class FormatDlgTest : public testing::Test {
protected:
    CTargetHandler& Handler(HandlerPosition position) { return *handlers.Handlers()[position]; }

    // The dialog, shown, for a handler.
    std::unique_ptr<CFormatDlg> Open(CTargetHandler& handler)
    {
        auto dialog = std::make_unique<CFormatDlg>(&handler);
        dialog->show();
        return dialog;
    }

    CTargetHandlerList handlers;
};

struct EnabledRow {
    HandlerPosition handler;
    int videoCodecEntries;
    bool videoCodec, audioCodec, resolution, frameRate, videoBitrate, sampleRate, audioBitrate;
};

TEST_F(FormatDlgTest, EnablesOnlyWhatTheHandlerLetsChoose)
{
    const EnabledRow rows[] = {
        // Two video codecs; one audio codec leaves nothing to choose.
        {kMpeg4, 2, true, false, true, true, true, true, true},
        // One video codec; audio bit rates are the encoder's own.
        {kWmv, 1, false, false, true, true, true, true, false},
        // No video at all.
        {kWave, 0, false, false, false, false, false, true, false},
    };
    for (const EnabledRow& row : rows) {
        SCOPED_TRACE(Handler(row.handler).GetFormatName().toStdString());
        const auto dialog = Open(Handler(row.handler));
        EXPECT_EQ(Find(*dialog, CFormatDlg::VideoCodecCombo)->count(), row.videoCodecEntries);
        EXPECT_EQ(Find(*dialog, CFormatDlg::VideoCodecCombo)->isEnabled(), row.videoCodec);
        EXPECT_EQ(Find(*dialog, CFormatDlg::AudioCodecCombo)->isEnabled(), row.audioCodec);
        EXPECT_EQ(Find(*dialog, CFormatDlg::ResolutionCombo)->isEnabled(), row.resolution);
        EXPECT_EQ(Find(*dialog, CFormatDlg::FrameRateCombo)->isEnabled(), row.frameRate);
        EXPECT_EQ(Find<QSpinBox>(*dialog, CFormatDlg::VideoBitrateEdit)->isEnabled(), row.videoBitrate);
        EXPECT_EQ(Find(*dialog, CFormatDlg::SampleRateCombo)->isEnabled(), row.sampleRate);
        EXPECT_EQ(Find(*dialog, CFormatDlg::AudioBitrateCombo)->isEnabled(), row.audioBitrate);
    }
}

TEST_F(FormatDlgTest, ShowsTheMpeg4DefaultProfile)
{
    const auto dialog = Open(Handler(kMpeg4));
    EXPECT_EQ(Find(*dialog, CFormatDlg::ProfileCombo)->currentText(), "Optimized for Netbooks");
    EXPECT_EQ(Find(*dialog, CFormatDlg::VideoCodecCombo)->currentText(), "AVC Encoder (Advanced Video Coding / H.264)");
    EXPECT_EQ(Find(*dialog, CFormatDlg::AudioCodecCombo)->currentText(), "AAC Encoder (Advanced Audio Coding)");
    // 1024 x 576 is not offered.
    EXPECT_EQ(Find(*dialog, CFormatDlg::ResolutionCombo)->currentIndex(), -1);
    EXPECT_EQ(Find(*dialog, CFormatDlg::ResolutionCombo)->itemText(3), "640 x 480");
    EXPECT_EQ(Find(*dialog, CFormatDlg::FrameRateCombo)->currentText(), "Source");
    EXPECT_EQ(Find(*dialog, CFormatDlg::SampleRateCombo)->currentText(), "Source");
    EXPECT_EQ(Find(*dialog, CFormatDlg::AudioBitrateCombo)->currentText(), "128");
    const QSpinBox* bitrate = Find<QSpinBox>(*dialog, CFormatDlg::VideoBitrateEdit);
    EXPECT_EQ(bitrate->value(), 3000);
    EXPECT_EQ(bitrate->minimum(), 192);
    EXPECT_EQ(bitrate->maximum(), 30000);
}

struct SelectionRow {
    const char* what;
    std::function<void(CTargetHandler&)> set;
    int comboId;
    const char* selected;  // null: no entry selected
};

TEST_F(FormatDlgTest, SelectsTheEntryThatBeginsWithTheCurrentValue)
{
    const SelectionRow rows[] = {
        {"NTSC frame rate", [](CTargetHandler& h) { h.video.frameRate = -2997; }, CFormatDlg::FrameRateCombo, "29.97"},
        {"source frame rate", [](CTargetHandler& h) { h.video.frameRate = 0; }, CFormatDlg::FrameRateCombo, "Source"},
        {"film frame rate", [](CTargetHandler& h) { h.video.frameRate = 2400; }, CFormatDlg::FrameRateCombo, "24.00"},
        {"unlisted frame rate", [](CTargetHandler& h) { h.video.frameRate = 1500; }, CFormatDlg::FrameRateCombo,
         nullptr},
        {"listed size", [](CTargetHandler& h) {
             h.video.width = 640;
             h.video.height = 480;
         },
         CFormatDlg::ResolutionCombo, "640 x 480"},
        {"source size", [](CTargetHandler& h) { h.video.width = h.video.height = 0; }, CFormatDlg::ResolutionCombo,
         "Source"},
        {"sample rate", [](CTargetHandler& h) { h.audio.sampleRate = 44100; }, CFormatDlg::SampleRateCombo, "44100"},
        {"listed bit rate", [](CTargetHandler& h) { h.audio.bitRate = 12; }, CFormatDlg::AudioBitrateCombo, "12"},
        // Only the beginning has to match, so 11 lands on 112.
        {"bit rate prefix", [](CTargetHandler& h) { h.audio.bitRate = 11; }, CFormatDlg::AudioBitrateCombo, "112"},
        {"unlisted bit rate", [](CTargetHandler& h) { h.audio.bitRate = 1000; }, CFormatDlg::AudioBitrateCombo,
         nullptr},
    };
    for (const SelectionRow& row : rows) {
        SCOPED_TRACE(row.what);
        CMPEG4TargetHandler handler;
        row.set(handler);
        const auto dialog = Open(handler);
        const QComboBox* combo = Find(*dialog, row.comboId);
        if (row.selected)
            EXPECT_EQ(combo->currentText(), row.selected);
        else
            EXPECT_EQ(combo->currentIndex(), -1);
    }
}

struct OkRow {
    const char* what;
    std::function<void(const CFormatDlg&)> choose;
    std::function<void(TargetVideoSettings&, TargetAudioSettings&)> expectedChange;
};

TEST_F(FormatDlgTest, OkWritesWhatIsSelected)
{
    using Video = TargetVideoSettings;
    using Audio = TargetAudioSettings;
    const OkRow rows[] = {
        // 1024 x 576 shows no size, so OK keeps it and every other value.
        {"nothing", [](const CFormatDlg&) {}, [](Video&, Audio&) {}},
        {"a size", [](const CFormatDlg& d) { Choose(d, CFormatDlg::ResolutionCombo, "640 x 480"); },
         [](Video& v, Audio&) {
             v.width = 640;
             v.height = 480;
             v.resizeMode = 1;
         }},
        {"the source size", [](const CFormatDlg& d) { Choose(d, CFormatDlg::ResolutionCombo, "Source"); },
         [](Video& v, Audio&) { v.width = v.height = 0; }},
        {"a frame rate", [](const CFormatDlg& d) { Choose(d, CFormatDlg::FrameRateCombo, "29.97"); },
         [](Video& v, Audio&) { v.frameRate = -2997; }},
        {"a video codec", [](const CFormatDlg& d) { Choose(d, CFormatDlg::VideoCodecCombo, "MPEG-4 Part 2 Encoder"); },
         [](Video& v, Audio&) { v.encoder = CLSID_Mpeg4Encoder; }},
        {"a video bit rate", [](const CFormatDlg& d) { TypeVideoBitrate(d, "4500"); },
         [](Video& v, Audio&) { v.bitRate = 4500; }},
        {"a sample rate", [](const CFormatDlg& d) { Choose(d, CFormatDlg::SampleRateCombo, "48000"); },
         [](Video&, Audio& a) { a.sampleRate = 48000; }},
        {"an audio bit rate", [](const CFormatDlg& d) { Choose(d, CFormatDlg::AudioBitrateCombo, "192"); },
         [](Video&, Audio& a) { a.bitRate = 192; }},
    };
    for (const OkRow& row : rows) {
        SCOPED_TRACE(row.what);
        CMPEG4TargetHandler handler;
        Video video = handler.video;
        Audio audio = handler.audio;
        row.expectedChange(video, audio);
        const auto dialog = Open(handler);
        row.choose(*dialog);
        Find<QPushButton>(*dialog, CFormatDlg::IDOK)->click();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        ExpectSameSettings(handler, video, audio);
    }
}

TEST_F(FormatDlgTest, AChosenProfileStaysAfterCancel)
{
    CTargetHandler& wmv = Handler(kWmv);
    const auto dialog = Open(wmv);
    QTest::keyClick(Find(*dialog, CFormatDlg::ProfileCombo), Qt::Key_Down);
    EXPECT_EQ(Find(*dialog, CFormatDlg::ResolutionCombo)->currentText(), "640 x 480");
    Choose(*dialog, CFormatDlg::FrameRateCombo, "25.00");
    Find<QPushButton>(*dialog, CFormatDlg::IDCANCEL)->click();

    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(wmv.CurrentProfile(), 1);
    ExpectSameSettings(wmv, wmv.Profiles()[1]->video, wmv.Profiles()[1]->audio);  // the frame rate was not taken
}

// A handler whose video bit rate range the test sets.
class RangedHandler final : public CMPEG4TargetHandler {
public:
    RangedHandler(int minimum, int maximum) : m_minimum(minimum), m_maximum(maximum) {}
    void GetVideoBitrateRange(int& minimum, int& maximum) const override
    {
        minimum = m_minimum;
        maximum = m_maximum;
    }

private:
    int m_minimum, m_maximum;
};

struct RangeRow {
    int minimum, maximum;
    bool enabled;
    int shownMinimum, shownMaximum;
};

TEST_F(FormatDlgTest, VideoBitrateTakesTheHandlersRangeIn16Bits)
{
    const RangeRow rows[] = {
        {0, 0, false, 0, 0},  // no range: nothing to set
        {0, 1, true, 0, 1},
        {100, 100000, true, 100, 32767},
        {-40000, 50, true, -32768, 50},
    };
    for (const RangeRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.minimum << ".." << row.maximum);
        RangedHandler handler(row.minimum, row.maximum);
        const auto dialog = Open(handler);
        const QSpinBox* spin = Find<QSpinBox>(*dialog, CFormatDlg::VideoBitrateEdit);
        EXPECT_EQ(spin->isEnabled(), row.enabled);
        EXPECT_EQ(spin->minimum(), row.shownMinimum);
        EXPECT_EQ(spin->maximum(), row.shownMaximum);
    }
}

}  // namespace
