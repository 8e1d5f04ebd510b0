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
    explicit DecodeDeadline(const QString &what) : DecodeDeadline(what, 0, 0) {}
    // For a decode whose work grows with the pixels the file declares:
    // kLimit, and `nanosPerPixel` more for each of `pixels`, so that a big
    // ordinary picture is not taken for a runaway decode.
    DecodeDeadline(const QString &what, qint64 pixels, double nanosPerPixel);
    bool expired() const { return std::chrono::steady_clock::now() > m_until; }
    void check() const;   // throws ImgXError once expired
    // The limit, in whole seconds rounded up, for messages.
    qint64 seconds() const;
    // Why a decode was stopped at a limit of `seconds`, as messages give it
    // after "Cannot read the ... image: ".
    static QString stoppedReason(double seconds);

private:
    QString m_what;
    std::chrono::nanoseconds m_limit;
    std::chrono::steady_clock::time_point m_until;
};
