// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class Prompter;
class SchemeStore;

// Export Bank and Import Bank: a scheme's speech sounds passed on as a zip
// archive, asking the user for the archive and the new scheme's name and
// telling what was taken and what was left out.
class SpeechBankSharing {
public:
    SpeechBankSharing(SchemeStore& schemes, Prompter& prompter);

    void exportScheme(const QString& scheme);
    // `beforeWrite` runs just before the new scheme is written, `imported`
    // with its name once it is there (before the user is told).
    void importBank(const std::function<void()>& beforeWrite, const std::function<void(const QString&)>& imported);

private:
    SchemeStore& m_schemes;
    Prompter& m_prompter;
};
