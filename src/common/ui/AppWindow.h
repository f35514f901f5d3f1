// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>

class AppContext;

// Base of the program's windows. The application creates a window on first
// use and then calls formLoad(); closing the window runs formUnload() and
// destroys it. formUnload() may refuse the close by returning false.
class AppWindow : public QWidget {
    Q_OBJECT
public:
    explicit AppWindow(AppContext& context, QWidget* parent = nullptr);

    virtual void formLoad() {}

protected:
    virtual bool formUnload() { return true; }
    void closeEvent(QCloseEvent* event) override;
    // Enter or Return on a push button with the focus clicks it, as Space
    // does; Escape runs the window's Escape action, if it has one.
    void keyPressEvent(QKeyEvent* event) override;
    void setEscapeAction(std::function<void()> action) { m_escapeAction = std::move(action); }

    AppContext& context() const { return m_context; }

private:
    AppContext& m_context;
    std::function<void()> m_escapeAction;
};
