#pragma once
// Every integer in the game's files is little-endian. Values are built from
// bytes here, never by casting a buffer to a struct.

#include <cstdint>
#include <string>

namespace wright {

inline std::uint16_t loadU16LE(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t loadU32LE(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t loadI32LE(const unsigned char* p) {
    return static_cast<std::int32_t>(loadU32LE(p));
}

inline void storeU16LE(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void storeU32LE(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline void storeI32LE(unsigned char* p, std::int32_t v) {
    storeU32LE(p, static_cast<std::uint32_t>(v));
}

// Appending forms, for building a file image in memory.
inline void appendU16LE(std::string& out, std::uint16_t v) {
    unsigned char b[2];
    storeU16LE(b, v);
    out.append(reinterpret_cast<const char*>(b), 2);
}

inline void appendU32LE(std::string& out, std::uint32_t v) {
    unsigned char b[4];
    storeU32LE(b, v);
    out.append(reinterpret_cast<const char*>(b), 4);
}

inline void appendI32LE(std::string& out, std::int32_t v) {
    appendU32LE(out, static_cast<std::uint32_t>(v));
}

}  // namespace wright
