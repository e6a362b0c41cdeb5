// Real media for component tests: the ffmpeg command makes small fixtures
// in a test's temporary folder, and ffprobe reports what a component wrote,
// so no test trusts our own code to judge its output.
#pragma once

#include <map>
#include <string>

namespace testing_media {

// Runs `ffmpeg -y -v error <arguments> <path>`; true when it succeeded.
// Example: MakeMedia(path, "-f lavfi -i testsrc=size=320x240:rate=25 -t 2 -c:v libx264")
bool MakeMedia(const std::string& path, const std::string& arguments);

// What ffprobe says of a file: "format.duration", "streams.stream.0.codec_name",
// ... (ffprobe's flat output, keys without quotes around the values).
class Probe {
public:
    explicit Probe(const std::string& path);

    bool IsValid() const { return !m_values.empty(); }
    // "" when ffprobe did not report the key.
    std::string Get(const std::string& key) const;
    std::string Stream(int index, const std::string& key) const;
    double Duration() const;
    int StreamCount() const;
    // The index of the first stream of "video" or "audio", or -1.
    int FirstStream(const std::string& codecType) const;
    double Number(const std::string& key) const;

private:
    std::map<std::string, std::string> m_values;
};

// Runs a shell command and returns what it printed on standard output.
std::string RunCommand(const std::string& command);
// Quotes a path for the shell.
std::string Quoted(const std::string& text);

}  // namespace testing_media
