#pragma once

#include <cstdint>

// The remote access records in their first published ANSI form. mingw's ras.h declares only the
// newest one, which older systems refuse, so the layout is spelt out here as the SDK packs it.
#pragma pack(push, 4)

struct RasConnA
{
    std::uint32_t dwSize;
    void *hrasconn;
    char szEntryName[256 + 1];
    char szDeviceType[16 + 1];
    char szDeviceName[128 + 1];
};

struct RasConnStatusA
{
    std::uint32_t dwSize;
    std::uint32_t rasconnstate;
    std::uint32_t dwError;
    char szDeviceType[16 + 1];
    char szDeviceName[128 + 1];
};

#pragma pack(pop)

// The service tells the record version by its size; with natural alignment the 64-bit
// connection record would be 424 bytes, a size no version has.
static_assert(sizeof(RasConnA) == (sizeof(void *) == 4 ? 412 : 416));
static_assert(sizeof(RasConnStatusA) == 160);
