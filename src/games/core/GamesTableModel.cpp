// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GamesTableModel.h"

#include "common/core/Parallel.h"
#include "games/core/GameDateFormatter.h"
#include "games/core/GameNameParser.h"

#include <QHash>
#include <algorithm>
#include <limits>

namespace {

quint16 clamp16(qsizetype v)
{
    return quint16(qBound<qsizetype>(0, v, std::numeric_limits<quint16>::max()));
}

// Four characters of a text from `from` on as one number whose order is the
// order of those characters (a text that ends sorts before any character).
quint64 chunkKey(QStringView s, qsizetype from)
{
    quint64 key = 0;
    for (qsizetype i = from; i < from + 4; ++i)
        key = (key << 16) | (i < s.size() ? s.at(i).unicode() : 0u);
    return key;
}

struct SortKey {
    quint64 a;
    quint64 b;
    int row;
};

// Ranks of texts in character code order (equal texts share a rank).
std::vector<quint64> ranks(const QStringList& texts)
{
    std::vector<int> order(size_t(texts.size()));
    for (int i = 0; i < texts.size(); ++i)
        order[size_t(i)] = i;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return texts.at(a) < texts.at(b); });
    std::vector<quint64> rank(order.size());
    quint64 r = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && texts.at(order[i]) != texts.at(order[i - 1]))
            ++r;
        rank[size_t(order[i])] = r;
    }
    return rank;
}

} // namespace

GamesTableModel::GamesTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    m_modes << QString();
}

QString GamesTableModel::header(int column)
{
    switch (column) {
    case DateColumn:
        return QStringLiteral("Date");
    case TimeColumn:
        return QStringLiteral("Time");
    case ModeColumn:
        return QStringLiteral("Mode");
    case PlayersColumn:
        return QStringLiteral("Players & Teams");
    case FolderColumn:
        return QStringLiteral("Folder");
    default:
        return QString();
    }
}

int GamesTableModel::widthTwips(int column)
{
    static const int widths[ColumnCount] = {0, 3000, 1000, 1000, 4000, 2000};
    return column >= 0 && column < ColumnCount ? widths[column] : 0;
}

void GamesTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_dates.clear();
    m_dateTexts.clear();
    m_modes = QStringList{QString()};
    m_folders.clear();
    endResetModel();
}

GamesTableModel::Fill GamesTableModel::read(const QList<GameFolderFiles>& folders)
{
    // The folders are read in two parts at once, the second by a helper
    // thread, split where half the games are; the two are then joined.
    size_t total = 0;
    for (const GameFolderFiles& f : folders)
        total += size_t(f.names.size());
    qsizetype split = 0;
    for (size_t half = 0; split < folders.size() && half < total / 2; ++split)
        half += size_t(folders.at(split).names.size());
    if (split <= 0 || split >= folders.size())
        return readPart(folders, 0, folders.size());
    Fill fill, second;
    Parallel::both([&] { fill = readPart(folders, 0, split); },
                   [&] { second = readPart(folders, split, folders.size()); });
    join(fill, std::move(second));
    return fill;
}

void GamesTableModel::join(Fill& fill, Fill&& more)
{
    // Shared texts and dates keep the numbers one reading of both parts
    // would give them: those of `fill` first, then the new ones of `more`.
    QHash<qint64, qint32> dateIndex;
    for (qsizetype i = 0; i < fill.dates.size(); ++i)
        dateIndex.insert(fill.dates.at(i).toJulianDay(), qint32(i));
    std::vector<qint32> dateOf(size_t(more.dates.size()));
    for (qsizetype i = 0; i < more.dates.size(); ++i) {
        auto it = dateIndex.constFind(more.dates.at(i).toJulianDay());
        if (it == dateIndex.constEnd()) {
            it = dateIndex.insert(more.dates.at(i).toJulianDay(), qint32(fill.dates.size()));
            fill.dates << more.dates.at(i);
        }
        dateOf[size_t(i)] = it.value();
    }
    std::vector<quint16> modeOf(size_t(more.modes.size()), 0);
    for (qsizetype i = 1; i < more.modes.size(); ++i) {
        qsizetype mode = fill.modes.indexOf(more.modes.at(i), 1);
        if (mode < 0) {
            mode = fill.modes.size();
            fill.modes << more.modes.at(i);
        }
        modeOf[size_t(i)] = clamp16(mode);
    }
    const quint32 folderBase = quint32(fill.folders.size());
    const quint32 fillBase = quint32(fill.rows.size());
    fill.folders += more.folders;
    fill.rows.reserve(fill.rows.size() + more.rows.size());
    for (Row& row : more.rows) {
        row.folder += folderBase;
        row.fill += fillBase;
        if (row.date >= 0)
            row.date = dateOf[size_t(row.date)];
        row.mode = modeOf[row.mode];
        fill.rows.push_back(std::move(row));
    }
}

