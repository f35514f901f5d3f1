// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>
#include <QStringList>

// The list of schemes, which takes files dropped from the desktop. The files
// are handed on only once the drop has ended, so that a message box never
// opens inside a drag.
class SchemeListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit SchemeListWidget(QWidget* parent = nullptr);

Q_SIGNALS:
    void filesDropped(const QStringList& files);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    static QStringList localFiles(const class QMimeData* mime);
};
