// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Every message box, input box and open-file dialog of the program goes
// through this interface. The program uses QtPrompter; tests script a fake
// that records each box and returns a prepared answer.
class Prompter {
public:
    enum class Buttons { Ok, YesNo };
    enum class Icon { None, Information, Question, Exclamation };
    enum class Answer { Ok, Yes, No };

    virtual ~Prompter() = default;

    // A modal message box. Only Answer::Yes counts as a yes.
    virtual Answer message(const QString& text, const QString& title, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None) = 0;

    // A modal one-line input box. Cancel gives the empty text.
    virtual QString input(const QString& prompt, const QString& title, const QString& defaultText = QString()) = 0;

    // An open-file dialog. `filter` is a Qt name filter list such as
    // "Any Executable (*.exe);;All files (*)". Cancel gives the empty text.
    virtual QString openFile(const QString& title, const QString& filter, const QString& initialFile = QString()) = 0;

    // A save-file dialog. It does not ask about replacing an existing file;
    // the caller asks when it matters. Cancel gives the empty text.
    virtual QString saveFile(const QString& title, const QString& filter, const QString& initialFile = QString()) = 0;

    // A dialog that picks an existing folder, starting in `initialFolder`.
    // Cancel gives the empty text.
    virtual QString chooseFolder(const QString& title, const QString& initialFolder = QString()) = 0;

    // Convenience: a box with only OK, the application title, no icon.
    void tell(const QString& text);
};

// Turns a filter written as "Description|pattern|Description|pattern" into the
// Qt form "Description (pattern);;...". A description that already names its
// pattern in parentheses is kept as it stands.
QString qtFileFilter(const QString& pipeFilter);
