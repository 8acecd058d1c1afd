#pragma once

// The test videos of this module, made on first use into one temporary folder per run.

#include <string>

#include "decoderModule.h"
#include "videoFixtures.h"

namespace testing_support {

struct ClipRecipe {
    const char* name;    // file name; its extension picks the container where no muxer is given
    const char* source;  // lavfi source
    int seconds;
    const char* codec;
    const char* muxer;
};

// Path of the named clip (see clips.cpp for the list), made on first use; empty when ffmpeg
// could not make it.
std::string Clip(const std::string& name);
const TempFolder& Folder();
DecoderModule& Module();

}  // namespace testing_support
