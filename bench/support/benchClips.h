#pragma once

// The clips of the playback benchmarks, made once with the ffmpeg tool in the build folder, and
// the peak memory of a process.

#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "benchShell.h"

namespace bench {

struct TClip {
    const char* Name;
    const char* Options;  // the ffmpeg options after the source
};

// 30 fps test pictures with grain; strict groups of 250 or 60 frames (no scene-cut keyframes).
inline const TClip Clip1080pGop250{"clip1080p30_g250_70s.mp4",
    "-f lavfi -i 'testsrc2=size=1920x1080:rate=30,noise=alls=6:allf=t' -t 70 -c:v libx264 -preset veryfast "
    "-pix_fmt yuv420p -g 250 -keyint_min 250 -sc_threshold 0"};
inline const TClip Clip1080pGop60{"clip1080p30_g60_70s.mp4",
    "-f lavfi -i 'testsrc2=size=1920x1080:rate=30,noise=alls=6:allf=t' -t 70 -c:v libx264 -preset veryfast "
    "-pix_fmt yuv420p -g 60 -keyint_min 60 -sc_threshold 0"};
inline const TClip Clip2160pH264{"clip2160p30_h264_30s.mp4",
    "-f lavfi -i 'testsrc2=size=3840x2160:rate=30,noise=alls=6:allf=t' -t 30 -c:v libx264 -preset veryfast "
    "-pix_fmt yuv420p -g 250 -keyint_min 250 -sc_threshold 0"};
inline const TClip Clip2160pHevc{"clip2160p30_hevc_30s.mp4",
    "-f lavfi -i 'testsrc2=size=3840x2160:rate=30,noise=alls=6:allf=t' -t 30 -c:v libx265 -preset ultrafast "
    "-x265-params log-level=error:keyint=250:min-keyint=250:scenecut=0 -pix_fmt yuv420p -tag:v hvc1"};

// The clip's path in `folder`, made there first if it is missing; empty when ffmpeg fails.
inline std::string EnsureClip(const std::string& folder, const TClip& clip)
{
    const std::string path = folder + "/" + clip.Name;
    if (std::filesystem::exists(path))
        return path;
    std::filesystem::create_directories(folder);
    std::printf("making %s with ffmpeg ...\n", clip.Name);
    std::fflush(stdout);
    const std::string partial = path + ".part.mp4";
    const bool made = Run("ffmpeg -v error -nostdin -y " + std::string(clip.Options) + " " + Quoted(partial))
                      && std::rename(partial.c_str(), path.c_str()) == 0;
    return made ? path : std::string();
}

// Whether a program is on the PATH.
inline bool HasProgram(const std::string& name)
{
    return Run("command -v " + Quoted(name) + " >/dev/null 2>&1");
}

// Runs the command in place of a shell and returns its peak resident size in KiB, or -1.
inline long PeakKiBOf(const std::string& command)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

// This process's peak resident size in KiB since the last ResetPeak.
inline long OwnPeakKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Starts the peak resident size again from the present size.
inline void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace bench
