// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameReplayPanel.h"

#include "common/core/LatestOnly.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/WindowNames.h"
#include "games/core/GameNameParser.h"
#include "imaging/PictureScaling.h"
#include "replays/core/ReplayKeep.h"
#include "schemes/core/Scheme.h"
#include "schemes/core/SchemeFiles.h"
#include "schemes/ui/SchemesWindow.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr QSize kThumbnail(230, 60);
constexpr int kButtonHeight = 22;

// The colour map, scaled to fit the thumbnail; null when it cannot be read.
// Read as the maps window reads maps: a large one row by row, never whole.
QImage thumbnailOf(const ReplayInfo& info, const std::function<bool()>& cancelled)
{
    if (info.mapKind != ReplayInfo::MapKind::Colour || !info.mapComplete || !info.mapSize.isValid())
        return QImage();
    const QSize fit = PictureScaling::drawRect(info.mapSize, kThumbnail, true).size();
    return PictureScaling::renderPicture(info.mapData, QString(), fit, Qt::black, false, cancelled).picture();
}

QString mapWords(const ReplayInfo& info)
{
    if (!info.hasMap)
        return QStringLiteral("No map could be read from this replay.");
    const MapCheck::LevelSettings& level = info.level;
    const QString land = level.cavern ? QStringLiteral("cavern") : QStringLiteral("island");
    switch (info.mapKind) {
    case ReplayInfo::MapKind::Generated:
        return QStringLiteral("Generated from a seed\nLand seed %1, object seed %2, style %3, %4, water level %5, "
                              "objects %6%, bridges %7%")
            .arg(level.landSeed)
            .arg(level.objectSeed)
            .arg(level.style)
            .arg(land)
            .arg(level.waterLevel)
            .arg(level.objectPercent)
            .arg(level.bridgePercent);
    case ReplayInfo::MapKind::Monochrome:
        // Its land is packed in a form only the game's own library reads.
        if (!info.hasLevel)
            return QStringLiteral("Monochrome map (%1 bytes)").arg(info.mapData.size());
        return QStringLiteral("Monochrome map, %1 x %2, %3, water level %4, objects %5%, bridges %6%")
            .arg(info.mapSize.width())
            .arg(info.mapSize.height())
            .arg(land)
            .arg(level.waterLevel)
            .arg(level.objectPercent)
            .arg(level.bridgePercent);
    case ReplayInfo::MapKind::Colour: {
        QString words = QStringLiteral("Colour map, %1 x %2").arg(info.mapSize.width()).arg(info.mapSize.height());
        if (info.colours >= 0)
            words += QStringLiteral(", %1 colours").arg(info.colours);
        if (info.hasLevel)
            words += QStringLiteral(", %1, water level %2").arg(land).arg(level.waterLevel);
        return words;
    }
    case ReplayInfo::MapKind::Unknown:
        break;
    }
    return QStringLiteral("A map of a kind this program does not know (type %1)").arg(info.mapType);
}

QString schemeWords(const ReplayInfo& info)
{
    if (info.scheme.isEmpty()) {
        if (info.schemeType >= 0)
            return QStringLiteral("Scheme: one of the game's own (number %1)").arg(info.schemeType);
        return QStringLiteral("Scheme: not stored");
    }
    const Scheme scheme = SchemeReader::read(info.scheme);
    if (!scheme.signature)
        return QStringLiteral("Scheme: the stored scheme cannot be read");
    QStringList lines;
    for (const char* key : {"turnTime", "roundTime", "wormEnergy", "wins", "suddenDeathEvent"}) {
        if (const SchemeSetting* setting = scheme.setting(QLatin1String(key)))
            lines << setting->label + QStringLiteral(": ") + setting->text;
    }
    return lines.join(QLatin1Char('\n'));
}

