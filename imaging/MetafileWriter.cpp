#include "MetafileWriter.h"

#include "DibCodec.h"
#include "ImagingLog.h"
#include "ImgXDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

extern "C" {
#include <uemf.h>
#include <uwmf.h>
}

#include <cstdio>
#include <cstdlib>

namespace {

constexpr uint32_t kSrcCopy = 0x00CC0020;   // the raster operation that just copies
constexpr int kDpi = 96;

// libUEMF writes only to a named file; it gets a private temporary one,
// and the caller writes the bytes to their destination safely.
class ScratchFile {
public:
    ScratchFile()
    {
        m_file.setFileTemplate(QDir::tempPath() + QStringLiteral("/qmr-metafile-XXXXXX"));
        if (!m_file.open())
            throw ImgXError(QStringLiteral("Cannot write the metafile: %1").arg(m_file.errorString()));
        m_file.close();
    }
    QByteArray name() const { return QFile::encodeName(m_file.fileName()); }
    QByteArray contents()
    {
        QFile in(m_file.fileName());
        if (!in.open(QIODevice::ReadOnly))
            throw ImgXError(QStringLiteral("Cannot write the metafile: %1").arg(in.errorString()));
        return in.readAll();
    }

private:
    QTemporaryFile m_file;
};

// libUEMF and libwmf (which ImageMagick's WMF coder may bring in) both
// export a function named wmf_free; which one a call reaches depends on
// load order. So the tracker is released here without that name.
void releaseWmfTrack(WMFTRACK *&wt)
{
    if (!wt)
        return;
    if (wt->fp)
        std::fclose(wt->fp);
    std::free(wt->buf);
    std::free(wt);
    wt = nullptr;
}

void requireRecord(const void *record, const char *what)
{
    if (!record)
        throw ImgXError(QStringLiteral("Cannot write the metafile: libUEMF could not make the %1 record.")
                            .arg(QLatin1String(what)));
}

}

