#include "tests/components/writer_graph.h"

#include "components/register_components.h"
#include "components/write/asf_writer.h"
#include "platform/dshow/graph_pins.h"
#include "tests/support/raw_media_filters.h"

namespace writer_tests {

using testing_filters::EventRecord;

WriterGraph::WriterGraph(const CLSID& clsid, const std::string& path)
{
    RegisterComponents();
    CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(writer.ReleaseAndGetAddressOf()));
    if (!writer) return;
    h.Add(writer.Get(), "Writer");
    if (const auto sink = writer.As<IFileSinkFilter>()) sink->SetFileName(path.c_str(), nullptr);
}

HRESULT WriterGraph::UseWmvProfile(int width, int height)
{
    ComPtr<IWMProfileManager> manager;
    HRESULT hr = WMCreateProfileManager(manager.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    ComPtr<IWMProfile> profile;
    const std::string xml = WmvProfileXml(std::to_string(width), std::to_string(height));
    hr = manager->LoadProfileByData(xml.c_str(), profile.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    const auto config = writer.As<IConfigAsfWriter>();
    return config ? config->ConfigureFilterUsingProfile(profile.Get()) : E_NOINTERFACE;
}

namespace {

HRESULT ConnectSource(WriterGraph& g, IBaseFilter* source, int pinIndex)
{
    g.sources.emplace_back(source);
    g.h.Add(source, "Source");
    IPin* in = g.h.Pin(g.writer.Get(), PINDIR_INPUT, pinIndex);
    if (!in) return E_FAIL;
    return g.h.graph->ConnectDirect(g.h.Pin(source, PINDIR_OUTPUT), in, nullptr);
}

}  // namespace

HRESULT WriterGraph::AddVideo(const RawVideoFormat& format, int frames, int pinIndex)
{
    return ConnectSource(*this, new testing_media::CRawVideoSource(format, frames), pinIndex);
}

HRESULT WriterGraph::AddAudio(const RawAudioFormat& format, double seconds, int pinIndex)
{
    return ConnectSource(*this, new testing_media::CRawAudioSource(format, seconds), pinIndex);
}

std::vector<EventRecord> WriterGraph::Run()
{
    std::vector<EventRecord> events;
    if (FAILED(h.RunFree())) return events;
    events = h.EventsUntilEnd();
    h.control->Stop();
    return events;
}

std::vector<long> Codes(const std::vector<EventRecord>& events)
{
    std::vector<long> codes;
    for (const auto& [code, param] : events) codes.push_back(code);
    return codes;
}

std::string WmvProfileXml(const std::string& width, const std::string& height)
{
    std::string xml = R"(<profile version="524288" storageformat="1" name="Custom VBR for Broadband." description="Custom VBR content that is quality constrained.">
  <streamconfig majortype="{73647561-0000-0010-8000-00AA00389B71}" streamnumber="1" streamname="Audio Stream" inputname="Audio" bitrate="64040" bufferwindow="-1" reliabletransport="0" decodercomplexity="" rfc1766langid="de">
    <wmmediatype subtype="{00000161-0000-0010-8000-00AA00389B71}" bfixedsizesamples="1" btemporalcompression="0" lsamplesize="1487">
      <waveformatex wFormatTag="353" nChannels="2" nSamplesPerSec="44100" nAvgBytesPerSec="8005" nBlockAlign="1487" wBitsPerSample="16" codecdata="008800000F00792E0000"/>
    </wmmediatype>
  </streamconfig>
  <streamconfig majortype="{73646976-0000-0010-8000-00AA00389B71}" streamnumber="2" streamname="Video Stream" inputname="Video" bitrate="0" bufferwindow="-1" reliabletransport="1" decodercomplexity="" rfc1766langid="de" vbrenabled="1" vbrquality="97" bitratemax="0" bufferwindowmax="0">
    <videomediaprops maxkeyframespacing="100000000" quality="0"/>
    <wmmediatype subtype="{32564D57-0000-0010-8000-00AA00389B71}" bfixedsizesamples="0" btemporalcompression="1" lsamplesize="0">
      <videoinfoheader dwbitrate="1" dwbiterrorrate="0" avgtimeperframe="333333">
        <rcsource left="0" top="0" right="%width%" bottom="%height%"/>
        <rctarget left="0" top="0" right="%width%" bottom="%height%"/>
        <bitmapinfoheader biwidth="%width%" biheight="%height%" biplanes="1" bibitcount="24" bicompression="WMV2" bisizeimage="0" bixpelspermeter="0" biypelspermeter="0" biclrused="0" biclrimportant="0"/>
      </videoinfoheader>
    </wmmediatype>
    <dataunitextension extensionsystemid="{1B1EE554-F9EA-4BC8-821A-376B74E4C4B8}" extensiondatasize="2" extensionsysteminfo=""/>
  </streamconfig>
</profile>
)";
    for (const auto& [key, value] : {std::pair{std::string("%width%"), width}, std::pair{std::string("%height%"), height}})
        for (size_t at = xml.find(key); at != std::string::npos; at = xml.find(key, at + value.size()))
            xml.replace(at, key.size(), value);
    return xml;
}

}  // namespace writer_tests
