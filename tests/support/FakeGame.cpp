// SPDX-License-Identifier: GPL-3.0-or-later
// Plays the game's part in a frame export: given the game's /getvideo
// arguments (anywhere on its command line, as through wine or Steam), it
// writes the range's frames as PNG files into
// <User folder>/Capture/<replay name>/video_NNNNNN.png, as the game does,
// straight into their final names.
//   QUILLANE_FAKE_GAME_USER   the User folder (default: ./User)
//   QUILLANE_FAKE_GAME_MODE   all (default), half (then waits to be ended), none (waits),
//                             short (half, then ends)
//   QUILLANE_FAKE_GAME_DELAY  milliseconds between frames (default 0)
//   QUILLANE_FAKE_GAME_LAST   a file that gets the time of the last frame (ms since the epoch)
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QThread>

namespace {

qint64 hundredths(const QString& time)
{
    const QStringList parts = time.split(QRegularExpression(QStringLiteral("[:.]")));
    return parts.size() == 4
               ? ((parts[0].toLongLong() * 60 + parts[1].toLongLong()) * 60 + parts[2].toLongLong()) * 100 +
                     parts[3].toLongLong()
               : -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int at = int(arguments.indexOf(QStringLiteral("/getvideo")));
    if (at < 0 || arguments.size() < at + 8)
        return 3;
    QString name = arguments.at(at + 1).section(QLatin1Char('\\'), -1).section(QLatin1Char('/'), -1);
    name.chop(7); // .WAgame
    const int fps = arguments.at(at + 2).toInt();
    const qint64 length = hundredths(arguments.at(at + 4)) - hundredths(arguments.at(at + 3));
    const int width = arguments.at(at + 5).toInt();
    const int height = arguments.at(at + 6).toInt();
    const int frames = int((length * fps + 99) / 100);

    const QString user = qEnvironmentVariable("QUILLANE_FAKE_GAME_USER", QStringLiteral("User"));
    const QString folder = user + QStringLiteral("/Capture/") + name;
    const QString mode = qEnvironmentVariable("QUILLANE_FAKE_GAME_MODE", QStringLiteral("all"));
    const int delay = qEnvironmentVariableIntValue("QUILLANE_FAKE_GAME_DELAY");
    const int made = mode == QLatin1String("none") ? 0 : mode == QLatin1String("all") ? frames : frames / 2;

    QImage image(width, height, QImage::Format_RGB32);
    for (int i = 0; i < made; ++i) {
        // A landscape with a worm moving across it.
        QPainter painter(&image);
        for (int y = 0; y < height; ++y)
            painter.fillRect(0, y, width, 1, QColor::fromHsv((y * 240 / height + i) % 360, 120, 200));
        // A grey band whose level tells the frame.
        painter.fillRect(0, 0, width, 8, QColor::fromRgb(i * 37 % 256, i * 37 % 256, i * 37 % 256));
        painter.setBrush(Qt::white);
        painter.drawEllipse((i * 7) % width, height / 2, width / 16 + 1, height / 12 + 1);
        painter.end();
        QDir().mkpath(folder); // a game left running after its clip shows
        image.save(folder + QStringLiteral("/video_%1.png").arg(i, 6, 10, QLatin1Char('0')), "PNG");
        if (delay > 0)
            QThread::msleep(ulong(delay));
    }
    const QString last = qEnvironmentVariable("QUILLANE_FAKE_GAME_LAST");
    if (!last.isEmpty()) {
        QFile file(last);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray::number(QDateTime::currentMSecsSinceEpoch()));
    }
    if (made < frames && mode != QLatin1String("short"))
        QThread::sleep(3600); // until it is ended
    return 0;
}
