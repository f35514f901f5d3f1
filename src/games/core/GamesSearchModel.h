// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractProxyModel>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <utility>
#include <vector>

class GamesTableModel;

// The games grid as the search box narrows it: the rows of a GamesTableModel
// whose Date (as shown), ISO date (YYYY-MM-DD), Time, Mode, Players & Teams
// or Folder contain every word typed, letter case and accents aside, in the
// order of the rows underneath. Sorting sorts the rows underneath.
//
// Built for 100,000 games typed into at keyboard speed: every game's texts
// are folded once into one block of bytes (dates, modes and folders once per
// distinct text), in slices between other events as soon as the games are
// there (at once when a search cannot wait), a word is looked for in the whole block at once, and a
// longer search starts from the games the shorter one kept. Selections and
// other persistent indexes follow their games and become invalid when their
// game is filtered away.
class GamesSearchModel : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit GamesSearchModel(GamesTableModel* games, QObject* parent = nullptr);

    GamesTableModel* games() const { return m_games; }

    QString searchText() const { return m_search; }
    void setSearchText(const QString& text);

    // The games shown and the games in all.
    int shownCount() const { return int(m_visible.size()); }
    int totalCount() const;

    // The row of the games model under a row of this model, and back (-1
    // when there is none or the game is filtered away).
    int sourceRow(int row) const;
    int rowOf(int sourceRow) const;

    // The words a game's log adds to it (its teams, players and winner),
    // once read: `fill` is the game's fill index. A search in force takes
    // them in at once.
    void addLogWords(const std::vector<std::pair<int, QString>>& words);

    // Folds a text for searching: lower case, accents and other marks
    // removed, letters that carry their stroke or ligature in themselves
    // (Ø, Ł, Æ, ß, ...) spelt in plain letters, every blank a space; UTF-8.
    static QByteArray fold(QStringView text);
    // True once the games' texts are folded for searching.
    bool keysReady() const { return m_keysBuilt; }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

Q_SIGNALS:
    // The games' texts are folded: keysReady() has turned true.
    void keysBuilt();

private:
    void sourceReset();
    void sourceAboutToChangeLayout();
    void sourceLayoutChanged();
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);

    void buildKeys();
    void startKeys();
    // Folds the texts of `count` more games; true when all are done.
    bool foldSome(int count);
    void foldInSteps();
    void foldStep();
    // Which games (by fill index) contain every word; `narrowing` starts from
    // the games kept now.
    void matchWords(const std::vector<QByteArray>& words, bool narrowing);
    void matchWord(const QByteArray& word, std::vector<uint8_t>& keep) const;
    // Rebuilds the rows shown from the matches, in the order underneath.
    void rebuildRows();
    void shownRows(std::vector<int>& visible, std::vector<int>& rowOfSource) const;
    void refilter(bool narrowing);

    GamesTableModel* m_games;
    QString m_search;
    std::vector<QByteArray> m_words;

    // Per game, by fill index: its group of each shared text, and where its
    // own folded texts (time and players) lie in m_text.
    bool m_keysBuilt = false;
    std::vector<uint32_t> m_dateGroup;
    std::vector<uint32_t> m_modeGroup;
    std::vector<uint32_t> m_folderGroup;
    std::vector<uint32_t> m_textStart; // one more than the games: the end
    QByteArray m_text;
    std::vector<QByteArray> m_logWords; // per fill index; empty until its log is read
    // While the texts are folded in steps: the next game, the row of each
    // game, and the shared texts folded so far.
    static constexpr int foldSlice = 2000;
    bool m_folding = false;
    int m_foldNext = 0;
    std::vector<int> m_rowOfFill;
    QHash<QString, uint32_t> m_dateSeen;
    QHash<QString, uint32_t> m_modeSeen;
    QHash<QString, uint32_t> m_folderSeen;
    QTimer m_foldTimer;
    std::vector<QByteArray> m_dateKeys; // the date as shown and as YYYY-MM-DD
    std::vector<QByteArray> m_modeKeys;
    std::vector<QByteArray> m_folderKeys;

    std::vector<uint8_t> m_matched; // per fill index
    std::vector<int> m_visible;     // source rows shown, in source order
    std::vector<int> m_rowOfSource; // per source row: its row here, or -1

    // Persistent indexes across a layout change underneath: their games.
    QModelIndexList m_layoutPersistent;
    std::vector<int> m_layoutFills;
};
