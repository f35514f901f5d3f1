// SPDX-License-Identifier: GPL-3.0-or-later
// The games window with 100,000 recorded games in 50 folders: how long it
// takes from the main menu's "My Games" until the grid is filled and the
// waiting panel is gone, how long Go takes on one folder, and a header click
// sorting the whole grid. Beside it, in the same run, the floor: `find | sort`
// of the same tree; and the longest the event loop stalls while the grid
// fills, the texts are folded for searching and the first letter is searched
// for. Runs headless (QT_QPA_PLATFORM=offscreen).
//
// Usage: bench_games_window [runs]

#include "GamesBenchTree.h"
#include "common/ui/WindowNames.h"
#include "games/core/GamesSearchModel.h"
#include "games/core/GamesTableModel.h"
#include "games/ui/GamesWindow.h"
#include "shell/ui/Application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Runs the events until `done`; the longest single pass goes into `stall`.
// Between events the loop waits as the program's own would, rather than
// spinning and taking a core from the work it waits for; a beat every
// millisecond wakes it to look at `done`.
template <typename Done> void runEventsUntil(Done done, double* stall)
{
    QTimer beat;
    beat.start(1);
    while (!done()) {
        QElapsedTimer pass;
        pass.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        *stall = std::max(*stall, ms(pass));
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;

    std::fprintf(stderr, "Making 100000 games in 50 folders...\n");
    GamesBenchTree tree(100000, 50);
    AppOptions options;
    options.userFolder = tree.userFolder();
    options.endProcess = [] {};
    Application app(options);

    const QString floorCommand = QStringLiteral("find '%1' -type f | sort > /dev/null").arg(tree.gamesRoot());
    std::vector<double> open, go, sort, floor, stalls;
    int rows = 0, goRows = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        if (std::system(floorCommand.toLocal8Bit().constData()) != 0)
            std::fprintf(stderr, "find | sort failed\n");
        floor.push_back(ms(t));

        t.restart();
        app.openFromMenu(WindowNames::Games);
        double stall = ms(t);
        auto* w = qobject_cast<GamesWindow*>(app.existingWindow(WindowNames::Games));
        auto* frame3 = w->findChild<QFrame*>(QStringLiteral("Frame3"));
        runEventsUntil([frame3] { return frame3->isHidden(); }, &stall);
        QCoreApplication::processEvents(); // the grid painted once
        open.push_back(ms(t));
        rows = w->model()->rowCount();
        runEventsUntil([w] { return w->searchModel()->keysReady(); }, &stall);
        auto* search = w->findChild<QLineEdit*>(QStringLiteral("txtSearch"));
        QElapsedTimer typed;
        typed.start();
        search->setText(QStringLiteral("a"));
        QCoreApplication::processEvents();
        stall = std::max(stall, ms(typed));
        search->clear();
        stalls.push_back(stall);

        auto* list = w->findChild<QListWidget*>(QStringLiteral("lstFolderPick"));
        auto* view = w->findChild<QTableView*>(QStringLiteral("Grid1"));
        list->setCurrentRow(7);
        t.restart();
        w->fillOneFolder();
        QCoreApplication::processEvents();
        go.push_back(ms(t));
        goRows = w->model()->rowCount();

        list->setCurrentRow(-1);
        bool refilled = false;
        const auto connection = QObject::connect(w, &GamesWindow::filled, [&refilled] { refilled = true; });
        w->fillAllFolders();
        runEventsUntil([&refilled] { return refilled; }, &stall);
        QObject::disconnect(connection);
        QHeaderView* header = view->horizontalHeader();
        t.restart();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, Qt::NoModifier,
            QPoint(header->sectionViewportPosition(GamesTableModel::PlayersColumn) + 20, header->height() / 2));
        QCoreApplication::processEvents();
        sort.push_back(ms(t));

        QPointer<GamesWindow> old = w;
        w->close();
        while (old)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("Games window, %d games in 50 folders (median of %d runs)\n", rows, runs);
    std::printf("  find | sort of the same tree (floor) %6.1f ms\n", median(floor));
    std::printf("  My Games until the grid is filled  %8.1f ms  %.2f x the floor (target <= 1.3 x)\n", median(open),
                median(open) / median(floor));
    std::printf(
        "  longest event-loop stall while the grid fills and the first search runs  %.1f ms (target <= 50 ms)\n",
        median(stalls));
    std::printf("  Go on one folder (%d games)      %8.1f ms\n", goRows, median(go));
    std::printf("  header click sorting the players   %8.1f ms\n", median(sort));
    return 0;
}
