// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/core/GamesSearchModel.h"

#include "games/core/GamesTableModel.h"

#include <QHash>
#include <algorithm>
#include <climits>
#include <string_view>

namespace {

// Letters that keep their stroke, bar or ligature under decomposition, spelt
// as a reader without such a key would type them.
const char* plainSpelling(char32_t c)
{
    switch (c) {
    case U'Ø':
    case U'ø':
        return "o";
    case U'Ł':
    case U'ł':
        return "l";
    case U'Đ':
    case U'đ':
    case U'Ð':
    case U'ð':
        return "d";
    case U'Ħ':
    case U'ħ':
        return "h";
    case U'Ŧ':
    case U'ŧ':
        return "t";
    case U'Æ':
    case U'æ':
        return "ae";
    case U'Œ':
    case U'œ':
        return "oe";
    case U'ß':
    case U'ẞ':
        return "ss";
    case U'Þ':
    case U'þ':
        return "th";
    case U'ı':
        return "i";
    default:
        return nullptr;
    }
}

bool isMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

void appendFolded(QByteArray& out, char32_t c)
{
    if (c < 0x80) {
        const char a = char(c);
        out += (a >= 'A' && a <= 'Z') ? char(a - 'A' + 'a') : (a == '\t' || a == '\n' || a == '\r') ? ' ' : a;
        return;
    }
    if (QChar::isSpace(c)) {
        out += ' ';
        return;
    }
    if (const char* plain = plainSpelling(c)) {
        out += plain;
        return;
    }
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    for (const char32_t part : decomposed.toUcs4()) {
        if (isMark(part))
            continue;
        if (const char* plain = plainSpelling(part)) {
            out += plain;
            continue;
        }
        const char32_t lower = QChar::toCaseFolded(part);
        if (lower < 0x80)
            out += char(lower);
        else
            out += QString::fromUcs4(&lower, 1).toUtf8();
    }
}

// Words never hold a blank, so a blank keeps texts of different columns
// and games apart.
constexpr char separator = '\n';

bool contains(const QByteArray& text, const QByteArray& word)
{
    return text.contains(word);
}

std::vector<uint8_t> groupHits(const std::vector<QByteArray>& keys, const QByteArray& word)
{
    std::vector<uint8_t> hits(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        hits[i] = contains(keys[i], word);
    return hits;
}

} // namespace

GamesSearchModel::GamesSearchModel(GamesTableModel* games, QObject* parent)
    : QAbstractProxyModel(parent)
    , m_games(games)
{
    QAbstractProxyModel::setSourceModel(games);
    connect(games, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(games, &QAbstractItemModel::modelReset, this, &GamesSearchModel::sourceReset);
    connect(games, &QAbstractItemModel::layoutAboutToBeChanged, this, &GamesSearchModel::sourceAboutToChangeLayout);
    connect(games, &QAbstractItemModel::layoutChanged, this, &GamesSearchModel::sourceLayoutChanged);
    connect(games, &QAbstractItemModel::dataChanged, this, &GamesSearchModel::sourceDataChanged);
    m_foldTimer.setInterval(0);
    connect(&m_foldTimer, &QTimer::timeout, this, &GamesSearchModel::foldStep);
    rebuildRows();
    if (m_games->rowCount() > 0)
        foldInSteps();
}

QByteArray GamesSearchModel::fold(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        appendFolded(out, c);
    }
    return out;
}

int GamesSearchModel::totalCount() const
{
    return m_games->rowCount();
}

int GamesSearchModel::sourceRow(int row) const
{
    return row >= 0 && size_t(row) < m_visible.size() ? m_visible[size_t(row)] : -1;
}

int GamesSearchModel::rowOf(int sourceRow) const
{
    return sourceRow >= 0 && size_t(sourceRow) < m_rowOfSource.size() ? m_rowOfSource[size_t(sourceRow)] : -1;
}

QModelIndex GamesSearchModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex GamesSearchModel::parent(const QModelIndex&) const
{
    return QModelIndex();
}

int GamesSearchModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_visible.size());
}

int GamesSearchModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_games->columnCount();
}

QModelIndex GamesSearchModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.model() != this)
        return QModelIndex();
    return m_games->index(sourceRow(proxyIndex.row()), proxyIndex.column());
}

QModelIndex GamesSearchModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.model() != m_games)
        return QModelIndex();
    return index(rowOf(sourceIndex.row()), sourceIndex.column());
}

void GamesSearchModel::sort(int column, Qt::SortOrder order)
{
    m_games->sort(column, order);
}

void GamesSearchModel::startKeys()
{
    const int n = m_games->rowCount();
    m_keysBuilt = false;
    m_dateGroup.assign(size_t(n), 0);
    m_modeGroup.assign(size_t(n), 0);
    m_folderGroup.assign(size_t(n), 0);
    m_textStart.assign(size_t(n) + 1, 0);
    m_dateKeys.clear();
    m_modeKeys.clear();
    m_folderKeys.clear();
    m_text.clear();
    m_dateSeen.clear();
    m_modeSeen.clear();
    m_folderSeen.clear();
    // Each game's own texts in fill order, so that the block is read from
    // the first game to the last whatever the sort.
    m_rowOfFill.assign(size_t(n), 0);
    for (int row = 0; row < n; ++row)
        m_rowOfFill[size_t(m_games->fillIndex(row))] = row;
    m_text.reserve(qsizetype(n) * 48);
    m_foldNext = 0;
    m_folding = true;
}

