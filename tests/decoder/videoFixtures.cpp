#include "videoFixtures.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace {

bool Run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct PipeCloser {
    void operator()(FILE* pipe) const { pclose(pipe); }
};

}  // namespace

TempFolder::TempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/stillreel-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string Quoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

bool Ffmpeg(const std::string& arguments)
{
    return Run("ffmpeg -v error -nostdin -y " + arguments);
}

std::string Ffprobe(const std::string& arguments)
{
    std::unique_ptr<FILE, PipeCloser> pipe(popen(("ffprobe -v error " + arguments).c_str(), "r"));
    if (!pipe)
        return {};
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        output.append(buffer, n);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r' || output.back() == ' '))
        output.pop_back();
    return output;
}

std::string Pattern(const std::string& size, const std::string& source)
{
    return source + "=size=" + size + ":rate=25";
}

bool MakeClip(const std::string& path, const std::string& source, int seconds, const std::string& codec,
    const std::string& muxer)
{
    return Ffmpeg("-f lavfi -i " + source + " -t " + std::to_string(seconds) + " " + codec + " "
        + muxer + " " + Quoted(path));
}

bool MakeQuarterClip(const std::string& path)
{
    const std::string source = "color=red:s=48x32[a];color=lime:s=48x32[b];color=blue:s=48x32[c];"
                               "color=white:s=48x32[d];[a][b]hstack[t];[c][d]hstack[u];[t][u]vstack";
    return Ffmpeg("-f lavfi -i " + Quoted(source) + " -r 25 -t 2 -c:v libx264 -g 10 -pix_fmt yuv420p " + Quoted(path));
}

bool WithDisplayMatrix(const std::string& source, const std::string& target, int a, int b, int c, int d)
{
    std::vector<std::uint8_t> bytes = ReadFile(source);
    const std::string tag = "tkhd";
    const auto found = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    if (found == bytes.end())
        return false;
    const std::size_t box = static_cast<std::size_t>(found - bytes.begin()) + 4;
    // Version 0 and 1 headers differ in the width of their times before the matrix.
    const std::size_t matrix = box + (bytes[box] == 0 ? 24 : 36) + 16;
    if (matrix + 36 > bytes.size())
        return false;
    const std::int32_t values[9] = {a * 65536, b * 65536, 0, c * 65536, d * 65536, 0, 0, 0, 1 << 30};
    for (std::size_t i = 0; i < 9; ++i) {
        for (std::size_t k = 0; k < 4; ++k)
            bytes[matrix + i * 4 + k] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(values[i]) >> (24 - 8 * k));
    }
    WriteFile(target, bytes);
    return true;
}

std::vector<std::vector<std::uint8_t>> ReferencePictures(const std::string& path, int width, int height,
    int seekSeconds, int maxPictures)
{
    const std::string raw = path + ".reference.bgra";
    std::string arguments = "-i " + Quoted(path);
    if (seekSeconds >= 0)
        arguments += " -ss " + std::to_string(seekSeconds);
    if (maxPictures > 0)
        arguments += " -frames:v " + std::to_string(maxPictures);
    arguments += " -map 0:v:0 -fps_mode passthrough -f rawvideo -pix_fmt bgra " + Quoted(raw);
    std::vector<std::vector<std::uint8_t>> pictures;
    if (!Ffmpeg(arguments))
        return pictures;
    const std::vector<std::uint8_t> bytes = ReadFile(raw);
    std::filesystem::remove(raw);
    const std::size_t pictureBytes = static_cast<std::size_t>(width) * height * 4;
    for (std::size_t offset = 0; pictureBytes > 0 && offset + pictureBytes <= bytes.size(); offset += pictureBytes)
        pictures.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            bytes.begin() + static_cast<std::ptrdiff_t>(offset + pictureBytes));
    return pictures;
}

PictureDifference Compare(const std::uint8_t* pixels, const std::vector<std::uint8_t>& reference)
{
    PictureDifference result;
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        if (i % 4 == 3)
            continue;
        const int difference = std::abs(int{pixels[i]} - int{reference[i]});
        sum += difference;
        ++count;
        result.largest = std::max(result.largest, difference);
    }
    result.mean = count > 0 ? sum / count : 0;
    return result;
}

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testing_support
