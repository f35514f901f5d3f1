// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's own pictures (logo, army, smirk, black) and the stand-in
// grave picture used by the demo User folder. Run once; the results are kept
// in resources/pics. The logo is written as PNG and turned into GIF by
// tools/draw-pictures.sh, since Qt writes no GIF.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

const QColor kWormPink(255, 160, 170);
const QColor kWormShade(220, 110, 130);
const QColor kOrange(255, 128, 0);

// One cartoon worm standing up, its base at `base`, `h` pixels tall.
void drawWorm(QPainter& p, QPointF base, qreal h, bool helmet, bool smirk, qreal lean = 0)
{
    p.save();
    p.translate(base);
    p.rotate(lean);
    const qreal w = h * 0.42;
    QPainterPath body;
    body.moveTo(-w * 0.55, 0);
    body.cubicTo(-w * 0.7, -h * 0.45, -w * 0.55, -h * 0.85, 0, -h);
    body.cubicTo(w * 0.55, -h * 0.85, w * 0.6, -h * 0.45, w * 0.9, 0);
    body.closeSubpath();
    QLinearGradient g(-w, 0, w, 0);
    g.setColorAt(0, kWormShade);
    g.setColorAt(0.45, kWormPink);
    g.setColorAt(1, kWormShade);
    p.setPen(QPen(QColor(120, 40, 60), h * 0.02));
    p.setBrush(g);
    p.drawPath(body);

    // Eyes.
    const qreal eyeY = -h * 0.72, eyeR = w * 0.2;
    for (qreal ex : {-w * 0.18, w * 0.22}) {
        p.setBrush(Qt::white);
        p.setPen(QPen(Qt::black, h * 0.012));
        p.drawEllipse(QPointF(ex, eyeY), eyeR, eyeR * 1.25);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(ex + eyeR * 0.3, eyeY + eyeR * 0.2), eyeR * 0.42, eyeR * 0.5);
    }
    // Mouth.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 20, 30), h * 0.025, Qt::SolidLine, Qt::RoundCap));
    QPainterPath mouth;
    if (smirk) {
        mouth.moveTo(-w * 0.2, -h * 0.52);
        mouth.quadTo(w * 0.1, -h * 0.5, w * 0.35, -h * 0.6);
    } else {
        mouth.moveTo(-w * 0.18, -h * 0.55);
        mouth.quadTo(w * 0.05, -h * 0.47, w * 0.3, -h * 0.55);
    }
    p.drawPath(mouth);

    if (helmet) {
        QPainterPath dome;
        dome.moveTo(-w * 0.62, -h * 0.86);
        dome.cubicTo(-w * 0.6, -h * 1.18, w * 0.65, -h * 1.18, w * 0.66, -h * 0.86);
        dome.closeSubpath();
        p.setPen(QPen(QColor(30, 50, 20), h * 0.015));
        p.setBrush(QColor(70, 100, 45));
        p.drawPath(dome);
        p.setBrush(QColor(55, 80, 35));
        p.drawRoundedRect(QRectF(-w * 0.75, -h * 0.9, w * 1.5, h * 0.07), h * 0.03, h * 0.03);
    }
    p.restore();
}

