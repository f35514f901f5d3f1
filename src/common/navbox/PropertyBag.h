// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// The saved design-time properties of a control: values by name. A value equal
// to its default is not stored, so a control saved with default settings leaves
// an empty bag, and reading a name that is not stored gives the default back.
class PropertyBag {
public:
    // The stored value of `name`, or `defaultValue` when none is stored.
    QVariant read(const QString& name, const QVariant& defaultValue = QVariant()) const;
    // Stores `value` under `name`, or removes the name when `value` equals
    // `defaultValue` (an invalid default stores every value).
    void write(const QString& name, const QVariant& value, const QVariant& defaultValue = QVariant());

    bool contains(const QString& name) const;
    // The stored names, in the order they were first written.
    QStringList names() const;
    bool isEmpty() const { return m_values.isEmpty(); }
    void clear();

    // The names asked for by read(), in order (to check how a control restores itself).
    QStringList readNames() const { return m_reads; }

private:
    int indexOf(const QString& name) const;

    QList<QPair<QString, QVariant>> m_values;
    mutable QStringList m_reads;
};
