// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

// The game writes its maps as PNG files that carry the level description in a
// chunk of its own ("w2lv" or "waLV"), placed between IHDR and PLTE. Standard
// decoders stop at such chunks ("w2lv" is not even a valid chunk name), so the
// bytes are cleaned in memory before they are decoded; the file is never
// written.
namespace PngChunks {

// True when `bytes` start with the PNG signature.
bool isPng(const QByteArray& bytes);

// Removes, in place, every chunk a decoder cannot be expected to accept: chunks
// whose type is not four ASCII letters, and ancillary chunks (first letter in
// lower case) that are not registered PNG chunks, such as the game's level
// chunks. Critical chunks and registered ancillary chunks (tRNS, gAMA, ...)
// stay untouched, CRCs included. The walk stops at IEND or at the first chunk
// that does not fit in the data (a truncated file stays as it is, for the
// decoder to refuse). Data that is not a PNG is left alone. Returns the
// number of chunks removed.
int stripForeignChunks(QByteArray& bytes);
// True for a chunk type (4 bytes) that stripForeignChunks() takes out.
bool isForeignType(const char* type);
// True for a chunk type (4 bytes) of letters and digits (the game's own
// "w2lv" has one): any other is damage, and nothing past it is read as a chunk.
bool isNamed(const char* type);

// The data of the first chunk, before IEND, whose type is one of `types`
// (four letters each, compared exactly); nullopt when there is none or the
// walk meets a chunk that does not fit in the data, or one not isNamed(),
// first.
std::optional<QByteArray> findChunk(const QByteArray& bytes, const QList<QByteArray>& types);

// `png` with one tEXt chunk per key and value (Latin-1; a key is 1 to 79
// characters) inserted right after IHDR; empty when `png` does not start
// with a signature and IHDR.
QByteArray withTextChunks(const QByteArray& png, const QList<QPair<QByteArray, QByteArray>>& texts);

} // namespace PngChunks
