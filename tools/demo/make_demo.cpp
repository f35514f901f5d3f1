// SPDX-License-Identifier: GPL-3.0-or-later
// Makes a demo User folder for trying the program out: the program's own
// pictures, a stand-in for the game's probe picture, replays named the way
// the game names them in two folders (one with its log, one with a colour map
// and a scheme inside), maps with the game's settings in nested folders, two
// game schemes and one speech scheme. An existing demo folder is reused.
#include <QBuffer>
#include <QCommandLineParser>
#include <QDateTime>
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

// A map's settings as the game keeps them in its PNG chunk: 40 little-endian
// bytes (seeds, cavern or island, style, borders, objects, bridges, water
// level, soil texture, version, water colour), then the number of worm places.
struct Level {
    quint32 seed = 1;
    bool cavern = false;
    quint32 objects = 20; // per cent
    quint32 bridges = 0;  // per cent
    quint32 water = 10;
    quint8 wormPlaces = 18;
};

QByteArray levelSettings(const Level& level)
{
    QByteArray d(41, '\0');
    char* p = d.data();
    qToLittleEndian<quint32>(level.seed, p);             // land seed
    qToLittleEndian<quint32>(level.seed * 7919u, p + 4); // object seed
    qToLittleEndian<quint32>(level.cavern ? 1 : 0, p + 8);
    qToLittleEndian<quint32>(0, p + 12); // style
    qToLittleEndian<quint32>(0, p + 16); // indestructible borders kept
    qToLittleEndian<quint32>(level.objects, p + 20);
    qToLittleEndian<quint32>(level.bridges, p + 24);
    qToLittleEndian<quint32>(level.water, p + 28);
    qToLittleEndian<quint16>(quint16(level.seed % 30), p + 32); // soil texture
    qToLittleEndian<quint16>(0, p + 34);                        // version
    qToLittleEndian<quint32>(0, p + 36);                        // water colour
    d[40] = char(level.wormPlaces);
    return d;
}

QByteArray mapPng(QSize size, QColor land, QColor edge, const Level& level, const QByteArray& chunkType)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!drawMap(size.width(), size.height(), level.seed, land, edge).save(&buffer, "PNG"))
        return QByteArray();
    return withLevelChunk(png, chunkType, levelSettings(level));
}

bool writeMap(const QString& path, QColor land, QColor edge, const Level& level, const QByteArray& chunkType,
              QSize size = QSize(1920, 696))
{
    const QByteArray png = mapPng(size, land, edge, level, chunkType);
    return !png.isEmpty() && writeFile(path, png);
}

// A version-2 game scheme (297 bytes): "SCHM", the version, the options from
// offset 5, 45 weapons of four bytes (ammunition, power, delay, crate
// probability) from 0x29 and 19 super weapons from 0xDD.
struct Scheme {
    quint8 turnTime = 45;
    quint8 roundMinutes = 15;
    quint8 wormEnergy = 100;
    quint8 stockpiling = 0; // 0 off, 1 on, 2 anti
    quint8 wins = 2;
    quint8 retreat = 3;
    quint8 grenadeAmmo = 10; // 10: without end
};

QByteArray scheme(const Scheme& s)
{
    QByteArray d(297, '\0');
    memcpy(d.data(), "SCHM", 4);
    d[4] = 2;
    d[0x05] = 5; // hot-seat time
    d[0x06] = char(s.retreat);
    d[0x07] = 5; // rope retreat
    d[0x09] = 1; // automatic replays
    d[0x0A] = 1; // fall damage
    d[0x0D] = char(s.stockpiling);
    d[0x0F] = 1;  // round end: nuclear strike
    d[0x10] = 2;  // sudden death water rise
    d[0x11] = 70; // weapon crates
    d[0x12] = 1;  // donor cards
    d[0x13] = 20; // health crates
    d[0x14] = 25; // health crate energy
    d[0x15] = 10; // utility crates
    d[0x16] = 5;  // mines and oil drums
    d[0x17] = 3;  // mine delay
    d[0x1A] = char(s.wormEnergy);
    d[0x1B] = char(s.turnTime);
    d[0x1C] = char(s.roundMinutes);
    d[0x1D] = char(s.wins);
    for (int w = 0; w < 45 + 19; ++w) {
        char* weapon = d.data() + 0x29 + 4 * w;
        const bool super = w >= 45;
        weapon[0] = char(super ? 0 : (w % 5 == 0 ? 10 : w % 4)); // ammunition
        weapon[1] = 3;                                           // power
        weapon[2] = char(super ? 0 : w % 3);                     // delay in turns
        weapon[3] = char(super ? 1 : 2);                         // crate probability
    }
    d[0x29 + 4 * 1] = char(s.grenadeAmmo); // the grenade, second in the table
    return d;
}

