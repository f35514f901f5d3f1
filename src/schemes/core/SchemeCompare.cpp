// SPDX-License-Identifier: GPL-3.0-or-later
#include "schemes/core/SchemeCompare.h"

namespace {

const QString kNone = QStringLiteral("—");

void compareSettings(const QList<SchemeSetting>& left, const QList<SchemeSetting>& right,
                     QList<SchemeCompare::Difference>* out)
{
    QList<bool> matched(right.size(), false);
    for (const SchemeSetting& l : left) {
        QString other = kNone;
        for (qsizetype i = 0; i < right.size(); ++i) {
            if (right[i].key == l.key) {
                other = right[i].text;
                matched[i] = true;
                break;
            }
        }
        if (other != l.text)
            out->append({SchemeReader::groupTitle(l.group), l.label, l.text, other});
    }
    for (qsizetype i = 0; i < right.size(); ++i) {
        if (!matched[i])
            out->append({SchemeReader::groupTitle(right[i].group), right[i].label, kNone, right[i].text});
    }
}

void compareWeapons(const QString& group, const QList<SchemeWeapon>& left, const QList<SchemeWeapon>& right,
                    QList<SchemeCompare::Difference>* out)
{
    const qsizetype count = qMax(left.size(), right.size());
    for (qsizetype i = 0; i < count; ++i) {
        const SchemeWeapon* l = i < left.size() ? &left[i] : nullptr;
        const SchemeWeapon* r = i < right.size() ? &right[i] : nullptr;
        const QString name = l ? l->name : r->name;
        auto field = [&](const QString& what, const QString& a, const QString& b) {
            const QString lt = l ? a : kNone;
            const QString rt = r ? b : kNone;
            if (lt != rt)
                out->append({group, name + QStringLiteral(": ") + what, lt, rt});
        };
        field(QStringLiteral("ammunition"), l ? l->ammoText() : QString(), r ? r->ammoText() : QString());
        field(QStringLiteral("power"), l ? QString::number(l->power) : QString(),
              r ? QString::number(r->power) : QString());
        field(QStringLiteral("delay"), l ? QString::number(l->delay) : QString(),
              r ? QString::number(r->delay) : QString());
        field(QStringLiteral("crate chance"), l ? QString::number(l->crateChance) : QString(),
              r ? QString::number(r->crateChance) : QString());
    }
}

} // namespace

namespace SchemeCompare {

QList<Difference> differences(const Scheme& left, const Scheme& right)
{
    QList<Difference> out;
    compareSettings(left.options, right.options, &out);
    compareWeapons(QStringLiteral("Weapons"), left.weapons, right.weapons, &out);
    compareWeapons(QStringLiteral("Super weapons"), left.superWeapons, right.superWeapons, &out);
    compareSettings(left.extended, right.extended, &out);
    return out;
}

} // namespace SchemeCompare
