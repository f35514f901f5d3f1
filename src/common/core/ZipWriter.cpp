// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/core/ZipWriter.h"

#include "common/core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <zip.h>

struct ZipWriter::State {
    QString archivePath;
    zip_t* archive = nullptr;
    zip_error_t sinkError;
    std::unique_ptr<FileOps::SafeFile> out;
    QString error;      // what the caller reads
    QString sinkReason; // why the sink refused, in the system's words
    QSet<QString> folders;
    int entries = 0;
    bool finished = false;
    std::function<bool(double)> progress;
    bool cancelled = false;

    State() { zip_error_init(&sinkError); }
    ~State() { zip_error_fini(&sinkError); }

    bool fail(const QString& reason)
    {
        error = reason;
        return false;
    }

    QString libzipError() const
    {
        const QString text = archive ? QString::fromUtf8(zip_strerror(archive)) : QString();
        return sinkReason.isEmpty() ? text : sinkReason;
    }

    zip_int64_t refuse(int code, const QString& reason)
    {
        zip_error_set(&sinkError, code, 0);
        if (!reason.isEmpty())
            sinkReason = reason;
        return -1;
    }

    // libzip writes the archive through this sink: a SafeFile writes to a
    // temporary file beside the archive, syncs it and renames it on commit,
    // and removes it on rollback.
    zip_int64_t sink(void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_WRITABLE;
        case ZIP_SOURCE_STAT:
            // The archive is always written new: libzip takes a read error
            // "no such file" to mean that there is nothing to read.
            zip_error_set(&sinkError, ZIP_ER_READ, ENOENT);
            return -1;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&sinkError, data, length);
        case ZIP_SOURCE_FREE:
        case ZIP_SOURCE_REMOVE:
            return 0;
        case ZIP_SOURCE_BEGIN_WRITE:
            out = std::make_unique<FileOps::SafeFile>(archivePath);
            if (!out->open())
                return refuse(ZIP_ER_OPEN, out->errorString());
            return 0;
        case ZIP_SOURCE_WRITE: {
            if (!out->write(static_cast<const char*>(data), static_cast<qint64>(length)))
                return refuse(ZIP_ER_WRITE, out->errorString());
            return static_cast<zip_int64_t>(length);
        }
        case ZIP_SOURCE_SEEK_WRITE: {
            const zip_int64_t to = zip_source_seek_compute_offset(static_cast<zip_uint64_t>(out->device().pos()),
                                                                  static_cast<zip_uint64_t>(out->device().size()), data,
                                                                  length, &sinkError);
            if (to < 0)
                return -1;
            if (!out->device().seek(to))
                return refuse(ZIP_ER_SEEK, out->device().errorString());
            return 0;
        }
        case ZIP_SOURCE_TELL_WRITE:
            return out->device().pos();
        case ZIP_SOURCE_COMMIT_WRITE:
            if (!out->commit())
                return refuse(ZIP_ER_WRITE, out->errorString());
            out.reset();
            return 0;
        case ZIP_SOURCE_ROLLBACK_WRITE:
            out.reset(); // an uncommitted SafeFile removes its temporary file
            return 0;
        default:
            return refuse(ZIP_ER_OPNOTSUPP, QString());
        }
    }

    static zip_int64_t callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        return static_cast<State*>(state)->sink(data, length, command);
    }

    bool open()
    {
        zip_error_t openError;
        zip_error_init(&openError);
        zip_source_t* source = zip_source_function_create(&State::callback, this, &openError);
        if (source)
            archive = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &openError);
        if (!archive) {
            error = QString::fromUtf8(zip_error_strerror(&openError));
            if (source)
                zip_source_free(source);
        }
        zip_error_fini(&openError);
        return archive != nullptr;
    }

    bool ready()
    {
        if (finished)
            return fail(QStringLiteral("the archive is already written"));
        return archive != nullptr || fail(error.isEmpty() ? QStringLiteral("the archive could not be made") : error);
    }

    bool addFolderEntry(const QString& folder) // folder ends with '/'
    {
        if (folders.contains(folder))
            return true;
        if (zip_dir_add(archive, folder.toUtf8().constData(), ZIP_FL_ENC_UTF_8) < 0)
            return fail(QStringLiteral("the folder %1 could not be added: %2").arg(folder, libzipError()));
        folders.insert(folder);
        ++entries;
        return true;
    }

    // Adds a folder entry for every folder the entry lies in.
    bool addParents(const QString& entryName)
    {
        for (int slash = entryName.indexOf(u'/'); slash >= 0 && slash + 1 < entryName.size();
             slash = entryName.indexOf(u'/', slash + 1)) {
            if (!addFolderEntry(entryName.left(slash + 1)))
                return false;
        }
        return true;
    }

    bool addEntry(const QString& entryName, zip_source_t* source)
    {
        if (!source)
            return fail(QStringLiteral("%1 could not be added: %2").arg(entryName, libzipError()));
        if (zip_file_add(archive, entryName.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            return fail(QStringLiteral("%1 could not be added: %2").arg(entryName, libzipError()));
        }
        ++entries;
        return true;
    }

    bool checkFileName(const QString& entryName)
    {
        if (!isSafeEntryName(entryName) || entryName.endsWith(u'/'))
            return fail(QStringLiteral("\"%1\" is not a name a file may have in an archive").arg(entryName));
        return addParents(entryName);
    }
};