GamesTableModel::Fill GamesTableModel::readPart(const QList<GameFolderFiles>& folders, qsizetype first, qsizetype end)
{
    Fill fill;
    fill.modes << QString();

    size_t total = 0;
    for (qsizetype i = first; i < end; ++i)
        total += size_t(folders.at(i).names.size());
    fill.rows.reserve(total);

    QHash<qint64, qint32> dateIndex;
    for (qsizetype i = first; i < end; ++i) {
        const GameFolderFiles& f = folders.at(i);
        const quint32 folderIndex = quint32(fill.folders.size());
        fill.folders << f.folder;
        for (const QString& name : f.names) {
            const GameNameParts parts = GameNameParser::parse(name);
            Row row;
            row.name = name;
            row.folder = folderIndex;
            row.fill = quint32(fill.rows.size());
            row.dateStart = clamp16(parts.dateStart);
            row.dateLength = quint8(parts.dateLength);
            row.timeStart = clamp16(parts.timeStart);
            row.timeLength = quint8(parts.timeLength);
            row.playersStart = clamp16(parts.playersStart);
            row.playersLength = clamp16(parts.playersLength);

            const QDate date = GameDateFormatter::readDate(parts.date(name));
            if (date.isValid()) {
                auto it = dateIndex.constFind(date.toJulianDay());
                if (it == dateIndex.constEnd()) {
                    it = dateIndex.insert(date.toJulianDay(), qint32(fill.dates.size()));
                    fill.dates << date;
                }
                row.date = it.value();
            }

            if (!parts.mode.isEmpty()) {
                qsizetype mode = 1;
                while (mode < fill.modes.size() && fill.modes.at(mode) != parts.mode)
                    ++mode;
                if (mode == fill.modes.size())
                    fill.modes << parts.mode.toString();
                row.mode = clamp16(mode);
            }
            fill.rows.push_back(std::move(row));
        }
    }
    return fill;
}

void GamesTableModel::setGames(Fill&& fill)
{
    beginResetModel();
    m_rows.swap(fill.rows);
    m_dates.swap(fill.dates);
    m_modes.swap(fill.modes);
    m_folders.swap(fill.folders);
    formatDates();
    endResetModel();
}

void GamesTableModel::formatDates()
{
    const GameDateFormatter formatter;
    m_dateTexts.clear();
    m_dateTexts.reserve(m_dates.size());
    for (const QDate& date : std::as_const(m_dates))
        m_dateTexts << formatter.format(date, m_dateFormat);
}

void GamesTableModel::setDateFormat(int formatIndex)
{
    m_dateFormat = formatIndex;
    formatDates();
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, DateColumn), index(rowCount() - 1, DateColumn), {Qt::DisplayRole});
}

QStringView GamesTableModel::dateView(const Row& row) const
{
    return QStringView(row.name).mid(row.dateStart, row.dateLength);
}

QStringView GamesTableModel::timeView(const Row& row) const
{
    return QStringView(row.name).mid(row.timeStart, row.timeLength);
}

QStringView GamesTableModel::playersView(const Row& row) const
{
    return QStringView(row.name).mid(row.playersStart, row.playersLength);
}

QString GamesTableModel::folderText(const Row& row) const
{
    const QString& folder = m_folders.at(row.folder);
    return folder.isEmpty() ? GamesTree::defaultFolderName() : folder;
}

QString GamesTableModel::fileName(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)].name : QString();
}

QString GamesTableModel::folder(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_folders.at(m_rows[size_t(row)].folder) : QString();
}

QString GamesTableModel::text(int row, int column) const
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return QString();
    const Row& r = m_rows[size_t(row)];
    switch (column) {
    case FileColumn:
        return r.name;
    case DateColumn:
        return r.date >= 0 ? m_dateTexts.at(r.date) : dateView(r).toString();
    case TimeColumn:
        return timeView(r).toString();
    case ModeColumn:
        return m_modes.at(r.mode);
    case PlayersColumn:
        return playersView(r).toString();
    case FolderColumn:
        return folderText(r);
    default:
        return QString();
    }
}

QString GamesTableModel::isoDate(int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || m_rows[size_t(row)].date < 0)
        return QString();
    return m_dates.at(m_rows[size_t(row)].date).toString(Qt::ISODate);
}

int GamesTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GamesTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant GamesTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return text(index.row(), index.column());
    return QVariant();
}

QVariant GamesTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QVariant();
    return header(section);
}

std::vector<int> GamesTableModel::sortedOrder(int column, Qt::SortOrder order) const
{
    // A multikey sort: rows are sorted by eight characters of their text at a
    // time, held in two numbers, and only rows that tie on those go on to the
    // next eight. Most comparisons thus touch no text, and every text is read
    // once per level instead of once per comparison.
    const size_t n = m_rows.size();
    std::vector<SortKey> keys(n);
    for (size_t i = 0; i < n; ++i)
        keys[i] = {0, 0, int(i)};

    // The text sorted by from `textLevel` on (Date: the first level is the
    // day, then the time of the day; names without a date sort by their text
    // after every date). Mode and Folder need only their ranks.
    int textLevel = 0;
    QStringView (GamesTableModel::*textOf)(const Row&) const = nullptr;
    switch (column) {
    case FileColumn:
        textOf = &GamesTableModel::fileView;
        break;
    case TimeColumn:
        textOf = &GamesTableModel::timeView;
        break;
    case PlayersColumn:
        textOf = &GamesTableModel::playersView;
        break;
    case DateColumn:
        textLevel = 1;
        textOf = &GamesTableModel::dayOrderView;
        for (size_t i = 0; i < n; ++i) {
            const Row& r = m_rows[i];
            const quint64 day = r.date >= 0 ? quint64(m_dates.at(r.date).toJulianDay() + (qint64(1) << 40))
                                            : std::numeric_limits<quint64>::max();
            keys[i] = {day, 0, int(i)};
        }
        break;
    case ModeColumn:
    case FolderColumn: {
        QStringList texts;
        if (column == ModeColumn) {
            texts = m_modes;
        } else {
            for (const QString& f : m_folders)
                texts << (f.isEmpty() ? GamesTree::defaultFolderName() : f);
        }
        const std::vector<quint64> rank = ranks(texts);
        for (size_t i = 0; i < n; ++i)
            keys[i] = {rank[column == ModeColumn ? m_rows[i].mode : m_rows[i].folder], 0, int(i)};
        break;
    }
    default:
        break;
    }

    const bool ascending = order == Qt::AscendingOrder;
    auto setKeys = [&](SortKey* begin, SortKey* end, int level) {
        const qsizetype from = qsizetype(level - textLevel) * 8;
        for (SortKey* k = begin; k != end; ++k) {
            const QStringView text = (this->*textOf)(m_rows[size_t(k->row)]);
            k->a = chunkKey(text, from);
            k->b = chunkKey(text, from + 4);
        }
    };
    // Sorts [begin, end) at `level`, then each run of equal keys one level deeper.
    auto sortLevel = [&](auto& self, SortKey* begin, SortKey* end, int level) -> void {
        if (textOf && level >= textLevel)
            setKeys(begin, end, level);
        std::sort(begin, end, [ascending](const SortKey& x, const SortKey& y) {
            if (x.a != y.a)
                return ascending ? x.a < y.a : x.a > y.a;
            if (x.b != y.b)
                return ascending ? x.b < y.b : x.b > y.b;
            return x.row < y.row; // ties keep their present order
        });
        if (!textOf)
            return;
        for (SortKey* run = begin; run != end;) {
            SortKey* next = run + 1;
            while (next != end && next->a == run->a && next->b == run->b)
                ++next;
            // A text that ended within these eight characters has nothing deeper.
            const bool more = level < textLevel || (run->b & 0xFFFF) != 0;
            if (next - run > 1 && more)
                self(self, run, next, level + 1);
            run = next;
        }
    };
    if (n > 0)
        sortLevel(sortLevel, keys.data(), keys.data() + n, 0);

    std::vector<int> sorted(n);
    for (size_t i = 0; i < n; ++i)
        sorted[i] = keys[i].row;
    return sorted;
}

void GamesTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount || m_rows.size() < 2)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    const std::vector<int> sorted = sortedOrder(column, order);
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (size_t i = 0; i < sorted.size(); ++i) {
        rows.push_back(std::move(m_rows[size_t(sorted[i])]));
        newRowOf[size_t(sorted[i])] = int(i);
    }
    m_rows.swap(rows);

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& idx : from)
        to << index(newRowOf[size_t(idx.row())], idx.column());
    changePersistentIndexList(from, to);

    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
