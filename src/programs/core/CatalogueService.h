// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "programs/core/CatalogueDatabase.h"
#include "programs/core/RecordSet.h"

#include <QString>

class Prompter;
class UserPaths;

// The programs catalogue as the program uses it: the connection to the
// catalogue file and the one record set the whole program shares. "My
// Proggies" points the record set at the programs before the programs window
// opens; that window then reads, positions, adds and deletes rows through it.
// Made on first use; it lives as long as the application.
class CatalogueService {
public:
    // Notes the catalogue file and starts on the MAPS query; the connection
    // opens at the first preparation.
    explicit CatalogueService(const UserPaths& paths);

    CatalogueService(const CatalogueService&) = delete;
    CatalogueService& operator=(const CatalogueService&) = delete;

    // Opens the catalogue afresh (creating it when there is none), points
    // the record set at the programs and runs the query. False when the
    // catalogue cannot be opened or read; problemMessage() then tells why.
    bool prepareForPrograms();
    // A message for the user naming the file and why it cannot be used.
    QString problemMessage() const;
    // Shows problemMessage() in a message box.
    void tellProblem(Prompter& prompter) const;

    // Runs the current query again; the first row becomes current.
    bool refresh() { return m_records.refresh(); }

    RecordSet& records() { return m_records; }
    const QString& databaseFile() const { return m_file; }

private:
    const UserPaths& m_paths;
    QString m_file;
    CatalogueDatabase m_database;
    RecordSet m_records;
};
