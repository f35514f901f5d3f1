// The games window with 100,000 recorded games in 50 folders: how long it
// takes from the main menu's "My Games" until the grid is filled and the
// waiting panel is gone, how long Go takes on one folder, and a header click
// sorting the whole grid. Runs headless (QT_QPA_PLATFORM=offscreen).
//
// Usage: bench_games_window [runs]

#include "GamesBenchTree.h"
#include "common/ui/WindowNames.h"
#include "games/core/GamesTableModel.h"
#include "games/ui/GamesWindow.h"
#include "shell/ui/Application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QHeaderView>
#include <QListWidget>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cstdio>
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

    std::vector<double> open, go, sort;
    int rows = 0, goRows = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        app.openFromMenu(WindowNames::Games);
        auto* w = qobject_cast<GamesWindow*>(app.existingWindow(WindowNames::Games));
        auto* frame3 = w->findChild<QFrame*>(QStringLiteral("Frame3"));
        while (!frame3->isHidden())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::processEvents(); // the grid painted once
        open.push_back(ms(t));
        rows = w->model()->rowCount();

        auto* list = w->findChild<QListWidget*>(QStringLiteral("lstFolderPick"));
        auto* view = w->findChild<QTableView*>(QStringLiteral("Grid1"));
        list->setCurrentRow(7);
        t.restart();
        w->fillOneFolder();
        QCoreApplication::processEvents();
        go.push_back(ms(t));
        goRows = w->model()->rowCount();

        list->setCurrentRow(-1);
        w->fillAllFolders();
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
    std::printf("  My Games until the grid is filled  %8.1f ms\n", median(open));
    std::printf("  Go on one folder (%d games)      %8.1f ms\n", goRows, median(go));
    std::printf("  header click sorting the players   %8.1f ms\n", median(sort));
    return 0;
}