bool GamesSearchModel::foldSome(int count)
{
    // Shared texts are folded once per distinct text.
    auto group = [this](QHash<QString, uint32_t>& seen, std::vector<QByteArray>& keys, const QString& text,
                        int isoRow) {
        auto it = seen.constFind(text);
        if (it != seen.constEnd())
            return it.value();
        QByteArray key = GamesSearchModel::fold(text);
        if (isoRow >= 0)
            key += separator + m_games->isoDate(isoRow).toLatin1();
        keys.push_back(key);
        return seen.insert(text, uint32_t(keys.size() - 1)).value();
    };
    const int n = int(m_rowOfFill.size());
    const int end = count >= n - m_foldNext ? n : m_foldNext + count;
    for (int fill = m_foldNext; fill < end; ++fill) {
        const int row = m_rowOfFill[size_t(fill)];
        m_dateGroup[size_t(fill)] = group(m_dateSeen, m_dateKeys, m_games->text(row, GamesTableModel::DateColumn), row);
        m_modeGroup[size_t(fill)] = group(m_modeSeen, m_modeKeys, m_games->text(row, GamesTableModel::ModeColumn), -1);
        m_folderGroup[size_t(fill)] =
            group(m_folderSeen, m_folderKeys, m_games->text(row, GamesTableModel::FolderColumn), -1);
        m_textStart[size_t(fill)] = uint32_t(m_text.size());
        m_text += fold(m_games->text(row, GamesTableModel::TimeColumn));
        m_text += separator;
        m_text += fold(m_games->text(row, GamesTableModel::PlayersColumn));
        m_text += separator;
    }
    m_foldNext = end;
    if (end < n)
        return false;
    m_textStart[size_t(n)] = uint32_t(m_text.size());
    m_text.squeeze();
    m_rowOfFill = {};
    m_dateSeen.clear();
    m_modeSeen.clear();
    m_folderSeen.clear();
    m_folding = false;
    m_keysBuilt = true;
    Q_EMIT keysBuilt();
    return true;
}

void GamesSearchModel::buildKeys()
{
    if (!m_folding)
        startKeys();
    foldSome(INT_MAX);
}

void GamesSearchModel::foldInSteps()
{
    // The texts are folded as soon as the grid is filled, a slice at a time
    // between the window's other events, so that the first keystroke finds
    // them ready and the window never stalls on them.
    startKeys();
    m_foldTimer.start();
}

void GamesSearchModel::foldStep()
{
    if (!m_folding || foldSome(foldSlice))
        m_foldTimer.stop();
}

void GamesSearchModel::matchWord(const QByteArray& word, std::vector<uint8_t>& keep) const
{
    const std::vector<uint8_t> dateHits = groupHits(m_dateKeys, word);
    const std::vector<uint8_t> modeHits = groupHits(m_modeKeys, word);
    const std::vector<uint8_t> folderHits = groupHits(m_folderKeys, word);
    const size_t n = keep.size();
    const std::string_view needle(word.constData(), size_t(word.size()));
    const char* const begin = m_text.constData();
    const size_t logged = m_logWords.size();
    auto inLog = [&](size_t f) {
        return f < logged && !m_logWords[f].isEmpty() &&
               std::string_view(m_logWords[f].constData(), size_t(m_logWords[f].size())).find(needle) !=
                   std::string_view::npos;
    };

    size_t alive = 0;
    for (size_t f = 0; f < n; ++f)
        alive += keep[f];
    if (alive * 4 < n) {
        // Few games left: look into each of them.
        for (size_t f = 0; f < n; ++f) {
            if (!keep[f] || dateHits[m_dateGroup[f]] || modeHits[m_modeGroup[f]] || folderHits[m_folderGroup[f]])
                continue;
            const std::string_view text(begin + m_textStart[f], m_textStart[f + 1] - m_textStart[f]);
            keep[f] = text.find(needle) != std::string_view::npos || inLog(f);
        }
        return;
    }
    // Look for the word in the whole block at once; a find marks its game
    // and the search goes on from the next game.
    std::vector<uint8_t> textHits(n, 0);
    const std::string_view all(begin, size_t(m_text.size()));
    for (size_t at = 0; at < all.size();) {
        const size_t found = all.find(needle, at);
        if (found == std::string_view::npos)
            break;
        const auto next = std::upper_bound(m_textStart.begin(), m_textStart.end(), uint32_t(found));
        const size_t f = size_t(next - m_textStart.begin()) - 1;
        textHits[f] = 1;
        at = *next;
    }
    for (size_t f = 0; f < n; ++f) {
        if (keep[f])
            keep[f] = textHits[f] || dateHits[m_dateGroup[f]] || modeHits[m_modeGroup[f]] ||
                      folderHits[m_folderGroup[f]] || inLog(f);
    }
}