namespace MetafileWriter {

QByteArray wmf(const QImage &image)
{
    if (image.isNull())
        throw ImgXError(QStringLiteral("There is no image to save."));
    // WMF coordinates are 16-bit.
    if (image.width() > 32767 || image.height() > 32767)
        throw ImgXError(QStringLiteral("A WMF file cannot hold an image of %1 x %2 pixels (at most 32767 a side).")
                            .arg(image.width())
                            .arg(image.height()));
    const DibCodec::Encoded dib = DibCodec::encode(image);
    ScratchFile scratch;
    WMFTRACK *wt = nullptr;
    if (wmf_start(scratch.name().constData(), 1u << 20, 1u << 20, &wt) != 0 || !wt)
        throw ImgXError(QStringLiteral("Cannot write the metafile: libUEMF could not start it."));
    const int w = image.width(), h = image.height();
    bool ok = true;
    try {
        U_PAIRF *inches = U_PAIRF_set(float(w) / kDpi, float(h) / kDpi);
        char *header = U_WMRHEADER_set(inches, kDpi);
        std::free(inches);
        requireRecord(header, "header");
        ok &= wmf_header_append(reinterpret_cast<U_METARECORD *>(header), wt, 1) == 0;
        char *rec = U_WMRSETMAPMODE_set(U_MM_TEXT);
        requireRecord(rec, "map mode");
        ok &= wmf_append(reinterpret_cast<U_METARECORD *>(rec), wt, 1) == 0;
        rec = U_WMRSETWINDOWORG_set(U_POINT16{0, 0});
        requireRecord(rec, "window origin");
        ok &= wmf_append(reinterpret_cast<U_METARECORD *>(rec), wt, 1) == 0;
        rec = U_WMRSETWINDOWEXT_set(U_POINT16{int16_t(w), int16_t(h)});
        requireRecord(rec, "window extent");
        ok &= wmf_append(reinterpret_cast<U_METARECORD *>(rec), wt, 1) == 0;
        rec = U_WMRSETSTRETCHBLTMODE_set(U_STRETCH_DELETESCANS);
        requireRecord(rec, "stretch mode");
        ok &= wmf_append(reinterpret_cast<U_METARECORD *>(rec), wt, 1) == 0;
        const U_BITMAPINFOHEADER *bmih = reinterpret_cast<const U_BITMAPINFOHEADER *>(dib.header.constData());
        U_BITMAPINFO *bmi = bitmapinfo_set(*bmih, nullptr);
        rec = U_WMRSTRETCHDIB_set(U_POINT16{0, 0}, U_POINT16{int16_t(w), int16_t(h)}, U_POINT16{0, 0},
                                  U_POINT16{int16_t(w), int16_t(h)}, U_DIB_RGB_COLORS, kSrcCopy, bmi,
                                  uint32_t(dib.bits.size()), dib.bits.constData());
        std::free(bmi);
        requireRecord(rec, "bitmap");
        ok &= wmf_append(reinterpret_cast<U_METARECORD *>(rec), wt, 1) == 0;
        rec = U_WMREOF_set();
        requireRecord(rec, "end");
        ok &= wmf_append(reinterpret_cast<U_METARECORD *>(rec), wt, 1) == 0;
        ok &= wmf_finish(wt) == 0;
    } catch (...) {
        qCWarning(lcImaging, "Cannot write a WMF of %d x %d pixels", w, h);
        releaseWmfTrack(wt);
        throw;
    }
    releaseWmfTrack(wt);
    if (!ok)
        throw ImgXError(QStringLiteral("Cannot write the WMF file: libUEMF failed to add a record."));
    return scratch.contents();
}

QByteArray emf(const QImage &image)
{
    if (image.isNull())
        throw ImgXError(QStringLiteral("There is no image to save."));
    const DibCodec::Encoded dib = DibCodec::encode(image);
    ScratchFile scratch;
    EMFTRACK *et = nullptr;
    EMFHANDLES *eht = nullptr;
    if (emf_start(scratch.name().constData(), 1u << 20, 1u << 20, &et) != 0 || !et
        || emf_htable_create(128, 128, &eht) != 0) {
        if (et)
            emf_free(&et);
        throw ImgXError(QStringLiteral("Cannot write the metafile: libUEMF could not start it."));
    }
    const int w = image.width(), h = image.height();
    bool ok = true;
    try {
        // Bounds in device pixels (inclusive), frame in 0.01 mm at 96 dpi,
        // and a reference device of the same resolution.
        const U_RECTL bounds = rectl_set(U_POINTL{0, 0}, U_POINTL{w - 1, h - 1});
        const U_RECTL frame = rectl_set(U_POINTL{0, 0}, U_POINTL{int32_t(qRound64(w * 2540.0 / kDpi)),
                                                                  int32_t(qRound64(h * 2540.0 / kDpi))});
        const U_SIZEL device = sizel_set(1920, 1080);
        const U_SIZEL millimetres = sizel_set(int32_t(qRound(1920 * 25.4 / kDpi)), int32_t(qRound(1080 * 25.4 / kDpi)));
        char *rec = U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, device, millimetres, 0);
        requireRecord(rec, "header");
        ok &= emf_append(reinterpret_cast<U_ENHMETARECORD *>(rec), et, 1) == 0;
        const U_BITMAPINFOHEADER *bmih = reinterpret_cast<const U_BITMAPINFOHEADER *>(dib.header.constData());
        U_BITMAPINFO *bmi = bitmapinfo_set(*bmih, nullptr);
        QByteArray bits = dib.bits;
        rec = U_EMRSTRETCHDIBITS_set(bounds, U_POINTL{0, 0}, U_POINTL{w, h}, U_POINTL{0, 0}, U_POINTL{w, h},
                                     U_DIB_RGB_COLORS, kSrcCopy, bmi, uint32_t(bits.size()), bits.data());
        std::free(bmi);
        requireRecord(rec, "bitmap");
        ok &= emf_append(reinterpret_cast<U_ENHMETARECORD *>(rec), et, 1) == 0;
        rec = U_EMREOF_set(0, nullptr, et);
        requireRecord(rec, "end");
        ok &= emf_append(reinterpret_cast<U_ENHMETARECORD *>(rec), et, 1) == 0;
        ok &= emf_finish(et, eht) == 0;
    } catch (...) {
        qCWarning(lcImaging, "Cannot write an EMF of %d x %d pixels", w, h);
        emf_free(&et);
        emf_htable_free(&eht);
        throw;
    }
    emf_free(&et);
    emf_htable_free(&eht);
    if (!ok)
        throw ImgXError(QStringLiteral("Cannot write the EMF file: libUEMF failed to add a record."));
    return scratch.contents();
}

}
