// Draws the program's own pictures (button faces, indicators, splash, icons) into
// resources/pictures. Run it by hand after changing a drawing; the results are committed.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <functional>

namespace {

QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void save(const QImage& image, const QString& folder, const QString& name) {
    const QString path = folder + "/" + name;
    if (!image.save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

// A round lens with a coloured glyph drawn by `glyph` on top.
QImage lensButton(int size, QColor colour, const std::function<void(QPainter&, int)>& glyph) {
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(size * 0.35, size * 0.3, size * 0.7);
    shade.setColorAt(0, colour.lighter(160));
    shade.setColorAt(1, colour.darker(130));
    p.setBrush(shade);
    p.setPen(QPen(colour.darker(170), size / 16.0));
    p.drawEllipse(QRectF(size * 0.06, size * 0.06, size * 0.88, size * 0.88));
    p.setPen(QPen(Qt::white, size / 9.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    glyph(p, size);
    return image;
}

QImage camera(int size, QColor body) {
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(QPen(body.darker(180), s / 24));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(s * 0.08, s * 0.28, s * 0.84, s * 0.56), s * 0.1, s * 0.1);
    p.drawRect(QRectF(s * 0.34, s * 0.18, s * 0.3, s * 0.12));
    QRadialGradient glass(s * 0.46, s * 0.5, s * 0.24);
    glass.setColorAt(0, QColor(140, 200, 255));
    glass.setColorAt(1, QColor(10, 40, 90));
    p.setBrush(glass);
    p.drawEllipse(QPointF(s * 0.5, s * 0.56), s * 0.2, s * 0.2);
    p.setBrush(QColor(255, 80, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(s * 0.8, s * 0.38), s * 0.05, s * 0.05);
    return image;
}

QImage refreshArrows(int w, int h, QColor colour) {
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = std::min(w, h) * 0.38;
    const QPointF c(w / 2.0, h / 2.0);
    p.setPen(QPen(colour, std::max(1.5, r / 3.5), Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 30 * 16, 150 * 16);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const double a = r * 0.7;
    p.drawPolygon(QPolygonF({QPointF(c.x() + r, c.y() - a * 0.2), QPointF(c.x() + r - a, c.y() - a),
                             QPointF(c.x() + r + a * 0.6, c.y() - a * 1.1)}));
    p.drawPolygon(QPolygonF({QPointF(c.x() - r, c.y() + a * 0.2), QPointF(c.x() - r + a, c.y() + a),
                             QPointF(c.x() - r - a * 0.6, c.y() + a * 1.1)}));
    return image;
}

QImage notFoundPicture() {
    QImage image(83, 62, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), QColor(40, 40, 48));
    p.setPen(QPen(QColor(220, 60, 50), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(28, 12, 55, 39);
    p.drawLine(55, 12, 28, 39);
    p.setPen(QColor(230, 230, 230));
    QFont font("DejaVu Sans", 7, QFont::Bold);
    p.setFont(font);
    p.drawText(QRect(0, 44, 83, 16), Qt::AlignCenter, "no picture");
    return image;
}

QImage splash() {
    QImage image(476, 316, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 316);
    sky.setColorAt(0, QColor(18, 32, 70));
    sky.setColorAt(0.6, QColor(230, 120, 60));
    sky.setColorAt(1, QColor(250, 200, 120));
    p.fillRect(image.rect(), sky);
    // hills and a harbour line, the kind of view a webcam watches
    QPainterPath hills;
    hills.moveTo(0, 240);
    hills.cubicTo(90, 190, 160, 230, 240, 210);
    hills.cubicTo(330, 185, 400, 230, 476, 200);
    hills.lineTo(476, 316);
    hills.lineTo(0, 316);
    p.fillPath(hills, QColor(30, 45, 50));
    p.fillRect(QRect(0, 270, 476, 46), QColor(20, 60, 90));
    p.drawImage(QRect(30, 30, 96, 96), camera(96, QColor(70, 80, 96)));
    p.setPen(Qt::white);
    p.setFont(QFont("DejaVu Sans", 26, QFont::Bold));
    p.drawText(QRect(140, 40, 320, 50), Qt::AlignLeft | Qt::AlignVCenter, "Tarvique");
    p.setFont(QFont("DejaVu Sans", 20));
    p.drawText(QRect(140, 86, 320, 40), Qt::AlignLeft | Qt::AlignVCenter, "Webcams");
    p.setPen(QColor(255, 255, 255, 180));
    p.setFont(QFont("DejaVu Sans", 9));
    p.drawText(QRect(0, 288, 466, 20), Qt::AlignRight | Qt::AlignVCenter, "loading...");
    return image;
}

QImage banner() {
    QImage image(501, 69, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient fade(0, 0, 501, 0);
    fade.setColorAt(0, QColor(18, 32, 70));
    fade.setColorAt(1, QColor(230, 120, 60));
    p.fillRect(image.rect(), fade);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? argv[1] : "resources/pictures";
    QDir().mkpath(folder);

    const QColor green(40, 150, 60), red(200, 50, 40), blue(40, 100, 190), amber(210, 140, 20);
    auto plus = [](QPainter& p, int s) {
        p.drawLine(QPointF(s * 0.5, s * 0.28), QPointF(s * 0.5, s * 0.72));
        p.drawLine(QPointF(s * 0.28, s * 0.5), QPointF(s * 0.72, s * 0.5));
    };
    auto minus = [](QPainter& p, int s) {
        p.drawLine(QPointF(s * 0.28, s * 0.5), QPointF(s * 0.72, s * 0.5));
    };
    auto pencil = [](QPainter& p, int s) {
        p.drawLine(QPointF(s * 0.32, s * 0.68), QPointF(s * 0.68, s * 0.32));
        p.drawPoint(QPointF(s * 0.3, s * 0.7));
    };
    auto play = [](QPainter& p, int s) {
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(s * 0.38, s * 0.28), QPointF(s * 0.74, s * 0.5),
                                 QPointF(s * 0.38, s * 0.72)}));
    };
    auto square = [](QPainter& p, int s) {
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(s * 0.33, s * 0.33, s * 0.34, s * 0.34));
    };
    auto tick = [](QPainter& p, int s) {
        p.drawPolyline(QPolygonF({QPointF(s * 0.3, s * 0.52), QPointF(s * 0.45, s * 0.67),
                                  QPointF(s * 0.72, s * 0.34)}));
    };
    auto cross = [](QPainter& p, int s) {
        p.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
        p.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
    };
    auto globe = [](QPainter& p, int s) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, s / 16.0));
        p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.26, s * 0.26);
        p.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.11, s * 0.26);
        p.drawLine(QPointF(s * 0.24, s * 0.5), QPointF(s * 0.76, s * 0.5));
    };
    auto disk = [](QPainter& p, int s) {
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(s * 0.3, s * 0.3, s * 0.4, s * 0.4));
    };
    save(lensButton(32, green, plus), folder, "add.png");
    save(lensButton(32, red, minus), folder, "delete.png");
    save(lensButton(32, blue, pencil), folder, "edit.png");
    save(lensButton(32, green, play), folder, "startcam.png");
    save(lensButton(32, red, square), folder, "stopall.png");
    save(lensButton(32, blue, globe), folder, "website.png");
    save(lensButton(32, green, tick), folder, "ok.png");
    save(lensButton(32, red, cross), folder, "cancel.png");
    save(lensButton(32, blue, disk), folder, "save.png");
    save(lensButton(32, amber, square), folder, "screensaver.png");
    save(lensButton(20, blue,
                    [](QPainter& p, int s) { p.drawImage(0, 0, refreshArrows(s, s, Qt::white)); }),
         folder, "refresh.png");
    save(lensButton(20, red, square), folder, "stop.png");
    save(refreshArrows(21, 17, QColor(255, 200, 0)), folder, "picrefresh.png");
    save(refreshArrows(48, 48, QColor(255, 200, 0)), folder, "fullscreen-refresh.png");
    save(notFoundPicture(), folder, "notfound.png");
    save(camera(24, QColor(200, 60, 50)), folder, "oops.png");
    save(camera(24, QColor(70, 80, 96)), folder, "about.png");
    save(banner(), folder, "banner.png");
    for (int size : {72, 64, 48, 32})
        save(camera(size, QColor(70, 80, 96)), folder, QString("AAA-%1.png").arg(size));
    // The same camera for the desktop's menus and launchers (installed into the icon theme).
    const QString desktopIcons = folder + "/../desktop/icons";
    QDir().mkpath(desktopIcons);
    for (int size : {32, 48, 64, 128, 256})
        save(camera(size, QColor(70, 80, 96)), desktopIcons, QString("%1.png").arg(size));
    splash().save(folder + "/splash.jpg", "JPEG", 88);
    return 0;
}
