// An open libsndfile file, closed when its owner goes: the book tool reads and writes narrations
// with libsndfile in more than one command.
#pragma once

#include <memory>
#include <sndfile.h>

namespace tavelio::book {

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

} // namespace tavelio::book