bool nameHasTime(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const QStringView time = GameNameParser::parse(name).time(name).trimmed();
    return time.size() == 8 && time[2] == QLatin1Char('.') && time[5] == QLatin1Char('.');
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

GameReplayPanel::GameReplayPanel(Prompter& prompter, QWidget* parent)
    : QWidget(parent)
    , m_prompter(prompter)
    , m_reader(new LatestOnly(1, this))
{
    setObjectName(QStringLiteral("fraReplay"));
    setAccessibleName(QStringLiteral("Replay"));
    m_map = new QLabel(this);
    m_map->setObjectName(QStringLiteral("lblReplayMap"));
    m_map->setAccessibleName(QStringLiteral("Map"));
    m_map->setTextFormat(Qt::PlainText);
    m_map->setWordWrap(true);
    m_map->setAlignment(Qt::AlignCenter);
    m_facts = new QLabel(this);
    m_facts->setObjectName(QStringLiteral("lblReplayFacts"));
    m_facts->setTextFormat(Qt::PlainText);
    m_facts->setWordWrap(true);
    m_facts->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_facts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_scheme = button(this, "cmdScheme", QStringLiteral("Scheme\u2026"));
    m_saveMap = button(this, "cmdSaveMap", QStringLiteral("Save Map"));
    m_saveScheme = button(this, "cmdSaveScheme", QStringLiteral("Save Scheme"));
    connect(m_scheme, &QPushButton::clicked, this,
            [this] { Q_EMIT schemeRequested(m_info.scheme, QFileInfo(m_path).completeBaseName()); });
    connect(m_saveMap, &QPushButton::clicked, this, &GameReplayPanel::saveMap);
    connect(m_saveScheme, &QPushButton::clicked, this, &GameReplayPanel::saveScheme);
    showReplay(QString());
}

void GameReplayPanel::setFolders(const QString& mapsFolder, const QString& schemesFolder)
{
    m_mapsFolder = mapsFolder;
    m_schemesFolder = schemesFolder;
}

void GameReplayPanel::attach(AppContext& context, QMenu* fileMenu)
{
    setFolders(context.paths().mapsFolder(), SchemeFiles::folderIn(context.paths().userFolder()));
    fileMenu->addSeparator();
    QAction* saveMap = fileMenu->addAction(QStringLiteral("Save Map to My Maps"));
    saveMap->setObjectName(QStringLiteral("mnuSaveMap"));
    connect(saveMap, &QAction::triggered, this, &GameReplayPanel::saveMap);
    QAction* saveScheme = fileMenu->addAction(QStringLiteral("Save Scheme to My Schemes"));
    saveScheme->setObjectName(QStringLiteral("mnuSaveScheme"));
    connect(saveScheme, &QAction::triggered, this, &GameReplayPanel::saveScheme);
    auto sync = [this, saveMap, saveScheme] {
        saveMap->setEnabled(canSaveMap());
        saveScheme->setEnabled(canSaveScheme());
    };
    connect(this, &GameReplayPanel::savingChanged, saveMap, sync);
    sync();
    connect(this, &GameReplayPanel::schemeRequested, this, [&context](const QByteArray& bytes, const QString& title) {
        if (auto* schemes = qobject_cast<SchemesWindow*>(context.window(WindowNames::Schemes))) {
            schemes->showStoredScheme(bytes, title, WindowNames::Games);
            context.showWindow(WindowNames::Schemes);
        }
    });
}

void GameReplayPanel::showReplay(const QString& path)
{
    m_path = path;
    m_known = false;
    m_info = ReplayInfo();
    m_map->clear();
    m_facts->clear();
    updateButtons();
    if (path.isEmpty()) {
        m_reader->cancel();
        return;
    }
    m_facts->setText(QStringLiteral("Reading the replay..."));
    m_reader->run<Read>(
        [path](const std::function<bool()>& cancelled) {
            Read read;
            if (ReplayReader::readFile(path, &read.info, &read.error))
                read.thumbnail = thumbnailOf(read.info, cancelled);
            return read;
        },
        [this](const Read& read) { showRead(read); });
}

void GameReplayPanel::showRead(const Read& read)
{
    if (!read.error.isEmpty()) {
        m_facts->setText(QStringLiteral("This replay cannot be read: ") + read.error);
        return;
    }
    m_known = true;
    m_info = read.info;
    if (!m_info.replay) {
        m_facts->setText(QStringLiteral("This file is not a replay."));
        updateButtons();
        return;
    }
    if (read.thumbnail.isNull())
        m_map->setText(mapWords(m_info));
    else
        m_map->setPixmap(QPixmap::fromImage(read.thumbnail));
    m_map->setToolTip(mapWords(m_info));
    QStringList lines;
    if (m_info.startedAt && !nameHasTime(m_path))
        lines << QStringLiteral("Started: ") + QDateTime::fromSecsSinceEpoch(*m_info.startedAt, Qt::UTC)
                                                   .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
    if (m_info.hasSettings)
        lines << schemeWords(m_info);
    if (!m_info.problems.isEmpty())
        lines << m_info.problems.join(QLatin1Char('\n'));
    m_facts->setText(lines.join(QLatin1Char('\n')));
    updateButtons();
}

bool GameReplayPanel::canSaveMap() const
{
    return m_known && !ReplayKeep::mapFileName(m_info, m_path).isEmpty();
}

bool GameReplayPanel::canSaveScheme() const
{
    return m_known && !ReplayKeep::schemeFileName(m_info, m_path).isEmpty();
}

void GameReplayPanel::updateButtons()
{
    const QString waiting =
        m_path.isEmpty() ? QStringLiteral("Select a game first.") : QStringLiteral("The replay is still being read.");
    m_saveMap->setEnabled(canSaveMap());
    m_saveMap->setToolTip(canSaveMap() ? QStringLiteral("Save this map to My Maps")
                          : m_known    ? ReplayKeep::whyNoMap(m_info)
                                       : waiting);
    m_saveScheme->setEnabled(canSaveScheme());
    m_saveScheme->setToolTip(canSaveScheme() ? QStringLiteral("Save this scheme to My Schemes")
                             : m_known       ? ReplayKeep::whyNoScheme(m_info)
                                             : waiting);
    m_scheme->setEnabled(canSaveScheme());
    m_scheme->setToolTip(canSaveScheme() ? QStringLiteral("Show every setting of this scheme")
                                         : m_saveScheme->toolTip());
    Q_EMIT savingChanged();
}

void GameReplayPanel::saveMap()
{
    if (!canSaveMap())
        return;
    const QString fileName = ReplayKeep::mapFileName(m_info, m_path);
    // A map kept as the game's own data can also be drawn by the game itself.
    if (m_info.mapKind != ReplayInfo::MapKind::Colour &&
        m_prompter.message(QStringLiteral("Let the game draw this map into My Maps as a picture? The game starts and "
                                          "ends by itself.\n\nNo saves the map's own data as %1.")
                               .arg(fileName),
                           QStringLiteral("Save Map"), Prompter::Buttons::YesNo,
                           Prompter::Icon::Question) == Prompter::Answer::Yes) {
        Q_EMIT gameMapRequested();
        return;
    }
    save(m_mapsFolder, fileName, m_info.mapData, QStringLiteral("Save Map"));
}

void GameReplayPanel::saveScheme()
{
    if (canSaveScheme())
        save(m_schemesFolder, ReplayKeep::schemeFileName(m_info, m_path), m_info.scheme, QStringLiteral("Save Scheme"));
}

void GameReplayPanel::save(const QString& folder, const QString& fileName, const QByteArray& bytes,
                           const QString& title)
{
    const QString target = QDir(folder).filePath(fileName);
    if (QFileInfo::exists(target) &&
        m_prompter.message(QStringLiteral("%1 already exists. Replace it?").arg(QDir::toNativeSeparators(target)),
                           title, Prompter::Buttons::YesNo, Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    QString error;
    if (ReplayKeep::write(folder, fileName, bytes, &error))
        m_prompter.message(QStringLiteral("Saved as %1").arg(QDir::toNativeSeparators(target)), title,
                           Prompter::Buttons::Ok, Prompter::Icon::Information);
    else
        m_prompter.message(QStringLiteral("%1 could not be saved: %2").arg(fileName, error), title,
                           Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}

void GameReplayPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    m_map->setGeometry(0, 0, w, kThumbnail.height());
    const int y = kThumbnail.height() + 3;
    // Each button as wide as its caption, the room left shared out evenly.
    QPushButton* const buttons[] = {m_scheme, m_saveMap, m_saveScheme};
    auto captionWidth = [](const QPushButton* b) { return b->fontMetrics().horizontalAdvance(b->text()) + 12; };
    int spare = w - 2 * 3;
    for (QPushButton* b : buttons)
        spare -= captionWidth(b);
    int x = 0;
    for (QPushButton* b : buttons) {
        const int bw = captionWidth(b) + qMax(0, spare) / 3;
        b->setGeometry(x, y, bw, kButtonHeight);
        x += bw + 3;
    }
    const int factsTop = y + kButtonHeight + 3;
    m_facts->setGeometry(0, factsTop, w, qMax(0, height() - factsTop));
}
