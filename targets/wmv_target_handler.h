// CWMVTargetHandler writes Windows Media files with the WM ASF writer. The
// encoding comes from the profile template (resource ":/wmv_profile.xml");
// of the current settings only the frame width and height reach the file.
// It keeps nothing between AddFilters and CompleteGraph. User-interface
// thread only.
#pragma once

#include "targets/target_handler.h"

// The profile template with every "%width%" and "%height%" replaced.
QString WmvProfileText(int width, int height);

class CWMVTargetHandler final : public CTargetHandler {
public:
    CWMVTargetHandler();

    // Adds the writer, returns its "Video Input 01" and "Audio Input 01"
    // pins, then configures it with the profile for the current size.
    HRESULT AddFilters(const QString& outputPath, IGraphBuilder* graph, IPin** videoIn, IPin** audioIn) override;
    HRESULT CompleteGraph() override;
    QString GetFileExtension() const override;
    QString GetFormatName() const override;
    int GetAudioEncoderCount() const override;
    void GetAudioEncoder(int index, QString& name, GUID& clsid) const override;
    int GetVideoEncoderCount() const override;
    void GetVideoEncoder(int index, QString& name, GUID& clsid) const override;
};
