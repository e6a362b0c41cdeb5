#include "targets/target_handler.h"

HRESULT CTargetHandler::CheckComponents(QString&, QString&)
{
    return S_OK;
}

void CTargetHandler::GetResolutions(QList<QSize>& sizes) const
{
    sizes << QSize(0, 0) << QSize(320, 240) << QSize(480, 360) << QSize(640, 480) << QSize(720, 480)
          << QSize(720, 576) << QSize(1280, 720) << QSize(1440, 720) << QSize(1440, 1080) << QSize(1920, 1080);
}

void CTargetHandler::GetVideoBitrateRange(int& minimum, int& maximum) const
{
    minimum = 192;
    maximum = 30000;
}

void CTargetHandler::GetAudioBitrates(QList<int>& rates) const
{
    rates << 0;
}

void CTargetHandler::GetFrameRates(QList<int>& rates) const
{
    rates << 0 << 2400 << 2500 << -2997 << 3000;
}

void CTargetHandler::GetSampleRates(QList<int>& rates) const
{
    rates << 0 << 16000 << 22050 << 32000 << 44100 << 48000 << 96000;
}

void CTargetHandler::SelectProfile(int index)
{
    if (index < 0 || index >= int(m_profiles.size()))
        return;
    const CTargetProfile* profile = m_profiles[size_t(index)].get();
    video = profile->video;
    audio = profile->audio;
    m_currentProfile = index;
}

QList<const CTargetProfile*> CTargetHandler::Profiles() const
{
    QList<const CTargetProfile*> profiles;
    for (const std::unique_ptr<CTargetProfile>& profile : m_profiles)
        profiles.append(profile.get());
    return profiles;
}

void CTargetHandler::AddProfile(std::unique_ptr<CTargetProfile> profile)
{
    m_profiles.push_back(std::move(profile));
}

void CTargetHandler::DeleteProfiles()
{
    m_profiles.clear();
    m_currentProfile = 0;
}

const QByteArray& CTargetHandler::Extra() const
{
    static const QByteArray none;
    if (m_currentProfile < 0 || m_currentProfile >= int(m_profiles.size()))
        return none;
    return m_profiles[size_t(m_currentProfile)]->extra;
}