QImage logo()
{
    QImage img(440, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // A quill feather across the left.
    QPainterPath feather;
    feather.moveTo(30, 185);
    feather.cubicTo(40, 120, 80, 40, 150, 12);
    feather.cubicTo(130, 60, 100, 130, 30, 185);
    QLinearGradient fg(30, 185, 150, 12);
    fg.setColorAt(0, QColor(255, 200, 120));
    fg.setColorAt(1, kOrange);
    p.setPen(QPen(QColor(160, 70, 0), 2));
    p.setBrush(fg);
    p.drawPath(feather);
    p.setPen(QPen(QColor(120, 50, 0), 2));
    p.drawLine(QPointF(30, 185), QPointF(140, 25));
    for (int i = 0; i < 9; ++i) {
        const qreal t = 0.15 + i * 0.08;
        const QPointF on(30 + 110 * t, 185 - 160 * t);
        p.drawLine(on, on + QPointF(14 - i, -2 - i * 0.3));
    }

    // Title.
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(38);
    title.setBold(true);
    title.setItalic(true);
    QPainterPath text;
    text.addText(138, 100, title, QStringLiteral("The Quillane"));
    QLinearGradient tg(130, 60, 130, 110);
    tg.setColorAt(0, QColor(255, 160, 40));
    tg.setColorAt(1, QColor(200, 60, 0));
    p.setPen(QPen(QColor(90, 30, 0), 1.5));
    p.setBrush(tg);
    p.drawPath(text);

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(15);
    p.setFont(sub);
    p.setPen(QColor(80, 80, 80));
    p.drawText(QRectF(150, 115, 280, 24), Qt::AlignLeft, QStringLiteral("Replays, maps, tools and voices"));

    drawWorm(p, QPointF(400, 192), 52, false, true, -6);
    return img;
}

QImage army()
{
    QImage img(262, 197, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 197);
    sky.setColorAt(0, QColor(150, 200, 255));
    sky.setColorAt(1, QColor(230, 245, 255));
    p.fillRect(img.rect(), sky);
    // Ground.
    QPainterPath ground;
    ground.moveTo(0, 160);
    ground.cubicTo(70, 140, 150, 175, 262, 150);
    ground.lineTo(262, 197);
    ground.lineTo(0, 197);
    ground.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 170, 70));
    p.drawPath(ground);
    p.setBrush(QColor(140, 95, 55));
    p.drawRect(0, 182, 262, 15);
    // A flag.
    p.setPen(QPen(QColor(90, 60, 30), 3));
    p.drawLine(QPointF(232, 152), QPointF(232, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(kOrange);
    QPolygonF flag;
    flag << QPointF(232, 42) << QPointF(196, 54) << QPointF(232, 66);
    p.drawPolygon(flag);
    // The army, back row first.
    drawWorm(p, QPointF(60, 160), 62, true, false, 4);
    drawWorm(p, QPointF(120, 164), 66, true, false, -3);
    drawWorm(p, QPointF(178, 160), 60, true, false, 5);
    drawWorm(p, QPointF(35, 188), 70, true, true, -4);
    drawWorm(p, QPointF(100, 192), 76, true, false, 2);
    drawWorm(p, QPointF(168, 190), 72, true, true, -5);
    return img;
}

QImage smirk()
{
    QImage img(120, 120, QImage::Format_RGB32);
    img.fill(QColor(255, 255, 192));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawWorm(p, QPointF(55, 120), 110, false, true, 3);
    return img;
}

QImage black()
{
    // Big enough to fill the map preview box.
    QImage img(777, 265, QImage::Format_Mono);
    img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    img.fill(0);
    return img;
}

QImage grave()
{
    // A stand-in for the game's gravestone picture, for demo folders only.
    QImage img(60, 60, QImage::Format_RGB32);
    img.fill(QColor(128, 128, 255));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath stone;
    stone.moveTo(14, 56);
    stone.lineTo(14, 22);
    stone.cubicTo(14, 4, 46, 4, 46, 22);
    stone.lineTo(46, 56);
    stone.closeSubpath();
    p.setPen(QPen(QColor(50, 50, 50), 2));
    p.setBrush(QColor(170, 170, 170));
    p.drawPath(stone);
    p.setPen(QPen(QColor(60, 60, 60), 3));
    p.drawLine(30, 18, 30, 42);
    p.drawLine(22, 26, 38, 26);
    return img;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawpics OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    bool ok = logo().save(out + QStringLiteral("logo.png"));
    ok &= army().save(out + QStringLiteral("army.bmp"));
    ok &= smirk().save(out + QStringLiteral("smirk.bmp"));
    ok &= black().save(out + QStringLiteral("black.bmp"));
    ok &= grave().save(out + QStringLiteral("computer.bmp"));
    return ok ? 0 : 1;
}
