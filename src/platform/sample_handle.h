// SampleHandle: the owner of one sound sample of the graphics library. The sample is destroyed
// when the handle goes, exactly once; an empty handle owns nothing. (A sample still playing is
// stopped by the library when it is destroyed.)
#pragma once

#include <allegro.h>

#include <memory>

struct SampleDeleter {
    void operator()(SAMPLE* sample) const {
        if (sample) destroy_sample(sample);
    }
};
using SampleHandle = std::unique_ptr<SAMPLE, SampleDeleter>;
