#include "source/picturesource.h"

SourceKeeping::~SourceKeeping() = default;

PictureSource::~PictureSource() = default;

bool PictureSource::perform(const SourceAction&) {
    return false;
}
