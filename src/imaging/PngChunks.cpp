// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PngChunks.h"

#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace PngChunks {

namespace {

constexpr char signature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype signatureSize = 8;
constexpr qsizetype lengthSize = 4, typeSize = 4, crcSize = 4;
constexpr qsizetype frameSize = lengthSize + typeSize + crcSize;
// Lengths above 2^31 - 1 are invalid in PNG.
constexpr quint32 maxChunkLength = 0x7FFFFFFFu;

// Ancillary chunks registered for PNG, APNG and the PNG extensions; decoders
// either use them or skip them without complaint.
constexpr const char* registeredAncillary[] = {
    "bKGD", "cHRM", "cICP", "cLLi", "dSIG", "eXIf", "gAMA", "gIFg", "gIFt", "gIFx",
    "hIST", "iCCP", "iTXt", "mDCv", "oFFs", "pCAL", "pHYs", "sBIT", "sCAL", "sPLT",
    "sRGB", "sTER", "tEXt", "tIME", "tRNS", "zTXt", "acTL", "fcTL", "fdAT",
};

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isForeign(const char* type)
{
    if (!std::all_of(type, type + typeSize, isLetter))
        return true;
    const bool ancillary = (type[0] & 0x20) != 0;
    if (!ancillary)
        return false;
    return std::none_of(std::begin(registeredAncillary), std::end(registeredAncillary),
                        [type](const char* known) { return std::memcmp(known, type, typeSize) == 0; });
}

// Calls `visit(type, data, dataLength)` for each chunk up to and including
// IEND, until it returns false or a chunk does not fit in the data or is not
// isNamed().
template <class Visit> void walkChunks(const QByteArray& bytes, Visit visit)
{
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype at = signatureSize;
    while (size - at >= frameSize) {
        const quint32 length = qFromBigEndian<quint32>(data + at);
        if (length > maxChunkLength || qsizetype(length) > size - at - frameSize)
            return;
        const char* type = data + at + lengthSize;
        // A type of other bytes than letters and digits is damage: nothing
        // past it is a chunk.
        if (!isNamed(type))
            return;
        if (!visit(type, data + at + lengthSize + typeSize, qsizetype(length)) ||
            std::memcmp(type, "IEND", typeSize) == 0)
            return;
        at += frameSize + qsizetype(length);
    }
}

QByteArray bigEndian(quint32 value)
{
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian(value, out.data());
    return out;
}

} // namespace

bool isPng(const QByteArray& bytes)
{
    return bytes.size() >= signatureSize && std::memcmp(bytes.constData(), signature, signatureSize) == 0;
}

int stripForeignChunks(QByteArray& bytes)
{
    if (!isPng(bytes))
        return 0;
    char* data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype read = signatureSize;
    qsizetype write = signatureSize;
    int removed = 0;
    while (size - read >= frameSize) {
        const quint32 length = qFromBigEndian<quint32>(data + read);
        if (length > maxChunkLength || qsizetype(length) > size - read - frameSize)
            break; // truncated or damaged: leave the rest to the decoder
        const qsizetype chunkSize = frameSize + qsizetype(length);
        const char* type = data + read + lengthSize;
        const bool end = std::memcmp(type, "IEND", typeSize) == 0;
        if (isForeign(type)) {
            ++removed;
        } else {
            if (write != read)
                std::memmove(data + write, data + read, size_t(chunkSize));
            write += chunkSize;
        }
        read += chunkSize;
        if (end)
            break;
    }
    if (removed == 0)
        return 0;
    // Whatever follows (bytes after IEND, or a chunk cut short) moves along unchanged.
    if (read < size)
        std::memmove(data + write, data + read, size_t(size - read));
    bytes.truncate(write + (size - read));
    return removed;
}

bool isNamed(const char* type)
{
    return std::all_of(type, type + typeSize, [](char c) { return isLetter(c) || (c >= '0' && c <= '9'); });
}

bool isForeignType(const char* type)
{
    return isForeign(type);
}

std::optional<QByteArray> findChunk(const QByteArray& bytes, const QList<QByteArray>& types)
{
    std::optional<QByteArray> found;
    if (!isPng(bytes))
        return found;
    walkChunks(bytes, [&](const char* type, const char* data, qsizetype length) {
        for (const QByteArray& wanted : types) {
            if (wanted.size() == typeSize && std::memcmp(wanted.constData(), type, typeSize) == 0) {
                found = QByteArray(data, length);
                return false;
            }
        }
        return true;
    });
    return found;
}

QByteArray withTextChunks(const QByteArray& png, const QList<QPair<QByteArray, QByteArray>>& texts)
{
    constexpr qsizetype headerEnd = signatureSize + frameSize + 13;
    // The text goes after a well-formed IHDR only: a header declaring another
    // length would have the text land inside it.
    if (!isPng(png) || png.size() < headerEnd || png.mid(signatureSize + lengthSize, typeSize) != "IHDR" ||
        qFromBigEndian<quint32>(png.constData() + signatureSize) != 13)
        return {};
    QByteArray out = png.left(headerEnd);
    for (const auto& [key, value] : texts) {
        const QByteArray body = QByteArrayLiteral("tEXt") + key + '\0' + value;
        out += bigEndian(quint32(body.size() - typeSize)) + body +
               bigEndian(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))));
    }
    return out + png.mid(headerEnd);
}

} // namespace PngChunks
