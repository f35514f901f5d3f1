// SPDX-License-Identifier: GPL-3.0-or-later
// The search for copies of the game over homes built to be hostile: a huge
// user.reg, huge Steam library lists, one prefix of 100,000 folders reached
// through 20 links. Each home is searched in a process of its own; printed:
// the search's time and its peak memory (over the process's memory as it
// starts) beside a floor measured in the same run
// (reading the home's large file once, or listing its folders once).
//
//   bench_discovery [folder=system temporary folder]

#include "installs/core/InstallFinder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void game(const QString& folder)
{
    write(folder + QStringLiteral("/WA.exe"), "MZ");
    QDir().mkpath(folder + QStringLiteral("/User"));
}

void prefix(const QString& folder)
{
    write(folder + QStringLiteral("/system.reg"), "WINE REGISTRY Version 2\n");
    QDir().mkpath(folder + QStringLiteral("/drive_c"));
}

QByteArray libraries(qint64 bytes, bool root)
{
    QByteArray list = "\"libraryfolders\" {";
    for (int i = 0; list.size() < bytes; ++i)
        list += " \"" + QByteArray::number(i) + "\" { \"path\" \"" +
                (root ? QByteArray("/") : "/lib" + QByteArray::number(i % 1000)) + "\" }";
    return list + "}";
}

// The floor: every byte of the file read once, or every folder entry listed once.
double floorMilliseconds(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    if (QFileInfo(path).isDir()) {
        QDirIterator it(path, QDir::Dirs | QDir::NoDotAndDotDot);
        while (it.hasNext())
            it.next();
    } else {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            QByteArray block(1 << 20, Qt::Uninitialized);
            while (f.read(block.data(), block.size()) > 0) {
            }
        }
    }
    return timer.nsecsElapsed() / 1e6;
}

// A figure of /proc/self/status, in KB.
long statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void measure(const char* name, const QString& home, const QString& floorPath)
{
    const double floor = floorMilliseconds(floorPath);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        // The peak memory counted from here: what the parent held is not the search's.
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        clear.close();
        const long startKb = statusKb("VmRSS:");
        FinderSetup setup;
        setup.home = home;
        setup.programFolder = home + QStringLiteral("/bin");
        setup.windows = false;
        QElapsedTimer timer;
        timer.start();
        const qsizetype found = InstallFinder(setup).find().size();
        const double ms = timer.nsecsElapsed() / 1e6;
        const long peakKb = statusKb("VmHWM:") - startKb;
        std::printf("%-40s search %7.0f ms (floor %6.0f ms), %4ld MB over its start, %lld found\n", name, ms, floor,
                    peakKb / 1024, static_cast<long long>(found));
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(app.arguments().value(1, QDir::tempPath()) + QStringLiteral("/bench-discovery-XXXXXX"));
    const QString steam = QStringLiteral("/.local/share/Steam");
    const auto home = [&](const char* name) { return dir.filePath(QLatin1String(name)); };

    QByteArray reg = "WINE REGISTRY Version 2\n";
    while (reg.size() < (16 << 20))
        reg += "\"a\"=\"b\"\n";
    prefix(home("reg") + "/.wine");
    write(home("reg") + "/.wine/user.reg", reg + "[Software\\\\Team17SoftwareLTD\\\\WormsArmageddon]\n"
                                                 "\"PATH\"=\"C:\\\\1\\\\2\\\\3\\\\4\\\\5\\\\6\\\\WA\"\n");
    game(home("reg") + "/.wine/drive_c/1/2/3/4/5/6/WA");
    measure("user.reg of 16 MB, the key last", home("reg"), home("reg") + "/.wine/user.reg");

    for (const auto& [name, bytes, root] : {std::tuple{"libraryfolders.vdf of 16 MB", qint64(16) << 20, false},
                                            {"100,000 libraries naming /", qint64(2500000), true},
                                            {"50 MB of libraries naming /", qint64(50) << 20, true}}) {
        const QString h = dir.filePath(QString::fromLatin1(name).replace(' ', '_'));
        write(h + steam + "/config/libraryfolders.vdf", libraries(bytes, root));
        write(h + steam + "/steamapps/appmanifest_217200.acf", "\"AppState\" { \"installdir\" \"WA\" }");
        game(h + steam + "/steamapps/common/WA");
        measure(name, h, h + steam + "/config/libraryfolders.vdf");
    }

    prefix(home("links") + "/real");
    for (int i = 0; i < 100000; ++i)
        QDir().mkdir(home("links") + "/real/drive_c/d" + QString::number(i));
    QDir().mkpath(home("links") + "/Games");
    for (int i = 0; i < 20; ++i)
        QFile::link(home("links") + "/real", home("links") + "/Games/" + QString::number(i));
    measure("20 links to a drive_c of 100,000 folders", home("links"), home("links") + "/real/drive_c");
    return 0;
}
