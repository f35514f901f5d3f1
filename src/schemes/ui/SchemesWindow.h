// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ui/AppWindow.h"
#include "schemes/core/Scheme.h"

#include <QByteArray>
#include <QStringList>

class LatestOnly;
class QLabel;
class QListWidgetItem;
class QPushButton;
class SchemeListWidget;
class SchemeView;

// "My Schemes": the game schemes of User/Schemes, each shown in words; two
// selected at once are compared. Schemes are copied, renamed, deleted,
// brought in by dropping .wsc files or zip archives of them, and written to a
// zip archive. Closing it returns to the main menu.
class SchemesWindow : public AppWindow {
    Q_OBJECT
public:
    explicit SchemesWindow(AppContext& context);

    void formLoad() override;

    // Shows a scheme held in memory, such as the one stored in a replay, at
    // the top of the list under `title`; it can be compared with the schemes
    // of the folder and copied into it. A later call replaces it.
    // `returnTo`, when given, names the window that asked: closing this one
    // goes back to it rather than to the main menu.
    void showStoredScheme(const QByteArray& bytes, const QString& title, const QString& returnTo = QString());

    // Lists the schemes of the folder again, keeping the selection by name.
    void refreshList();

protected:
    bool formUnload() override;

private:
    QString folder() const;
    void selectionChanged();
    // The scheme an item stands for (read from its file, or the stored one).
    Scheme schemeOf(const QListWidgetItem* item) const;
    QString titleOf(const QListWidgetItem* item) const;
    bool isStored(const QListWidgetItem* item) const;
    // The selected items in list order.
    QList<QListWidgetItem*> selectedItems() const;
    QListWidgetItem* selectedScheme();
    void warn(const QString& text);
    void select(const QStringList& fileNames);

    void copyScheme();
    void renameScheme();
    void deleteScheme();
    void exportZip();
    void filesDropped(const QStringList& files);

    SchemeListWidget* m_list;
    SchemeView* m_view;
    QPushButton* m_copy;
    QPushButton* m_rename;
    QPushButton* m_delete;
    QPushButton* m_export;
    LatestOnly* m_exportWork;
    bool m_hasStored = false;
    QByteArray m_storedBytes;
    QString m_storedTitle;
    QString m_returnTo;
};
