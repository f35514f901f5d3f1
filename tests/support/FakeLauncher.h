#pragma once

#include "common/core/Launcher.h"

#include <QFileInfo>
#include <QStringList>
#include <optional>

// Records every start. By default a start succeeds exactly when the file
// exists, as the real launcher does; `result` forces an outcome.
class FakeLauncher : public Launcher {
public:
    Result start(const QString& programFile) override
    {
        started << programFile;
        if (forced)
            return *forced;
        return QFileInfo(programFile).isFile() ? Result::Started : Result::NotFound;
    }
    void force(Result r) { forced = r; }

    QStringList started;
    std::optional<Result> forced;
};
