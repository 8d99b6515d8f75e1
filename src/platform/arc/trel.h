// The archive library: reads ".quor" archives and hands out their entries by
// number. Only the archive driver (clsQuorDriver) calls it.
//
// A ".quor" archive is a ZIP file of stored or deflated entries. Its first
// entry is the file list (CP932 text, one key per line, every line ending in
// CR LF; line 0 names the list itself) and entry i is the file that line i
// names. Entries are addressed by their position only; the names inside the
// ZIP are informational.
//
// An archive registered under base id b serves ids b, b + 1, ... for its
// entries 0, 1, ...; an id belongs to the registered archive with the greatest
// base not above it. Picture entries (PNG, BMP, JPEG) are decoded when drawn.
//
// Every function returns 0 on success and -1 on failure unless said
// otherwise. The registered archives are one process-wide table, guarded by a
// lock, so the functions may be called from any thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/picture.h"

namespace zelk {

// Prepares the library for the given number of archives, forgetting any
// archive registered before. Called once before any other function.
std::int32_t InitializeTrel(std::int32_t archiveCount);

// Closes every archive and releases everything; the library is unusable until
// the next InitializeTrel.
std::int32_t TerminateTrel();

// Opens the archive at `path` (a file-system path) and registers it under
// `baseId`; an archive registered under the same base before is replaced. A
// file that is missing, no intact ZIP, or states sizes that cannot be true
// (see ZipReader::Open) is refused; for the last, `why` (when given) says
// which, naming the archive and the entry.
std::int32_t Trel_SetArchiveName(const char* path, std::int32_t baseId, std::string* why = nullptr);

// 1 while the library is initialised, else 0.
std::int32_t Trel_OK();

// Size in bytes of the entry's data; -1 for an unknown entry.
std::int32_t Trel_GetDataSize(std::int32_t id);

// Copies the first `size` bytes of the entry's data to `destination`; a size
// above the entry's size is refused before anything is written.
std::int32_t Trel_GetMemory(std::int32_t id, void* destination, std::int32_t size);

// The size of a picture entry. Refused for an entry that isn't a picture.
std::int32_t Trel_GetGraphicSize(std::int32_t id, std::int32_t& width, std::int32_t& height);

// Draws the picture entry into a colour surface with its top-left corner at
// x, y (Direct: at 0, 0); what falls outside the surface is cut off.
std::int32_t Trel_LoadGraphic(std::int32_t id, const PixelTarget& surface, std::int32_t x,
                              std::int32_t y);
std::int32_t Trel_LoadGraphic_Direct(std::int32_t id, const PixelTarget& surface);

// Draws the picture entry's transparency mask into a 1-byte map likewise: the
// alpha channel of a PNG that has one, else the picture's grey level.
std::int32_t Trel_LoadMask(std::int32_t id, const PixelTarget& map, std::int32_t x, std::int32_t y);
std::int32_t Trel_LoadMask_Direct(std::int32_t id, const PixelTarget& map);

}  // namespace zelk