// A replay by the documented layout: "WA", the file format version, the map
// chunk (its length, the map's type, the map's data), then the settings
// chunk (its length, the version again, the start time, the engine version,
// the game type and a stored scheme), then a short message stream.
QByteArray replay(quint32 mapType, const QByteArray& mapData, const QByteArray& storedScheme, qint64 startUtc)
{
    constexpr quint16 version = 20;
    QByteArray out("WA");
    QByteArray u(4, '\0');
    qToLittleEndian<quint16>(version, u.data());
    out += u.left(2);
    qToLittleEndian<quint32>(quint32(mapData.size() + 4), u.data());
    out += u;
    qToLittleEndian<quint32>(mapType, u.data());
    out += u + mapData;

    QByteArray settings(3, '\0');
    qToLittleEndian<quint16>(version, u.data());
    settings += u.left(2);
    qToLittleEndian<quint32>(quint32(startUtc), u.data());
    settings += u;
    settings += '\0';
    qToLittleEndian<quint32>(0x00030801u, u.data()); // engine version code
    settings += u;
    settings += char(1);    // a normal game
    settings += char(0xFF); // a scheme is stored next
    qToLittleEndian<quint32>(quint32(storedScheme.size()), u.data());
    settings += u + storedScheme;
    qToLittleEndian<quint32>(quint32(settings.size()), u.data());
    out += u + settings;
    return out + QByteArray(64, '\0'); // the message stream
}

