#include "tests/support/media_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace testing_media {

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string RunCommand(const std::string& command)
{
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return output;
    char buffer[4096];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) output.append(buffer, read);
    return output;
}

bool MakeMedia(const std::string& path, const std::string& arguments)
{
    const std::string command = "ffmpeg -nostdin -y -v error " + arguments + " " + Quoted(path) + " </dev/null";
    return std::system(command.c_str()) == 0;
}

Probe::Probe(const std::string& path)
{
    const std::string output =
        RunCommand("ffprobe -v error -show_format -show_streams -of flat " + Quoted(path) + " 2>/dev/null");
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        m_values[line.substr(0, equals)] = value;
    }
}

std::string Probe::Get(const std::string& key) const
{
    const auto it = m_values.find(key);
    return it == m_values.end() ? "" : it->second;
}

std::string Probe::Stream(int index, const std::string& key) const
{
    return Get("streams.stream." + std::to_string(index) + "." + key);
}

double Probe::Number(const std::string& key) const { return std::atof(Get(key).c_str()); }

double Probe::Duration() const { return Number("format.duration"); }

int Probe::StreamCount() const { return std::atoi(Get("format.nb_streams").c_str()); }

int Probe::FirstStream(const std::string& codecType) const
{
    for (int i = 0; i < StreamCount(); ++i)
        if (Stream(i, "codec_type") == codecType) return i;
    return -1;
}

}  // namespace testing_media
