#pragma once

#include <QWidget>

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

    AppContext& context() const { return m_context; }

private:
    AppContext& m_context;
};
