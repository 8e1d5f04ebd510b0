#pragma once
// Photo-like pictures for the benchmarks: gradients, shapes and noise, so
// they decode and compress like real photos.

#include <QImage>
#include <QSize>

namespace BenchPhotos {
QImage makePhoto(const QSize &size, int seed);
}
