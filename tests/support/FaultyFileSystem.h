// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/FileSystem.h"

// A file system that fails one kind of step on purpose while it is in place:
// a write stops halfway as on a full disk, or a flush, rename or delete is
// refused. Everything else goes to the real file system.
class FaultyFileSystem : public FileOps::FileSystem {
public:
    enum class Fault { None, DiskFull, Sync, Rename, Remove };
    explicit FaultyFileSystem(Fault fault)
        : m_fault(fault)
    {
        FileOps::setFileSystem(this);
    }
    ~FaultyFileSystem() override { FileOps::setFileSystem(nullptr); }

    qint64 write(QFile& file, const char* data, qint64 size) override
    {
        if (m_fault != Fault::DiskFull)
            return FileSystem::write(file, data, size);
        FileSystem::write(file, data, size / 2);
        return -1;
    }
    bool sync(QFile& file) override { return m_fault != Fault::Sync && FileSystem::sync(file); }
    bool rename(const QString& from, const QString& to) override
    {
        return m_fault != Fault::Rename && FileSystem::rename(from, to);
    }
    bool remove(const QString& path) override { return m_fault != Fault::Remove && FileSystem::remove(path); }

private:
    Fault m_fault;
};
