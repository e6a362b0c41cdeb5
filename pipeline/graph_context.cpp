#include "pipeline/graph_context.h"

#include "platform/com/class_registry.h"
#include "platform/dshow/media_guids.h"

CGraphContext::CGraphContext(const QString& name, const QString& sourcePath, bool audioOnly, IGraphBuilder* graph)
    : m_name(name), m_sourcePath(sourcePath), m_audioOnly(audioOnly)
{
    if (graph)
        m_graph = graph;
    else
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_PPV_ARGS(m_graph.ReleaseAndGetAddressOf()));
}

CGraphContext::~CGraphContext()
{
    Release();
}

void CGraphContext::SetInputPins(IPin* video, IPin* audio)
{
    m_videoIn = video;
    m_audioIn = audio;
}

HRESULT CGraphContext::GetAudioInputPin(IPin** pin)
{
    if (!m_audioIn)
        return E_FAIL;
    return m_audioIn.CopyTo(pin);
}

// The pins and interfaces point into the graph's filters: they go first.
void CGraphContext::Release()
{
    m_timeSource.Reset();
    m_seeking.Reset();
    m_videoIn.Reset();
    m_audioIn.Reset();
    m_graph.Reset();
}
