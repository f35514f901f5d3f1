// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "schemes/core/Scheme.h"

#include <QWidget>

class QLabel;
class QTreeWidget;

// The right side of the schemes window: one scheme's settings in words,
// grouped, with its weapons in a table; or the settings in which two schemes
// differ, side by side.
class SchemeView : public QWidget {
    Q_OBJECT
public:
    explicit SchemeView(QWidget* parent = nullptr);

    void showScheme(const QString& title, const Scheme& scheme);
    void showComparison(const QString& leftTitle, const Scheme& left, const QString& rightTitle, const Scheme& right);
    // Nothing shown, with `hint` as the heading.
    void clear(const QString& hint);

    QString heading() const;

private:
    void showProblems(const QStringList& problems);

    QLabel* m_heading;
    QLabel* m_problems;
    QTreeWidget* m_settings;
    QTreeWidget* m_weapons;
};
