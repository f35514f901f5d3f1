#pragma once

#include <QString>
#include <functional>

// Starts program files as independent processes that the program never waits
// for or watches.
class Launcher {
public:
    enum class Result {
        Started,
        NotFound, // the file does not exist (or is not a file)
        NoWine,   // a Windows program on a system without `wine` on the PATH
        Failed,   // the system refused to start it
    };

    virtual ~Launcher() = default;

    // Start `programFile` detached, with a normal window, no arguments and no
    // working folder of its own.
    virtual Result start(const QString& programFile) = 0;

    static bool succeeded(Result r) { return r == Result::Started; }
};

// The real launcher. On a system other than Windows, a `.exe` file is handed
// to `wine`; other files are started directly.
class ProcessLauncher : public Launcher {
public:
    ProcessLauncher();

    Result start(const QString& programFile) override;

    // Where `wine` is looked up; tests replace it. Returns "" when not found.
    void setWineLocator(std::function<QString()> locate) { m_locateWine = std::move(locate); }

private:
    std::function<QString()> m_locateWine;
};
