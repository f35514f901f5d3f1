// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What the fuzz targets share. Each target defines
//
//     extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
//
// which must return 0 and must not keep state from one input to the next
// beyond caches the program keeps anyway.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace FuzzSupport {

// The input as bytes (copied).
QByteArray bytes(const uint8_t* data, size_t size);

// A folder of this process's own, removed when the process ends: every file a
// target writes goes in here and nowhere else.
const QString& scratchFolder();

// Writes `bytes` to `name` inside the scratch folder (replacing what was
// there); the file's full path.
QString writeScratchFile(const QString& name, const QByteArray& bytes);

// Stops the process with a message when a property every input must keep is
// broken: the fuzzer reports it as a crash, with the input.
void require(bool condition, const char* what);

} // namespace FuzzSupport
