// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FakePrompter.h"

static const char* kindName(FakePrompter::Kind kind)
{
    static const char* const names[] = {"message box", "input box", "file dialog", "save dialog", "folder dialog"};
    return names[int(kind)];
}

void FakePrompter::show(const Box& box)
{
    m_boxes << box;
    if (onBox)
        onBox(box);
}

bool FakePrompter::take(Scripted* out, const Box& box)
{
    const Kind kind = box.kind;
    show(box);
    if (m_script.isEmpty()) {
        m_problems << QStringLiteral("unexpected %1 \"%2\"").arg(QLatin1String(kindName(kind)), box.text);
        return false;
    }
    const Scripted next = m_script.takeFirst();
    if (next.kind != kind) {
        m_problems << QStringLiteral("%1 \"%2\" came where a %3 was scripted")
                          .arg(QLatin1String(kindName(kind)), box.text, QLatin1String(kindName(next.kind)));
        return false;
    }
    *out = next;
    return true;
}

Prompter::Answer FakePrompter::message(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    const Box box{Kind::Message, text, title, QString(), buttons, icon};
    if (buttons == Buttons::Ok) {
        show(box);
        return Answer::Ok;
    }
    Scripted s;
    return take(&s, box) && s.answer == Answer::Yes ? Answer::Yes : Answer::No;
}

QString FakePrompter::answer(const Box& box)
{
    Scripted s;
    return take(&s, box) ? s.text : QString();
}

QString FakePrompter::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    return answer({Kind::Input, prompt, title, defaultText});
}

QString FakePrompter::openFile(const QString& title, const QString& filter, const QString&)
{
    return answer({Kind::OpenFile, title, title, filter});
}

QString FakePrompter::saveFile(const QString& title, const QString& filter, const QString& initialFile)
{
    return answer({Kind::SaveFile, title, title, filter + QStringLiteral(" | ") + initialFile});
}

QString FakePrompter::chooseFolder(const QString& title, const QString& initialFolder)
{
    return answer({Kind::Folder, title, title, initialFolder});
}

QStringList FakePrompter::texts() const
{
    QStringList out;
    for (const Box& b : m_boxes)
        out << b.text;
    return out;
}

void FakePrompter::clear()
{
    m_problems = problems();
    m_boxes.clear();
    m_script.clear();
}

QStringList FakePrompter::problems() const
{
    QStringList out = m_problems;
    for (const Scripted& s : m_script)
        out << QStringLiteral("scripted %1 answer \"%2\" was never asked for")
                   .arg(QLatin1String(kindName(s.kind)), s.text);
    return out;
}
