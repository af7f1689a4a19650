// Builds scene files byte by byte from the file layout, as a user's old files would be.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace vorn::test {

class SceneBytes {
  public:
    std::vector<std::uint8_t> bytes;

    // 52-byte header.
    explicit SceneBytes(int objectCount, float zoom = 50, int turnH = 27, int turnV = 49) {
        put32(0x12345678);
        const char tag[] = "\r\n[ Vorn3d objects. ]\r\n";
        bytes.push_back(23);
        bytes.insert(bytes.end(), tag, tag + 23);
        put32(0);
        put32(static_cast<std::uint32_t>(objectCount));
        putF(zoom);
        putF(zoom);
        putF(zoom);
        bytes.push_back(static_cast<std::uint8_t>(turnH));
        bytes.push_back(static_cast<std::uint8_t>(turnV));
        bytes.push_back(0);
        bytes.push_back(0);
    }

    // A 392-byte record header; returns its offset so a test can patch fields.
    std::size_t header(int type, const std::string& cp1251Name, int vertexCount, int faceCount,
                       int partCount, double param2 = 0, unsigned color = 0) {
        const std::size_t at = bytes.size();
        bytes.resize(at + 392, 0);
        bytes[at] = static_cast<std::uint8_t>(type);
        bytes[at + 1] = static_cast<std::uint8_t>(cp1251Name.size());
        std::memcpy(&bytes[at + 2], cp1251Name.data(), cp1251Name.size());
        patchF64(at + 128, param2);
        bytes[at + 272] = 1; // visible
        std::memcpy(&bytes[at + 276], &color, 4);
        const auto v = static_cast<std::int16_t>(vertexCount);
        const auto f = static_cast<std::int16_t>(faceCount);
        std::memcpy(&bytes[at + 384], &v, 2);
        std::memcpy(&bytes[at + 386], &f, 2);
        bytes[at + 388] = static_cast<std::uint8_t>(partCount);
        return at;
    }
    void vertex(float x, float y, float z) {
        putF(x);
        putF(y);
        putF(z);
    }
    void face(int a, int b, int c, float area = 0) {
        for (int k = 0; k < 4; ++k)
            putF(0);
        putF(area);
        put16(a);
        put16(b);
        put16(c);
        put16(0);
    }
    // A part record with a formula and a system domain.
    void textPart(const std::string& text, const std::string& domain) {
        const std::size_t at = bytes.size();
        bytes.resize(at + 428, 0);
        bytes[at] = static_cast<std::uint8_t>(text.size());
        std::memcpy(&bytes[at + 1], text.data(), text.size());
        bytes[at + 101] = 1;
        bytes[at + 104] = static_cast<std::uint8_t>(domain.size());
        std::memcpy(&bytes[at + 105], domain.data(), domain.size());
    }
    // A part record with a polygon domain of the points (k, k), k = 1..pointCount.
    std::size_t polygonPart(int pointCount) {
        const std::size_t at = bytes.size();
        bytes.resize(at + 428, 0);
        bytes[at + 104] = static_cast<std::uint8_t>(pointCount);
        for (int k = 1; k <= pointCount && k <= 40; ++k) {
            patchF32(at + 108 + 8 * (k - 1), static_cast<float>(k));
            patchF32(at + 112 + 8 * (k - 1), static_cast<float>(k));
        }
        return at;
    }
    void patchF64(std::size_t at, double v) { std::memcpy(&bytes[at], &v, 8); }
    void patchF32(std::size_t at, float v) { std::memcpy(&bytes[at], &v, 4); }
    void patch32(std::size_t at, std::int32_t v) { std::memcpy(&bytes[at], &v, 4); }

    std::string save(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }

  private:
    void put32(std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    }
    void put16(int v) {
        const auto u = static_cast<std::uint16_t>(v);
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    void putF(float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        put32(u);
    }
};

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace vorn::test