// The game's log of a two-team round, in the shape /getlog writes it
// (Windows-1252, CRLF): header, teams, turns with weapons and damage, the
// team time totals, the round's end and its awards.
QByteArray gameLog()
{
    const QString bullet = QStringLiteral("\u2022\u2022\u2022");
    QStringList lines{QStringLiteral("Game ID: \"4f2c8a17\""),
                      QStringLiteral("Game Started at 2004-02-01 19:00:01 GMT"),
                      QStringLiteral("Game Engine Version: 3.8.1"),
                      QStringLiteral("File Format Version: 3.8.1 (format 20)"),
                      QStringLiteral("Exported with Version: 3.8.1"),
                      QString(),
                      QStringLiteral("Red:    \"Anna\" as \"Alpha Squad\" [Local Player] [Host]"),
                      QStringLiteral("Blue:   \"Ben\" as \"Bravo Team\""),
                      QString()};
    const struct {
        const char* team;
        const char* player;
        const char* weapon;
        int damage;
        int kills;
        const char* hurt;
        const char* hurtPlayer;
    } turns[] = {
        {"Alpha Squad", "Anna", "Bazooka", 45, 0, "Bravo Team", "Ben"},
        {"Bravo Team", "Ben", "Grenade (3 sec, min bounce)", 30, 0, "Alpha Squad", "Anna"},
        {"Alpha Squad", "Anna", "Shotgun", 50, 1, "Bravo Team", "Ben"},
        {"Bravo Team", "Ben", "Banana Bomb", 90, 1, "Alpha Squad", "Anna"},
        {"Alpha Squad", "Anna", "Holy Hand Grenade", 120, 2, "Bravo Team", "Ben"},
    };
    int at = 500; // hundredths of a second
    auto stamp = [](int t) {
        return QString::asprintf("[%02d:%02d:%02d.%02d]", t / 360000, t / 6000 % 60, t / 100 % 60, t % 100);
    };
    for (const auto& t : turns) {
        const QString who = QStringLiteral("%1 (%2)").arg(QLatin1String(t.team), QLatin1String(t.player));
        lines << QStringLiteral("%1 %2 %3 starts turn").arg(stamp(at), bullet, who);
        lines << QStringLiteral("%1 %2 %3 uses Ninja Rope").arg(stamp(at + 412), bullet, who);
        lines << QStringLiteral("%1 %2 %3 fires %4").arg(stamp(at + 1530), bullet, who, QLatin1String(t.weapon));
        const QString kills =
            t.kills ? QStringLiteral(" (%1 kill%2)").arg(t.kills).arg(t.kills > 1 ? QStringLiteral("s") : QString())
                    : QString();
        lines << QStringLiteral("%1 %2 Damage dealt: %3%4 to %5 (%6)")
                     .arg(stamp(at + 2100), bullet)
                     .arg(t.damage)
                     .arg(kills, QLatin1String(t.hurt), QLatin1String(t.hurtPlayer));
        lines << QStringLiteral("%1 %2 %3 ends turn; time used: 19.42 sec turn, 3.00 sec retreat")
                     .arg(stamp(at + 2242), bullet, who);
        at += 2700;
        if (at == 500 + 2700)
            lines << QStringLiteral("%1 [Ben] nice shot").arg(stamp(at - 300));
    }
    lines << QStringLiteral("%1 %2 Game Ends - Round Finished").arg(stamp(at), bullet)
          << QStringLiteral("*** Round Finish acknowledged by Anna")
          << QStringLiteral("*** Round Finish acknowledged by Ben") << QString() << QStringLiteral("Team time totals:")
          << QStringLiteral("Alpha Squad (Anna): Turn: 00:00:58.26, Retreat: 00:00:09.00, Total: 00:01:07.26, "
                            "Turn count: 3")
          << QStringLiteral("Bravo Team (Ben):   Turn: 00:00:38.84, Retreat: 00:00:06.00, Total: 00:00:44.84, "
                            "Turn count: 2")
          << QString() << QStringLiteral("End of round 1") << QStringLiteral("Round time: 0:02:20")
          << QStringLiteral("Total game time elapsed: 0:02:20") << QStringLiteral("Alpha Squad wins the round.")
          << QString() << QStringLiteral("Worm of the round: Boggy B (Alpha Squad)")
          << QStringLiteral("Most kills with one shot: 2 - Boggy B (Alpha Squad)")
          << QStringLiteral("Most damage with one shot: 120 - Boggy B (Alpha Squad)") << QString();
    QByteArray text = lines.join(QStringLiteral("\r\n")).toUtf8();
    return text.replace("\xE2\x80\xA2", "\x95"); // the bullet in Windows-1252
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
    const QString gamesFolder = user + QStringLiteral("/Games/");
    for (const char* name : games)
        ok &= writeFile(gamesFolder + QLatin1String(name), QByteArrayLiteral("demo replay"));
    const char* league[] = {
        "2004-02-01 19.00.01 [Online Round 1] Alpha Squad, Bravo Team.WAgame",
        "2004-02-01 19.31.47 [Online Round 2] Alpha Squad, Bravo Team.WAgame",
        "2004-02-01 20.05.13 [Online Round 3] Alpha Squad, Bravo Team.WAgame",
        "2004-02-08 19.00.00 [Offline Round 1] Ćwiczenia, Тренировка.WAgame",
    };
    for (const char* name : league)
        ok &= writeFile(gamesFolder + QStringLiteral("League 2004/") + QString::fromUtf8(name),
                        QByteArrayLiteral("demo replay"));

    // Two replays the game could have written: a league round on a map made
    // from a seed, with the game's log beside it; and an offline game on a
    // colour map, whose scheme is stored inside.
    const Scheme league2004{60, 20, 150, 1, 3, 2, 5};
    const QString round1 = gamesFolder + QStringLiteral("League 2004/") + QLatin1String(league[0]);
    ok &= writeFile(round1, replay(2, levelSettings(Level{424242, false, 30, 10, 20, 18}), scheme(league2004),
                                   QDateTime(QDate(2004, 2, 1), QTime(19, 0, 1), Qt::UTC).toSecsSinceEpoch()));
    ok &= writeFile(QString(round1).replace(QStringLiteral(".WAgame"), QStringLiteral(".log")), gameLog());
    const QByteArray colourMap =
        mapPng(QSize(1920, 696), QColor(70, 130, 60), QColor(200, 230, 120), Level{77, false, 25, 0, 15, 24}, "w2lv");
    ok &= !colourMap.isEmpty() &&
          writeFile(gamesFolder + QLatin1String(games[1]),
                    replay(3, colourMap, scheme(Scheme()),
                           QDateTime(QDate(2001, 10, 11), QTime(18, 2, 10), Qt::UTC).toSecsSinceEpoch()));

    // Two schemes that differ in turn time, worm energy, stockpiling and grenades.
    ok &= writeFile(user + QStringLiteral("/Schemes/Intermediate.wsc"), scheme(Scheme()));
    ok &= writeFile(user + QStringLiteral("/Schemes/League 2004.wsc"), scheme(league2004));

    // Maps with the game's settings: islands and caverns, and one the game
    // would refuse (its width is no multiple of 8).
    const QString levels = user + QStringLiteral("/SavedLevels/");
    ok &= writeMap(levels + QStringLiteral("Island.png"), QColor(150, 100, 60), QColor(60, 160, 40),
                   Level{1, false, 20, 10, 15, 18}, "w2lv");
    ok &= writeMap(levels + QStringLiteral("Arena.PNG"), QColor(120, 120, 130), QColor(200, 200, 210),
                   Level{2, true, 0, 0, 0, 8}, "waLV");
    ok &= writeMap(levels + QStringLiteral("Caverns/Big Cave.png"), QColor(90, 60, 40), QColor(170, 120, 60),
                   Level{3, true, 40, 0, 25, 18}, "w2lv");
    ok &= writeMap(levels + QStringLiteral("Caverns/Dune.old.png"), QColor(220, 190, 110), QColor(250, 230, 160),
                   Level{4, false, 10, 30, 5, 18}, "w2lv", QSize(1924, 696));
    ok &= writeMap(levels + QStringLiteral("Caverns/Deep/Abyss.png"), QColor(40, 40, 80), QColor(90, 90, 160),
                   Level{5, true, 60, 0, 40, 30}, "w2lv");
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
