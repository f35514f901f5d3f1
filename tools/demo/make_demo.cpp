// Makes a demo User folder for trying the program out: the program's own
// pictures, a stand-in for the game's probe picture, replays named the way
// the game names them in two folders, maps (with the game's level chunk) in
// nested folders, and one speech scheme. An existing demo folder is reused.
#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QtEndian>
#include <cmath>
#include <cstdio>

namespace {

const char* kMarker = ".quillane-demo";

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

quint32 crc32(const QByteArray& data)
{
    static quint32 table[256];
    static bool ready = false;
    if (!ready) {
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : data)
        c = table[(c ^ quint8(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// The game stores its level settings in a chunk of its own right after the
// PNG header chunk; strict PNG readers refuse such files.
QByteArray withLevelChunk(const QByteArray& png, const QByteArray& type, const QByteArray& payload)
{
    const int afterHeader = 8 + 4 + 4 + 13 + 4; // signature, then IHDR's length, type, data and CRC
    QByteArray chunk;
    QByteArray len(4, '\0');
    qToBigEndian<quint32>(quint32(payload.size()), len.data());
    QByteArray body = type + payload;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    chunk = len + body + crc;
    return png.left(afterHeader) + chunk + png.mid(afterHeader);
}

// A cave-and-island landscape in the game's map style: 8-bit indexed, index 0
// the transparent sky.
QImage drawMap(int width, int height, quint32 seed, QColor land, QColor edge)
{
    QImage rgb(width, height, QImage::Format_RGB32);
    rgb.fill(QColor(24, 36, 84)); // the sky
    QPainter p(&rgb);
    p.setRenderHint(QPainter::Antialiasing, false);
    QRandomGenerator rng(seed);
    QPainterPath ground;
    ground.moveTo(0, height);
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const qreal x = width * i / qreal(steps);
        const qreal y = height * (0.45 + 0.25 * std::sin(i * 0.7 + seed) + 0.1 * rng.generateDouble());
        ground.lineTo(x, y);
    }
    ground.lineTo(width, height);
    ground.closeSubpath();
    p.setPen(QPen(edge, height / 60.0));
    p.setBrush(land);
    p.drawPath(ground);
    for (int i = 0; i < 4; ++i) {
        const qreal cx = width * (0.15 + 0.22 * i), cy = height * (0.25 + 0.1 * rng.generateDouble());
        p.drawEllipse(QPointF(cx, cy), width * 0.06, height * 0.07);
    }
    p.end();
    QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    return indexed;
}

bool writeMap(const QString& path, QColor land, QColor edge, quint32 seed, const QByteArray& chunkType)
{
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!drawMap(1920, 696, seed, land, edge).save(&buffer, "PNG"))
            return false;
    }
    // The level chunk holds the map's settings; its content here is only an example.
    QByteArray settings = QByteArrayLiteral("demo level ") + QByteArray::number(seed);
    return writeFile(path, withLevelChunk(png, chunkType, settings));
}

// A short PCM WAV: a tone with a falling pitch.
QByteArray wave(double seconds, double startHz, double endHz)
{
    const int rate = 11025;
    const int samples = int(seconds * rate);
    QByteArray data(samples * 2, '\0');
    double phase = 0;
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / samples;
        phase += 2 * M_PI * (startHz + (endHz - startHz) * t) / rate;
        const double envelope = std::sin(M_PI * t);
        qToLittleEndian<qint16>(qint16(9000 * envelope * std::sin(phase)), data.data() + 2 * i);
    }
    QByteArray header(44, '\0');
    char* h = header.data();
    memcpy(h, "RIFF", 4);
    qToLittleEndian<quint32>(quint32(36 + data.size()), h + 4);
    memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20); // PCM
    qToLittleEndian<quint16>(1, h + 22); // mono
    qToLittleEndian<quint32>(rate, h + 24);
    qToLittleEndian<quint32>(rate * 2, h + 28);
    qToLittleEndian<quint16>(2, h + 32);
    qToLittleEndian<quint16>(16, h + 34);
    memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(quint32(data.size()), h + 40);
    return header + data;
}

bool copyResource(const QString& resource, const QString& target)
{
    QFile in(resource);
    return in.open(QIODevice::ReadOnly) && writeFile(target, in.readAll());
}

} // namespace

