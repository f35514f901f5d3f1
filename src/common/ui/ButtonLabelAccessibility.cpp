// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/ButtonLabelAccessibility.h"

#include "common/ui/ClickLabel.h"

#include <QAccessibleWidget>
#include <QTextDocumentFragment>

namespace {

class ButtonLabelInterface : public QAccessibleWidget {
public:
    explicit ButtonLabelInterface(ClickLabel* label)
        : QAccessibleWidget(label, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        QString result = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && result.isEmpty()) {
            const QString caption = label()->text();
            result = Qt::mightBeRichText(caption) ? QTextDocumentFragment::fromHtml(caption).toPlainText() : caption;
        }
        return result;
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && label()->isEnabled() && label()->isVisible())
            Q_EMIT label()->clicked();
        else
            QAccessibleWidget::doAction(actionName);
    }

    QStringList keyBindingsForAction(const QString& actionName) const override
    {
        if (actionName == pressAction())
            return {QStringLiteral("Space"), QStringLiteral("Return")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

private:
    ClickLabel* label() const { return static_cast<ClickLabel*>(widget()); }
};

QAccessibleInterface* buttonLabelFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("ClickLabel"))
        return nullptr;
    auto* label = qobject_cast<ClickLabel*>(object);
    return label && label->actsAsButton() ? new ButtonLabelInterface(label) : nullptr;
}

} // namespace

void ButtonLabelAccessibility::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(buttonLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
