// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Prompter.h"

#include <QList>
#include <QString>
#include <functional>

// A scripted Prompter. Every box is recorded; boxes with only OK need no
// script, every other box takes the next scripted answer, which must be of the
// box's kind. A box without a scripted answer is recorded as unexpected (the
// test fails in `verify()`) and gets the cancel answer, so that nothing blocks.
class FakePrompter : public Prompter {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder };

    struct Box {
        Kind kind;
        QString text;  // message text or input prompt; dialog title for the file and folder dialogs
        QString title; // title for Message and Input
        QString extra; // input default, open-file filter, or the folder dialog's first folder
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
    };

    // Scripted answers, taken in order.
    void answerYes() { m_script.append({Kind::Message, QString(), Answer::Yes}); }
    void answerNo() { m_script.append({Kind::Message, QString(), Answer::No}); }
    void answerInput(const QString& text) { m_script.append({Kind::Input, text, Answer::Ok}); }
    void answerFile(const QString& path) { m_script.append({Kind::OpenFile, path, Answer::Ok}); }
    void answerSaveFile(const QString& path) { m_script.append({Kind::SaveFile, path, Answer::Ok}); }
    void answerFolder(const QString& path) { m_script.append({Kind::Folder, path, Answer::Ok}); }

    // Called while a box is "open", before its answer is returned.
    std::function<void(const Box&)> onBox;

    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter, const QString& initialFile) override;
    QString saveFile(const QString& title, const QString& filter, const QString& initialFile) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;

    const QList<Box>& boxes() const { return m_boxes; }
    QStringList texts() const; // the text of every box shown, in order
    // Forgets the boxes shown so far; problems found so far are kept.
    void clear();

    // Failures so far: unexpected boxes, answers of the wrong kind, and
    // scripted answers that no box took.
    QStringList problems() const;

private:
    struct Scripted {
        Kind kind;
        QString text;
        Answer answer;
    };
    // Records the box and lets onBox see it; take() also takes its scripted
    // answer, answer() the text of that answer ("" when there is none).
    void show(const Box& box);
    bool take(Scripted* out, const Box& box);
    QString answer(const Box& box);

    QList<Box> m_boxes;
    QList<Scripted> m_script;
    QStringList m_problems;
};

// QVERIFY-style check that every box was expected and every answer used.
#define VERIFY_PROMPTER(p)                                                                                             \
    do {                                                                                                               \
        const QStringList problems_ = (p).problems();                                                                  \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));                               \
    } while (false)
