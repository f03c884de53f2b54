#pragma once
// PNG files of one colour made here, of any size: the rows are deflated one
// at a time, so a picture of gigabytes is made in little memory (a
// 15,000 x 15,000 one deflates to about 650 KB). The header may declare
// another size than the rows hold.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace png_support {

inline std::string BigEndian32(uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
          static_cast<char>(value)};
}

inline std::string Chunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return BigEndian32(static_cast<uint32_t>(data.size())) + body + BigEndian32(static_cast<uint32_t>(crc));
}

}  // namespace png_support

inline std::string SolidPng(uint32_t width, uint32_t height, uint32_t declaredWidth, uint32_t declaredHeight,
                            unsigned char r = 200, unsigned char g = 40, unsigned char b = 60) {
  std::vector<unsigned char> row(1 + size_t{width} * 3, 0);
  for (size_t x = 0; x < width; ++x) {
    row[1 + 3 * x] = r;
    row[2 + 3 * x] = g;
    row[3 + 3 * x] = b;
  }
  z_stream stream{};
  deflateInit(&stream, 9);
  std::string packed;
  std::vector<unsigned char> buffer(1 << 16);
  for (uint32_t y = 0; y <= height; ++y) {
    stream.next_in = row.data();
    stream.avail_in = y < height ? static_cast<uInt>(row.size()) : 0;
    do {
      stream.next_out = buffer.data();
      stream.avail_out = static_cast<uInt>(buffer.size());
      deflate(&stream, y < height ? Z_NO_FLUSH : Z_FINISH);
      packed.append(reinterpret_cast<char*>(buffer.data()), buffer.size() - stream.avail_out);
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  const std::string header = png_support::BigEndian32(declaredWidth) + png_support::BigEndian32(declaredHeight) +
                             std::string("\x08\x02\0\0\0", 5);
  return "\x89PNG\r\n\x1A\n" + png_support::Chunk("IHDR", header) + png_support::Chunk("IDAT", packed) +
         png_support::Chunk("IEND", "");
}
