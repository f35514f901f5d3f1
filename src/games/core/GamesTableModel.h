// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "games/core/GamesTree.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QList>
#include <QStringList>
#include <vector>

// The rows of the games grid: one per recorded game, read from its file name.
//
//   column 0  the file name (hidden in the grid; the key of the row)
//   column 1  "Date"             the formatted date
//   column 2  "Time"             " 20.15.33" (with the blank before the time)
//   column 3  "Mode"             "Online", "Training", "Online Round 2", ...
//   column 4  "Players & Teams"
//   column 5  "Folder"           the folder's name, "Default" for Games itself
//
// Built for 100,000 games: a row keeps only the file name and the places of
// its parts in it; dates, modes and folders are kept once and shared by
// index. Sorting works on keys computed for the column, never on display
// texts built row by row.
class GamesTableModel : public QAbstractTableModel {
    Q_OBJECT
private:
    struct Row {
        QString name;
        qint32 date = -1; // index into m_dates/m_dateTexts; -1: the name does not start with a date
        quint32 folder = 0;
        quint32 fill = 0; // the row's place in the fill order
        quint16 dateStart = 0;
        quint16 timeStart = 0;
        quint16 playersStart = 0;
        quint16 playersLength = 0;
        quint16 mode = 0;
        quint8 dateLength = 0;
        quint8 timeLength = 0;
    };

public:
    enum Column { FileColumn, DateColumn, TimeColumn, ModeColumn, PlayersColumn, FolderColumn, ColumnCount };

    explicit GamesTableModel(QObject* parent = nullptr);

    // The rows of a fill, read from the names once. Reading them is the slow
    // part of a fill and may run on any thread; handing them over is quick.
    class Fill {
    private:
        friend class GamesTableModel;
        std::vector<Row> rows;
        QList<QDate> dates;
        QStringList modes;   // entry 0 is the empty mode
        QStringList folders; // folder names, "" for Default
    };
    // One row per game, folder by folder in the order given, each folder's
    // games in the order given. Two parts of the folders are read at once
    // (one by a helper thread that ends before this returns).
    static Fill read(const QList<GameFolderFiles>& folders);

    // Replaces every row with those of `fill`.
    void setGames(Fill&& fill);
    void setGames(const QList<GameFolderFiles>& folders) { setGames(read(folders)); }
    void clear();

    // The format of the Date column (see GameDateFormatter); changing it
    // re-formats the column with the default locale's names.
    int dateFormat() const { return m_dateFormat; }
    void setDateFormat(int formatIndex);

    QString fileName(int row) const;
    // The folder's name under Games, "" for the Games folder itself.
    QString folder(int row) const;
    // What the grid shows in `column` of `row`.
    QString text(int row, int column) const;
    // The game's date as YYYY-MM-DD, "" for a name without a date.
    QString isoDate(int row) const;
    // The row's place in the order the games were given to setGames(): it
    // stays with its game when the rows are sorted.
    int fillIndex(int row) const
    {
        return row >= 0 && size_t(row) < m_rows.size() ? int(m_rows[size_t(row)].fill) : -1;
    }

    static QString header(int column);
    // The column's width in the grid, in twips (0: hidden).
    static int widthTwips(int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Text columns sort by their text with letter case counting (character
    // code order); the Date column sorts in calendar order, games of one day
    // by their time, and names without a date after all dates. Rows that sort
    // equal keep their order, so sorting by one column and then by another
    // sorts by both. Selections and other persistent indexes follow their rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QStringView fileView(const Row& row) const { return row.name; }
    QStringView dateView(const Row& row) const;
    QStringView timeView(const Row& row) const;
    QStringView playersView(const Row& row) const;
    // Within one day: the time; for a name without a date: its date part.
    QStringView dayOrderView(const Row& row) const { return row.date >= 0 ? timeView(row) : dateView(row); }
    QString folderText(const Row& row) const;
    void formatDates();
    std::vector<int> sortedOrder(int column, Qt::SortOrder order) const;
    // The rows of folders [first, end), numbered from 0.
    static Fill readPart(const QList<GameFolderFiles>& folders, qsizetype first, qsizetype end);
    // Appends the rows of `more`, read from the folders after those of `fill`.
    static void join(Fill& fill, Fill&& more);

    std::vector<Row> m_rows;
    QList<QDate> m_dates;
    QStringList m_dateTexts;
    QStringList m_modes;   // entry 0 is the empty mode
    QStringList m_folders; // folder names, "" for Default
    int m_dateFormat = 0;
};
