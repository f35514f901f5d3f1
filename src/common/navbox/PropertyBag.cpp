// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/navbox/PropertyBag.h"

int PropertyBag::indexOf(const QString& name) const
{
    for (int i = 0; i < m_values.size(); ++i) {
        if (m_values.at(i).first == name)
            return i;
    }
    return -1;
}

QVariant PropertyBag::read(const QString& name, const QVariant& defaultValue) const
{
    m_reads << name;
    const int i = indexOf(name);
    return i < 0 ? defaultValue : m_values.at(i).second;
}

void PropertyBag::write(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    const int i = indexOf(name);
    if (defaultValue.isValid() && value == defaultValue) {
        if (i >= 0)
            m_values.removeAt(i);
        return;
    }
    if (i >= 0)
        m_values[i].second = value;
    else
        m_values.append({name, value});
}

bool PropertyBag::contains(const QString& name) const
{
    return indexOf(name) >= 0;
}

QStringList PropertyBag::names() const
{
    QStringList result;
    for (const auto& entry : m_values)
        result << entry.first;
    return result;
}

void PropertyBag::clear()
{
    m_values.clear();
    m_reads.clear();
}
