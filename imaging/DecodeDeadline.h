#pragma once
// The time one decode may take. Decoders that can be stopped between steps
// (records of a metafile, frames of an animation, the progress reports of
// an ImageMagick coder) check it as they go, so no file keeps the program
// waiting; past it they stop with an ImgXError.

#include <QString>

#include <chrono>

class DecodeDeadline {
public:
    static constexpr std::chrono::seconds kLimit{5};

    // `what` names the picture in the message ("WMF", "GIF", ...).
    explicit DecodeDeadline(const QString &what)
        : m_what(what), m_until(std::chrono::steady_clock::now() + kLimit)
    {
    }
    bool expired() const { return std::chrono::steady_clock::now() > m_until; }
    void check() const;   // throws ImgXError once expired

private:
    QString m_what;
    std::chrono::steady_clock::time_point m_until;
};
