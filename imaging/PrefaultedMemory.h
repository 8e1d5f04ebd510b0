#pragma once
// Large pixel and file buffers whose pages are all mapped in one step.
//
// Touching freshly allocated memory page by page costs a fault for every
// 4 KiB; on some machines (virtual ones especially) that alone takes
// longer than decoding a large JPEG. These buffers ask the kernel for huge
// pages where it offers them and fault the whole range in at once.

#include <QImage>
#include <cstddef>

class PrefaultedMemory {
public:
    explicit PrefaultedMemory(size_t bytes);
    ~PrefaultedMemory();
    PrefaultedMemory(const PrefaultedMemory &) = delete;
    PrefaultedMemory &operator=(const PrefaultedMemory &) = delete;

    char *data() const { return m_data; }   // nullptr when the mapping failed
    size_t size() const { return m_size; }

    // An image of the given size and format over such memory (released
    // with the last copy of the image); a null image on failure.
    static QImage image(const QSize &size, QImage::Format format);

private:
    char *m_data = nullptr;
    size_t m_size = 0;
    void *m_base = nullptr;
    size_t m_length = 0;
};
