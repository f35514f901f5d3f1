// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/Prompter.h"

// Passes every box on to another Prompter and knows how many of them are open
// at the moment, so that a timer can hold back while the user reads one.
class CountingPrompter : public Prompter {
public:
    explicit CountingPrompter(Prompter& inner)
        : m_inner(inner)
    {
    }

    int openBoxes() const { return m_open; }

    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon) override
    {
        const Open open(m_open);
        return m_inner.message(text, title, buttons, icon);
    }
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override
    {
        const Open open(m_open);
        return m_inner.input(prompt, title, defaultText);
    }
    QString openFile(const QString& title, const QString& filter, const QString& initialFile) override
    {
        const Open open(m_open);
        return m_inner.openFile(title, filter, initialFile);
    }
    QString saveFile(const QString& title, const QString& filter, const QString& initialFile) override
    {
        const Open open(m_open);
        return m_inner.saveFile(title, filter, initialFile);
    }
    QString chooseFolder(const QString& title, const QString& initialFolder) override
    {
        const Open open(m_open);
        return m_inner.chooseFolder(title, initialFolder);
    }

private:
    struct Open {
        explicit Open(int& count)
            : m_count(count)
        {
            ++m_count;
        }
        ~Open() { --m_count; }
        int& m_count;
    };

    Prompter& m_inner;
    int m_open = 0;
};