ZipWriter::ZipWriter(const QString& archivePath)
    : m(std::make_unique<State>())
{
    m->archivePath = archivePath;
    m->open();
}

ZipWriter::~ZipWriter()
{
    if (m->archive)
        zip_discard(m->archive); // never written: nothing reaches the disk
}

QString ZipWriter::errorString() const
{
    return m->error;
}

bool ZipWriter::isSafeEntryName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\'))
        return false;
    const QString body = name.endsWith(u'/') ? name.chopped(1) : name;
    const QStringList parts = body.split(u'/');
    for (const QString& part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    // "C:..." would be a drive on Windows.
    if (parts.first().size() >= 2 && parts.first().at(1) == u':')
        return false;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool ZipWriter::addFile(const QString& entryName, const QString& sourcePath)
{
    if (!m->ready() || !m->checkFileName(entryName))
        return false;
    if (!QFileInfo(sourcePath).isFile())
        return m->fail(QStringLiteral("the file %1 does not exist").arg(QDir::toNativeSeparators(sourcePath)));
    return m->addEntry(entryName, zip_source_file(m->archive, QFile::encodeName(sourcePath).constData(), 0, -1));
}

bool ZipWriter::addData(const QString& entryName, const QByteArray& data)
{
    if (!m->ready() || !m->checkFileName(entryName))
        return false;
    // libzip keeps the bytes until the archive is written: hand it its own copy.
    void* copy = data.isEmpty() ? nullptr : ::malloc(static_cast<size_t>(data.size()));
    if (!data.isEmpty() && !copy)
        return m->fail(QStringLiteral("out of memory"));
    if (copy)
        ::memcpy(copy, data.constData(), static_cast<size_t>(data.size()));
    zip_source_t* source = zip_source_buffer(m->archive, copy, static_cast<zip_uint64_t>(data.size()), 1);
    if (!source)
        ::free(copy);
    return m->addEntry(entryName, source);
}

bool ZipWriter::addFolder(const QString& folderName)
{
    if (!m->ready())
        return false;
    const QString folder = folderName.endsWith(u'/') ? folderName : folderName + u'/';
    if (!isSafeEntryName(folder))
        return m->fail(QStringLiteral("\"%1\" is not a name a folder may have in an archive").arg(folderName));
    return m->addParents(folder) && m->addFolderEntry(folder);
}

bool ZipWriter::commit()
{
    if (!m->ready())
        return false;
    m->finished = true;
    if (m->entries == 0) {
        // libzip removes an archive left empty instead of writing one; an
        // empty zip is just its end record.
        zip_discard(m->archive);
        m->archive = nullptr;
        QByteArray end("PK\x05\x06", 4);
        end.append(18, '\0');
        QString error;
        if (!FileOps::writeReplacing(m->archivePath, end, &error))
            return m->fail(error);
        return true;
    }
    if (m->progress) {
        zip_register_progress_callback_with_state(
            m->archive, 0.001,
            [](zip_t*, double written, void* state) {
                auto* s = static_cast<State*>(state);
                s->cancelled = s->cancelled || !s->progress(written);
            },
            nullptr, m.get());
        zip_register_cancel_callback_with_state(
            m->archive, [](zip_t*, void* state) { return static_cast<State*>(state)->cancelled ? 1 : 0; }, nullptr,
            m.get());
    }
    if (zip_close(m->archive) < 0) {
        m->fail(m->libzipError());
        zip_discard(m->archive);
        m->archive = nullptr;
        m->out.reset();
        return false;
    }
    m->archive = nullptr;
    return true;
}

void ZipWriter::setProgress(std::function<bool(double written)> progress)
{
    m->progress = std::move(progress);
}

bool ZipWriter::wasCancelled() const
{
    return m->cancelled;
}
