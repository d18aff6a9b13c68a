// PNG writing without a compression library: the image data goes into stored
// (uncompressed) deflate blocks, which every PNG reader accepts.
#include "tests/e2e/png.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

namespace e2e {

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBig32(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(Bytes& out, const char type[4], const Bytes& body) {
  PutBig32(out, static_cast<uint32_t>(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored blocks (at most 65535 bytes each) with its Adler-32.
Bytes StoredZlib(const Bytes& raw) {
  Bytes out = {0x78, 0x01};
  size_t at = 0;
  do {
    size_t size = std::min<size_t>(65535, raw.size() - at);
    bool last = at + size == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(size));
    out.push_back(static_cast<uint8_t>(size >> 8));
    out.push_back(static_cast<uint8_t>(~size));
    out.push_back(static_cast<uint8_t>(~size >> 8));
    out.insert(out.end(), raw.begin() + at, raw.begin() + at + size);
    at += size;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
  PutBig32(out, (b << 16) | a);
  return out;
}

// rgb: top row first, 3 bytes a pixel.
bool WritePng(const std::string& path, int width, int height, const Bytes& rgb) {
  Bytes raw;
  raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    auto row = rgb.begin() + static_cast<ptrdiff_t>(y) * width * 3;
    raw.insert(raw.end(), row, row + width * 3);
  }
  Bytes header;
  PutBig32(header, static_cast<uint32_t>(width));
  PutBig32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
  Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", StoredZlib(raw));
  PutChunk(file, "IEND", {});
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}

}  // namespace

std::string SaveWindowPng(HWND window, const std::string& path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return "cannot read the window's position";
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return "the window has no size";
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT) != FALSE;
    SelectObject(memory, old);
  }
  Bytes rgb;
  if (copied) {
    GdiFlush();
    const auto* bgrx = static_cast<const uint8_t*>(bits);
    rgb.reserve(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
      rgb.insert(rgb.end(), {bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]});
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return "cannot copy the screen";
  return WritePng(path, width, height, rgb) ? "" : "cannot write " + path;
}

}  // namespace e2e
