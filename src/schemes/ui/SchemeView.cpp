// SPDX-License-Identifier: GPL-3.0-or-later
#include "schemes/ui/SchemeView.h"

#include "schemes/core/SchemeCompare.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget* makeTree(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(name);
    tree->setAccessibleName(accessibleName);
    tree->setRootIsDecorated(true);
    tree->setUniformRowHeights(true);
    tree->setAlternatingRowColors(true);
    tree->header()->setStretchLastSection(true);
    return tree;
}

QTreeWidgetItem* groupItem(QTreeWidget* tree, const QString& title)
{
    auto* item = new QTreeWidgetItem(tree, {title});
    QFont font = item->font(0);
    font.setBold(true);
    item->setFont(0, font);
    item->setFirstColumnSpanned(true);
    item->setExpanded(true);
    return item;
}

QString versionLine(const Scheme& scheme)
{
    if (!scheme.signature)
        return QStringLiteral("%1 bytes").arg(scheme.size);
    return QStringLiteral("version %1, %2 bytes").arg(scheme.version).arg(scheme.size);
}

void fillWeapons(QTreeWidgetItem* group, const QList<SchemeWeapon>& weapons)
{
    for (const SchemeWeapon& w : weapons) {
        new QTreeWidgetItem(group, {w.name, w.ammoText(), QString::number(w.power), QString::number(w.delay),
                                    QString::number(w.crateChance)});
    }
}

} // namespace

SchemeView::SchemeView(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("lblScheme"));
    m_heading->setWordWrap(true);
    QFont font = m_heading->font();
    font.setBold(true);
    m_heading->setFont(font);
    m_problems = new QLabel(this);
    m_problems->setObjectName(QStringLiteral("lblProblems"));
    m_problems->setWordWrap(true);
    m_problems->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_problems->setFocusPolicy(Qt::NoFocus);
    m_problems->hide();
    auto* splitter = new QSplitter(Qt::Vertical, this);
    m_settings = makeTree(QStringLiteral("tvwSettings"), QStringLiteral("Settings"), splitter);
    m_weapons = makeTree(QStringLiteral("tvwWeapons"), QStringLiteral("Weapons"), splitter);
    m_weapons->setHeaderLabels({QStringLiteral("Weapon"), QStringLiteral("Ammunition"), QStringLiteral("Power"),
                                QStringLiteral("Delay"), QStringLiteral("Crate chance")});
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(m_heading);
    layout->addWidget(m_problems);
    layout->addWidget(splitter, 1);
    clear(QString());
}

QString SchemeView::heading() const
{
    return m_heading->text();
}

void SchemeView::clear(const QString& hint)
{
    m_heading->setText(hint);
    m_problems->hide();
    m_settings->clear();
    m_settings->setColumnCount(2);
    m_settings->setHeaderLabels({QStringLiteral("Setting"), QStringLiteral("Value")});
    m_weapons->clear();
    m_weapons->show();
}

void SchemeView::showProblems(const QStringList& problems)
{
    m_problems->setText(problems.isEmpty() ? QString()
                                           : QStringLiteral("The game does not read this scheme as it is:\n- ") +
                                                 problems.join(QStringLiteral("\n- ")));
    m_problems->setVisible(!problems.isEmpty());
}

void SchemeView::showScheme(const QString& title, const Scheme& scheme)
{
    clear(title + QStringLiteral(" (") + versionLine(scheme) + QLatin1Char(')'));
    showProblems(scheme.problems);
    for (SchemeGroup group :
         {SchemeGroup::GameOptions, SchemeGroup::CratesAndObjects, SchemeGroup::SuddenDeath, SchemeGroup::Extended}) {
        QTreeWidgetItem* parent = nullptr;
        for (const QList<SchemeSetting>* list : {&scheme.options, &scheme.extended}) {
            for (const SchemeSetting& s : *list) {
                if (s.group != group)
                    continue;
                if (!parent)
                    parent = groupItem(m_settings, SchemeReader::groupTitle(group));
                new QTreeWidgetItem(parent, {s.label, s.stored ? s.text : s.text + QStringLiteral(" (default)")});
            }
        }
    }
    if (!scheme.weapons.isEmpty())
        fillWeapons(groupItem(m_weapons, QStringLiteral("Weapons")), scheme.weapons);
    if (!scheme.superWeapons.isEmpty())
        fillWeapons(groupItem(m_weapons, QStringLiteral("Super weapons")), scheme.superWeapons);
    m_settings->resizeColumnToContents(0);
    m_weapons->resizeColumnToContents(0);
}

void SchemeView::showComparison(const QString& leftTitle, const Scheme& left, const QString& rightTitle,
                                const Scheme& right)
{
    const QList<SchemeCompare::Difference> differences = SchemeCompare::differences(left, right);
    clear(differences.isEmpty()
              ? QStringLiteral("%1 and %2 have the same settings.").arg(leftTitle, rightTitle)
              : QStringLiteral("%1 and %2 differ in %3.")
                    .arg(leftTitle, rightTitle,
                         differences.size() == 1 ? QStringLiteral("1 setting")
                                                 : QStringLiteral("%1 settings").arg(differences.size())));
    QStringList problems;
    for (const QString& p : left.problems)
        problems << leftTitle + QStringLiteral(": ") + p;
    for (const QString& p : right.problems)
        problems << rightTitle + QStringLiteral(": ") + p;
    showProblems(problems);
    m_weapons->hide();
    m_settings->setHeaderLabels({QStringLiteral("Setting"), leftTitle, rightTitle});
    QTreeWidgetItem* parent = nullptr;
    for (const SchemeCompare::Difference& d : differences) {
        if (!parent || parent->text(0) != d.group)
            parent = groupItem(m_settings, d.group);
        new QTreeWidgetItem(parent, {d.label, d.left, d.right});
    }
    m_settings->resizeColumnToContents(0);
}
