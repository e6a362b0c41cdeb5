// A source and a target whose graphs the test controls: the target puts a
// test sink where the encoders would be, the source feeds it numbered
// samples (endless ones keep a task running until it is aborted). The
// target can refuse tasks by name, and put the Time Grabber in front of its
// sink as real targets do.
#pragma once

#include <QStringList>

#include "pipeline/device.h"
#include "tests/platform/dshow/test_filters.h"

namespace program_testing {

class ScriptedTarget final : public CTargetDevice {
public:
    explicit ScriptedTarget(CKestrelDoc* document, const QString& folder);

    HRESULT PrepareGraph(CSourceDevice* source, CGraphContext* context) override;
    HRESULT FinishGraph(CSourceDevice* source, CGraphContext* context) override;

    // The sink of the latest graph prepared; null before the first.
    testing_filters::CTestSink* Sink() const { return m_sink; }

    QStringList refused;  // names of the tasks whose PrepareGraph fails
    QString folder;
    bool timeGrabber = false;  // FinishGraph inserts the Time Grabber
    // Each new sink holds this sample until the gate opens (CTestSink::HoldSample).
    int holdSample = -1;
    testing_filters::Gate* holdGate = nullptr;
    HRESULT closeFailure = S_OK;  // each new sink fails to stop with it

private:
    testing_filters::CTestSink* m_sink = nullptr;
    ComPtr<IBaseFilter> m_sinkRef;  // keeps the sink readable after its task
};

class ScriptedSource final : public CSourceDevice {
public:
    explicit ScriptedSource(CKestrelDoc* document);

    HRESULT BuildVideoGraph(CTargetDevice* target, CGraphContext* context) override;
    HRESULT BuildAudioGraph(CTargetDevice* target, CGraphContext* context) override;

    testing_filters::SourceSettings settings;
    bool offersSeeking = true;  // the context gets the source pin's IMediaSeeking
};

}  // namespace program_testing
