// A source and a target whose graphs the test controls: the target puts a
// test sink where the encoders would be, the source feeds it numbered
// samples (endless ones keep a task running until it is aborted). The
// target can refuse tasks by name.
#pragma once

#include <QStringList>

#include "pipeline/device.h"
#include "tests/platform/dshow/test_filters.h"

namespace program_testing {

class ScriptedTarget final : public CTargetDevice {
public:
    explicit ScriptedTarget(CKestrelDoc* document, const QString& folder);

    HRESULT PrepareGraph(CSourceDevice* source, CGraphContext* context) override;

    QStringList refused;  // names of the tasks whose PrepareGraph fails
    QString folder;
};

class ScriptedSource final : public CSourceDevice {
public:
    explicit ScriptedSource(CKestrelDoc* document);

    HRESULT BuildVideoGraph(CTargetDevice* target, CGraphContext* context) override;
    HRESULT BuildAudioGraph(CTargetDevice* target, CGraphContext* context) override;

    testing_filters::SourceSettings settings;
};

}  // namespace program_testing
