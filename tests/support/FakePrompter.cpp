#include "support/FakePrompter.h"

static const char* kindName(FakePrompter::Kind kind)
{
    switch (kind) {
    case FakePrompter::Kind::Message:
        return "message box";
    case FakePrompter::Kind::Input:
        return "input box";
    case FakePrompter::Kind::OpenFile:
        return "file dialog";
    case FakePrompter::Kind::SaveFile:
        return "save dialog";
    case FakePrompter::Kind::Folder:
        return "folder dialog";
    }
    return "?";
}

void FakePrompter::show(const Box& box)
{
    m_boxes << box;
    if (onBox)
        onBox(box);
}

bool FakePrompter::take(Kind kind, Scripted* out, const Box& box)
{
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
    if (!take(Kind::Message, &s, box))
        return Answer::No;
    return s.answer == Answer::Yes ? Answer::Yes : Answer::No;
}

QString FakePrompter::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    const Box box{Kind::Input, prompt, title, defaultText};
    Scripted s;
    return take(Kind::Input, &s, box) ? s.text : QString();
}

QString FakePrompter::openFile(const QString& title, const QString& filter, const QString& initialFile)
{
    Q_UNUSED(initialFile);
    const Box box{Kind::OpenFile, title, title, filter};
    Scripted s;
    return take(Kind::OpenFile, &s, box) ? s.text : QString();
}

QString FakePrompter::saveFile(const QString& title, const QString& filter, const QString& initialFile)
{
    const Box box{Kind::SaveFile, title, title, filter + QStringLiteral(" | ") + initialFile};
    Scripted s;
    return take(Kind::SaveFile, &s, box) ? s.text : QString();
}

QString FakePrompter::chooseFolder(const QString& title, const QString& initialFolder)
{
    const Box box{Kind::Folder, title, title, initialFolder};
    Scripted s;
    return take(Kind::Folder, &s, box) ? s.text : QString();
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
    // Forgets the boxes seen so far, but not what went wrong with them: an
    // unexpected box or an answer nobody asked for still fails the test.
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
