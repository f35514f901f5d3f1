#pragma once

#include "common/ui/AppWindow.h"
#include "programs/core/CatalogueDatabase.h"
#include "programs/core/RecordSet.h"

// The hidden data window: it owns the connection to the programs catalogue
// and the one record set the whole program shares. The main menu points the
// record set at the programs before the programs window opens; that window
// then reads, positions, adds and deletes rows through it. Never shown.
class ProgramsDataWindow : public AppWindow {
    Q_OBJECT
public:
    explicit ProgramsDataWindow(AppContext& context);

    // Notes the catalogue file and starts on the MAPS query; the connection
    // opens at the first preparation.
    void formLoad() override;

    // Opens the catalogue afresh (creating it when there is none), points
    // the record set at the programs and runs the query. False when the
    // catalogue cannot be opened or read; problemMessage() then tells why.
    bool prepareForPrograms();
    // A message for the user naming the file and why it cannot be used.
    QString problemMessage() const;
    // Shows problemMessage() in a message box.
    void tellProblem();

    // Runs the current query again; the first row becomes current.
    bool refresh() { return m_records.refresh(); }

    RecordSet& records() { return m_records; }
    const QString& databaseFile() const { return m_file; }

    // The data window of `context`, created on first use; nullptr when the
    // program has none.
    static ProgramsDataWindow* of(AppContext& context);

private:
    QString m_file;
    CatalogueDatabase m_database;
    RecordSet m_records;
};

// What the main menu's "My Proggies" runs before the programs window opens:
// the data window is touched, the catalogue opened and queried. When the
// catalogue cannot be opened the user is told why and the menu stays (false).
bool prepareProgramsCatalogue(AppContext& context);

// Rebuilds the programs window after a change of the catalogue: the query
// runs again, then the loading window unloads the programs window and shows
// a new one.
void reloadProgramsWindow(AppContext& context);
