// Draws the files that the program folder holds beside the executable: the
// splash picture and the icons of the associated file types.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

QImage splashPicture()
{
    QImage image(520, 300, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(0x1d, 0x3a, 0x6b));
    sky.setColorAt(1, QColor(0x4c, 0x86, 0xc6));
    p.fillRect(image.rect(), sky);
    // A quill over a stylised lake.
    QPainterPath lake;
    lake.moveTo(0, 230);
    lake.cubicTo(130, 200, 390, 260, 520, 215);
    lake.lineTo(520, 300);
    lake.lineTo(0, 300);
    p.fillPath(lake, QColor(0x9c, 0xc8, 0xee, 160));
    QPainterPath quill;
    quill.moveTo(70, 210);
    quill.cubicTo(110, 120, 170, 70, 230, 40);
    quill.cubicTo(200, 100, 150, 160, 80, 212);
    p.fillPath(quill, QColor(255, 255, 255, 220));
    p.setPen(QColor(255, 255, 255));
    QFont title(QStringLiteral("DejaVu Sans"), 34, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(190, 90, 320, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quillmere"));
    QFont small(QStringLiteral("DejaVu Sans"), 11);
    p.setFont(small);
    p.drawText(QRect(194, 150, 320, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Image browser and viewer  \u2022  version 1.6"));
    return image;
}

QImage fileIcon(const QString &label, const QColor &colour, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    QPainterPath page;
    page.moveTo(6 * s, 2 * s);
    page.lineTo(20 * s, 2 * s);
    page.lineTo(26 * s, 8 * s);
    page.lineTo(26 * s, 30 * s);
    page.lineTo(6 * s, 30 * s);
    page.closeSubpath();
    p.fillPath(page, Qt::white);
    p.setPen(QPen(QColor(0x55, 0x60, 0x70), qMax(1.0, s)));
    p.drawPath(page);
    p.fillRect(QRectF(3 * s, 17 * s, 26 * s, 10 * s), colour);
    p.setPen(Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qMax(6, int(7.5 * s)));
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(3 * s, 17 * s, 26 * s, 10 * s), Qt::AlignCenter, label.toUpper());
    return image;
}

}

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: qmr_makeresources <program folder>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder + QStringLiteral("/icons"));
    bool ok = splashPicture().save(folder + QStringLiteral("/viewer.spl"), "PNG");

    struct TypeIcon { const char *file; const char *label; QColor colour; };
    const TypeIcon icons[] = {
        {"jpg", "jpg", QColor(0xc0, 0x39, 0x2b)}, {"gif", "gif", QColor(0x8e, 0x44, 0xad)},
        {"bmp", "bmp", QColor(0x27, 0x80, 0xb9)}, {"dib", "dib", QColor(0x29, 0x80, 0xa0)},
        {"png", "png", QColor(0x27, 0xae, 0x60)}, {"psd", "psd", QColor(0x1f, 0x4e, 0x8c)},
        {"tif", "tif", QColor(0xd3, 0x54, 0x00)}, {"pcx", "pcx", QColor(0x7f, 0x8c, 0x8d)},
        {"tga", "tga", QColor(0x16, 0xa0, 0x85)}, {"wbmb", "wbmp", QColor(0x2c, 0x3e, 0x50)},
        {"wmf", "wmf", QColor(0xb0, 0x3a, 0x2e)}, {"ico", "ico", QColor(0xf3, 0x9c, 0x12)},
        {"emf", "emf", QColor(0x6c, 0x34, 0x83)}, {"icon", "qmr", QColor(0x3d, 0x6f, 0xb6)}};
    for (const TypeIcon &icon : icons) {
        const QString path = folder + QStringLiteral("/icons/") + QLatin1String(icon.file) + QStringLiteral(".ico");
        ok = fileIcon(QLatin1String(icon.label), icon.colour, 32).save(path, "ICO") && ok;
    }
    if (!ok)
        std::fprintf(stderr, "qmr_makeresources: could not write every file\n");
    return ok ? 0 : 1;
}