void GamesSearchModel::matchWords(const std::vector<QByteArray>& words, bool narrowing)
{
    const size_t n = size_t(m_games->rowCount());
    if (!narrowing || m_matched.size() != n)
        m_matched.assign(n, 1);
    if (words.empty())
        return;
    if (!m_keysBuilt)
        buildKeys();
    for (const QByteArray& word : words)
        matchWord(word, m_matched);
}

void GamesSearchModel::rebuildRows()
{
    shownRows(m_visible, m_rowOfSource);
}

void GamesSearchModel::shownRows(std::vector<int>& visible, std::vector<int>& rowOfSource) const
{
    const int n = m_games->rowCount();
    const bool all = m_words.empty() || m_matched.size() != size_t(n);
    visible.clear();
    visible.reserve(size_t(n));
    rowOfSource.assign(size_t(n), -1);
    for (int row = 0; row < n; ++row) {
        if (all || m_matched[size_t(m_games->fillIndex(row))]) {
            rowOfSource[size_t(row)] = int(visible.size());
            visible.push_back(row);
        }
    }
}

void GamesSearchModel::setSearchText(const QString& text)
{
    if (text == m_search)
        return;
    // Typing on only narrows what a search shows, so a longer search starts
    // from the games the shorter one kept.
    const bool narrowing = !m_search.isEmpty() && text.startsWith(m_search);
    m_search = text;
    std::vector<QByteArray> words;
    const QList<QByteArray> parts = fold(text).split(' ');
    for (const QByteArray& part : parts) {
        if (!part.isEmpty())
            words.push_back(part);
    }
    if (words == m_words)
        return;
    m_words = std::move(words);
    refilter(narrowing && !m_words.empty());
}

void GamesSearchModel::refilter(bool narrowing)
{
    matchWords(m_words, narrowing);
    std::vector<int> visible;
    std::vector<int> rowOfSource;
    shownRows(visible, rowOfSource);
    if (visible == m_visible)
        return;

    // The persistent indexes are read in the old rows and put in the new.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    std::vector<int> sources;
    sources.reserve(size_t(from.size()));
    for (const QModelIndex& idx : from)
        sources.push_back(sourceRow(idx.row()));
    m_visible.swap(visible);
    m_rowOfSource.swap(rowOfSource);
    QModelIndexList to;
    to.reserve(from.size());
    for (qsizetype i = 0; i < from.size(); ++i)
        to << index(rowOf(sources[size_t(i)]), from.at(i).column());
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GamesSearchModel::addLogWords(const std::vector<std::pair<int, QString>>& words)
{
    const size_t n = size_t(m_games->rowCount());
    m_logWords.resize(n);
    for (const auto& [fill, text] : words) {
        if (fill >= 0 && size_t(fill) < n)
            m_logWords[size_t(fill)] = fold(text);
    }
    // The words only add games to what a search shows.
    if (!m_words.empty())
        refilter(false);
}

void GamesSearchModel::sourceReset()
{
    m_logWords.clear();
    m_keysBuilt = false;
    m_folding = false;
    m_matched.clear();
    if (!m_words.empty())
        matchWords(m_words, false);
    rebuildRows();
    endResetModel();
    if (!m_keysBuilt)
        foldInSteps();
}

void GamesSearchModel::sourceAboutToChangeLayout()
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_layoutPersistent = persistentIndexList();
    m_layoutFills.clear();
    for (const QModelIndex& idx : std::as_const(m_layoutPersistent))
        m_layoutFills.push_back(m_games->fillIndex(sourceRow(idx.row())));
}

void GamesSearchModel::sourceLayoutChanged()
{
    // Folding in steps goes on over the games' new rows.
    if (m_folding) {
        for (int row = 0; row < m_games->rowCount(); ++row)
            m_rowOfFill[size_t(m_games->fillIndex(row))] = row;
    }
    rebuildRows();
    std::vector<int> rowOfFill(size_t(m_games->rowCount()), -1);
    for (int row = 0; row < m_games->rowCount(); ++row)
        rowOfFill[size_t(m_games->fillIndex(row))] = row;
    QModelIndexList to;
    to.reserve(m_layoutPersistent.size());
    for (qsizetype i = 0; i < m_layoutPersistent.size(); ++i) {
        const int fill = m_layoutFills[size_t(i)];
        const int row = fill >= 0 && size_t(fill) < rowOfFill.size() ? rowOf(rowOfFill[size_t(fill)]) : -1;
        to << index(row, m_layoutPersistent.at(i).column());
    }
    changePersistentIndexList(m_layoutPersistent, to);
    m_layoutPersistent.clear();
    m_layoutFills.clear();
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GamesSearchModel::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    // A new date format changes what the Date column shows and so what a
    // search finds in it.
    m_keysBuilt = false;
    m_folding = false;
    if (!m_words.empty())
        refilter(false);
    if (!m_keysBuilt)
        foldInSteps();
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, topLeft.column()), index(rowCount() - 1, bottomRight.column()));
}