int main(int argc, char* argv[])
{
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // --help prints the usage and ends; any other option is refused before
    // anything is made, so that an option never becomes a folder's name. A
    // folder whose name starts with "-" follows "--".
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes a demo User folder for trying The Quillane out."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("USER_FOLDER"),
                                 QStringLiteral("The folder to make; an existing demo folder is reused."));
    parser.process(app); // exits with the usage for --help, with a message for an unknown option
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: quillane-demo USER_FOLDER\n");
        return 2;
    }
    const QString user = QDir::cleanPath(arguments.first());
    if (QFile::exists(user + QLatin1Char('/') + QLatin1String(kMarker))) {
        std::printf("Reusing the demo User folder %s\n", qPrintable(QDir::toNativeSeparators(user)));
        return 0;
    }
    if (QDir(user).exists() && !QDir(user).isEmpty()) {
        std::fprintf(stderr, "%s exists and is not a demo folder; not touching it.\n", qPrintable(user));
        return 1;
    }
    bool ok = QDir().mkpath(user);

    for (const char* name : {"logo.gif", "army.bmp", "smirk.bmp", "black.bmp"})
        ok &= copyResource(QStringLiteral(":/pics/") + QLatin1String(name),
                           user + QStringLiteral("/pics/") + QLatin1String(name));
    ok &= copyResource(QStringLiteral(":/demo/computer.bmp"), user + QStringLiteral("/graves/computer.bmp"));

    const char* games[] = {
        "2001-10-09 20.15.33 [Online] Anna, Ben.WAgame",
        "2001-10-11 18.02.10 [Offline] Kamikaze Kids, The Worminators.WAgame",
        "2002-01-01 00.04.59 [Quick] Quick Worms.WAgame",
        "2002-03-15 14.30.00 [Training] Bazooka Practice.WAgame",
        "2002-05-22 21.45.12 [Mission] 7 - Castle Seige.WAgame",
        "2003-07-04 16.20.44 [Quick CPU] Player 1, CPU 3.WAgame",
    };
    for (const char* name : games)
        ok &= writeFile(user + QStringLiteral("/Games/") + QLatin1String(name), QByteArrayLiteral("demo replay"));
    const char* league[] = {
        "2004-02-01 19.00.01 [Online Round 1] Alpha Squad, Bravo Team.WAgame",
        "2004-02-01 19.31.47 [Online Round 2] Alpha Squad, Bravo Team.WAgame",
        "2004-02-01 20.05.13 [Online Round 3] Alpha Squad, Bravo Team.WAgame",
        "2004-02-08 19.00.00 [Offline Round 1] Ćwiczenia, Тренировка.WAgame",
    };
    for (const char* name : league)
        ok &= writeFile(user + QStringLiteral("/Games/League 2004/") + QString::fromUtf8(name),
                        QByteArrayLiteral("demo replay"));

    const QString levels = user + QStringLiteral("/SavedLevels/");
    ok &= writeMap(levels + QStringLiteral("Island.png"), QColor(150, 100, 60), QColor(60, 160, 40), 1, "w2lv");
    ok &= writeMap(levels + QStringLiteral("Arena.PNG"), QColor(120, 120, 130), QColor(200, 200, 210), 2, "waLV");
    ok &=
        writeMap(levels + QStringLiteral("Caverns/Big Cave.png"), QColor(90, 60, 40), QColor(170, 120, 60), 3, "w2lv");
    ok &= writeMap(levels + QStringLiteral("Caverns/Dune.old.png"), QColor(220, 190, 110), QColor(250, 230, 160), 4,
                   "w2lv");
    ok &=
        writeMap(levels + QStringLiteral("Caverns/Deep/Abyss.png"), QColor(40, 40, 80), QColor(90, 90, 160), 5, "w2lv");
    ok &= QDir().mkpath(levels + QStringLiteral("Caverns/Deep/Empty"));

    const QString scheme = user + QStringLiteral("/Speech/Demo Scheme/");
    ok &= writeFile(scheme + QStringLiteral("Hello.wav"), wave(0.6, 440, 660));
    ok &= writeFile(scheme + QStringLiteral("ByeBye.wav"), wave(0.7, 660, 330));
    ok &= writeFile(scheme + QStringLiteral("Amazing.wav"), wave(0.8, 330, 880));
    ok &= writeFile(user + QStringLiteral("/Speech/Hello.wav"), wave(0.5, 520, 520));

    ok &= writeFile(user + QLatin1Char('/') + QLatin1String(kMarker), QByteArrayLiteral("made by quillane-demo\n"));
    if (!ok) {
        std::fprintf(stderr, "Could not write the whole demo User folder at %s\n", qPrintable(user));
        return 1;
    }
    std::printf("Made a demo User folder at %s\n", qPrintable(QDir::toNativeSeparators(user)));
    return 0;
}
