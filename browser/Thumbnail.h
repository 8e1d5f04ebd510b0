#pragma once
// A finished thumbnail, or the reason there is none.

#include "PackedPicture.h"

#include <QString>

struct Thumbnail {
    PackedPicture picture;
    QString error;     // the imaging component's or the picture loader's text

    bool ok() const { return error.isEmpty(); }
};
