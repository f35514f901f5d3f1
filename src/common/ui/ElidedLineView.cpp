// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/ElidedLineView.h"

#include <QDir>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

ElidedLineView::ElidedLineView(QLineEdit* edit, Qt::TextElideMode mode)
    : QLabel(edit)
    , m_edit(edit)
    , m_mode(mode)
{
    setObjectName(edit->objectName().isEmpty() ? QStringLiteral("elidedText") : edit->objectName() + "Elided");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(true);
    setTextFormat(Qt::PlainText);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, &ElidedLineView::update);
    update();
}

bool ElidedLineView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit) {
        switch (event->type()) {
        case QEvent::FocusIn: {
            // The focus that a window hands to its first control when it opens
            // is not the user starting to edit.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::OtherFocusReason &&
                reason != Qt::PopupFocusReason)
                m_editing = true;
            update();
            break;
        }
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                m_editing = false;
            update();
            break;
        }
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
            if (!m_editing) {
                m_editing = true;
                update();
            }
            break;
        case QEvent::Resize:
        case QEvent::FontChange:
        case QEvent::PaletteChange:
        case QEvent::EnabledChange:
            update();
            break;
        default:
            break;
        }
    }
    return QLabel::eventFilter(watched, event);
}

void ElidedLineView::update()
{
    const QString whole = m_edit->text();
    m_edit->setToolTip(QDir::toNativeSeparators(whole));
    // The text sits where the edit draws its own.
    QStyleOptionFrame option;
    option.initFrom(m_edit);
    option.rect = m_edit->rect();
    option.lineWidth = m_edit->hasFrame() ? m_edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    QRect area = m_edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, m_edit);
    area = area.marginsRemoved(m_edit->textMargins());
    constexpr int kSideMargin = 2; // as QLineEdit leaves beside its text
    setGeometry(area);
    setContentsMargins(kSideMargin, 0, kSideMargin, 0);
    setFont(m_edit->font());
    QPalette p = m_edit->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Base));
    p.setColor(QPalette::WindowText, p.color(QPalette::Text));
    setPalette(p);
    setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    const int room = area.width() - 2 * kSideMargin;
    const QString shown = fontMetrics().elidedText(whole, m_mode, qMax(0, room));
    setText(shown);
    // The edit shows its own text while the user edits it, or when it fits.
    setVisible(!m_editing && shown != whole);
}
