#include "PrefaultedMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

size_t roundUp(size_t value, size_t unit)
{
    return (value + unit - 1) / unit * unit;
}

void releaseImageMemory(void *info)
{
    delete static_cast<PrefaultedMemory *>(info);
}

}

PrefaultedMemory::PrefaultedMemory(size_t bytes)
{
    if (bytes == 0)
        return;
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const bool huge = bytes >= kHugePage;
    // Room to align the start to a huge page boundary.
    m_length = huge ? roundUp(bytes, kHugePage) + kHugePage : roundUp(bytes, page);
    void *base = mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | (huge ? 0 : MAP_POPULATE),
                      -1, 0);
    if (base == MAP_FAILED)
        return;
    m_base = base;
    char *start = static_cast<char *>(base);
    if (huge) {
        start = reinterpret_cast<char *>(roundUp(reinterpret_cast<size_t>(base), kHugePage));
        madvise(start, roundUp(bytes, kHugePage), MADV_HUGEPAGE);
        if (madvise(start, roundUp(bytes, page), MADV_POPULATE_WRITE) != 0) {
            // Older kernels: one write per page still gets huge pages.
            for (size_t at = 0; at < bytes; at += page)
                start[at] = 0;
        }
    }
    m_data = start;
    m_size = bytes;
}

PrefaultedMemory::~PrefaultedMemory()
{
    if (m_base)
        munmap(m_base, m_length);
}

QImage PrefaultedMemory::image(const QSize &size, QImage::Format format)
{
    if (size.isEmpty() || format == QImage::Format_Invalid)
        return QImage();
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype bytesPerLine = (qsizetype(size.width()) * depth + 31) / 32 * 4;
    // Qt refuses some layouts (a row of more than 2^31 bits) and then never
    // calls the release function: ask before mapping anything. The probe
    // only describes memory; nothing reads it.
    uchar probe = 0;
    if (QImage(&probe, size.width(), size.height(), bytesPerLine, format).isNull())
        return QImage();
    auto *memory = new PrefaultedMemory(size_t(bytesPerLine) * size_t(size.height()));
    if (!memory->data()) {
        delete memory;
        return QImage();
    }
    QImage image(reinterpret_cast<uchar *>(memory->data()), size.width(), size.height(), bytesPerLine, format,
                 releaseImageMemory, memory);
    if (image.isNull())
        delete memory;
    return image;
}
