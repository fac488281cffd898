// Draws the images of the resource file (logo, markers, step arrows, title-bar buttons).
// Build and run by hand: g++ -fPIC tools/make_images.cpp $(pkg-config --cflags --libs Qt5Gui) -o /tmp/mk && /tmp/mk resources/png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

static QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

static void marker(const QString &dir, const QString &name, QColor fill, const QString &letter, int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    if (!letter.isEmpty()) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(size - 5);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, letter);
    }
    p.end();
    img.save(dir + "/" + name);
}

static void arrow(const QString &dir, const QString &name, bool up, QColor c)
{
    QImage img = canvas(22, 11);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPainterPath path;
    if (up) {
        path.moveTo(11, 1);
        path.lineTo(19, 10);
        path.lineTo(3, 10);
    } else {
        path.moveTo(3, 1);
        path.lineTo(19, 1);
        path.lineTo(11, 10);
    }
    path.closeSubpath();
    p.drawPath(path);
    p.end();
    img.save(dir + "/" + name);
}

static void titleButton(const QString &dir, const QString &name, bool close)
{
    QImage img = canvas(27, 27);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(QColor(72, 72, 73));
    p.drawRoundedRect(QRectF(0.5, 0.5, 26, 26), 5, 5);
    p.setPen(QPen(QColor(235, 235, 235), 2.2, Qt::SolidLine, Qt::RoundCap));
    if (close) {
        p.drawLine(QPointF(8, 8), QPointF(19, 19));
        p.drawLine(QPointF(19, 8), QPointF(8, 19));
    } else {
        p.drawLine(QPointF(8, 18), QPointF(19, 18));
    }
    p.end();
    img.save(dir + "/" + name);
}

static void logo(const QString &dir)
{
    QImage img = canvas(156, 28);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 156, 0);
    g.setColorAt(0, QColor(0, 160, 80));
    g.setColorAt(1, QColor(0, 90, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 2, 24, 24), 5, 5);
    p.setPen(QPen(Qt::white, 2));
    QPainterPath wave;
    wave.moveTo(4, 14);
    for (int x = 4; x <= 20; ++x) wave.lineTo(x, 14 - 6 * qSin((x - 4) / 16.0 * 6.283));
    p.drawPath(wave);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(19);
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(f);
    p.setPen(QColor(235, 235, 235));
    p.drawText(QRect(30, 0, 126, 28), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("VELTRA"));
    p.end();
    img.save(dir + "/UI_LOGO.png");
}

static void appIcon(const QString &path)
{
    QImage img = canvas(128, 128);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 128, 128);
    g.setColorAt(0, QColor(0, 160, 80));
    g.setColorAt(1, QColor(0, 90, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 24, 24);
    p.setPen(QPen(Qt::white, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath wave;
    wave.moveTo(20, 64);
    for (int x = 20; x <= 108; ++x) wave.lineTo(x, 64 - 30 * qSin((x - 20) / 88.0 * 6.283));
    p.drawPath(wave);
    p.end();
    img.save(path);
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    marker(dir, "Marker.png", QColor(255, 215, 0), QString(), 11);
    marker(dir, "H_Nor.png", QColor(120, 200, 255), "H", 16);
    marker(dir, "H_On.png", QColor(255, 140, 0), "H", 16);
    marker(dir, "L_Nor.png", QColor(120, 255, 160), "L", 16);
    marker(dir, "L_On.png", QColor(255, 140, 0), "L", 16);
    arrow(dir, "UpdownUpNor.png", true, QColor(200, 200, 200));
    arrow(dir, "UpdownUpOn.png", true, QColor(0, 200, 0));
    arrow(dir, "UpdownDnNor.png", false, QColor(200, 200, 200));
    arrow(dir, "UpdownDnOn.png", false, QColor(0, 200, 0));
    titleButton(dir, "MainClose.png", true);
    titleButton(dir, "MainMin.png", false);
    logo(dir);
    appIcon(dir + "/../../packaging/kestrun.png");
    return 0;
}
