// Reading BMP files through the platform's bitmap conversion into packed RGB.
#include "dib_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dib_layout.h"
#include "textures.h"

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(DibInfoHeader),
              "working header must match the platform's");

DibMessageBoxFn dibMessageBox = MessageBoxA;

namespace {

const char OutOfMemory[] = "Out of memory.";
const char ConversionError[] = "Image file conversion error.";
const char UnknownFormat[] = "Unknown DIB file format.";

void ShowReaderError(const char* text) {
  dibMessageBox(GetFocus(), text, "Error", MB_OK);
}

// The path may be as long as the platform allows, so the text is sized for it.
void ShowOpenFailure(const char* path) {
  static const char prefix[] = "Failed to open DIB file ";
  static const char suffix[] = ".\n";
  if (!path) path = "";
  const size_t pathLength = std::strlen(path);
  char* text = static_cast<char*>(std::malloc(sizeof prefix - 1 + pathLength + sizeof suffix));
  if (!text) {
    ShowReaderError(OutOfMemory);
    return;
  }
  std::memcpy(text, prefix, sizeof prefix - 1);
  std::memcpy(text + sizeof prefix - 1, path, pathLength);
  std::memcpy(text + sizeof prefix - 1 + pathLength, suffix, sizeof suffix);
  ShowReaderError(text);
  std::free(text);
}

const char* MessageFor(DibStatus status) {
  switch (status) {
    case DibStatus::UnknownFormat: return UnknownFormat;
    case DibStatus::TooLarge: return OutOfMemory;
    default: return ConversionError;
  }
}

// Everything a read holds, released in one place in a fixed order. A read from memory has no
// file, mapping or view of its own: only `bytes` and `fileSize`.
struct ReadState {
  HANDLE file = INVALID_HANDLE_VALUE;
  HANDLE mapping = nullptr;
  const unsigned char* view = nullptr;
  const unsigned char* bytes = nullptr;
  size_t fileSize = 0;
  HDC dc = nullptr;
  HBITMAP section = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  unsigned char* working = nullptr;
  unsigned char* streamCopy = nullptr;

  void Release() {
    if (dc) {
      if (previousBitmap) SelectObject(dc, previousBitmap);
      DeleteDC(dc);
    }
    if (section) DeleteObject(section);
    std::free(streamCopy);
    std::free(working);
    if (view) UnmapViewOfFile(view);
    if (mapping) CloseHandle(mapping);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

bool MapWholeFile(const char* path, ReadState& s) {
  s.file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (s.file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD low = GetFileSize(s.file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  // An empty file cannot be mapped at all; a file this process cannot address is no better.
  s.mapping = CreateFileMappingA(s.file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!s.mapping) return false;
  s.view = static_cast<const unsigned char*>(MapViewOfFile(s.mapping, FILE_MAP_READ, 0, 0, 0));
  if (!s.view) return false;
  if (high != 0) return false;
  s.bytes = s.view;
  s.fileSize = low;
  return true;
}

// Converts the file image into a new RgbImage, or names what went wrong.
RgbImage* Convert(ReadState& s, const char** failure) {
  DibLayout layout;
  const DibStatus status = ParseDib(s.bytes, s.fileSize, &layout);
  if (status != DibStatus::Ok) {
    *failure = MessageFor(status);
    return nullptr;
  }
  const int32_t width = layout.header.width;
  const int32_t height = layout.header.height;

  s.working = static_cast<unsigned char*>(std::malloc(DibWorkingInfoSize(layout)));
  if (!s.working) {
    *failure = OutOfMemory;
    return nullptr;
  }
  WriteDibWorkingInfo(layout, s.bytes, s.working);

  const unsigned char* source = s.bytes + layout.pixelOffset;
  if (layout.rleTailBytes != 0) {
    // NOTE: the run-length decoder is given the declared stream length, but a decoder that
    // reads past a broken stream must find line ends in our memory, not the mapping's end.
    s.streamCopy =
        static_cast<unsigned char*>(std::malloc(layout.pixelBytes + layout.rleTailBytes));
    if (!s.streamCopy) {
      *failure = OutOfMemory;
      return nullptr;
    }
    std::memcpy(s.streamCopy, source, layout.pixelBytes);
    std::memset(s.streamCopy + layout.pixelBytes, 0, layout.rleTailBytes);
    source = s.streamCopy;
  }

  s.dc = CreateCompatibleDC(nullptr);
  if (!s.dc) {
    *failure = OutOfMemory;
    return nullptr;
  }
  BITMAPINFO target{};
  const DibInfoHeader targetHeader = BgrSectionHeader(width, height);
  std::memcpy(&target.bmiHeader, &targetHeader, sizeof targetHeader);
  void* bits = nullptr;
  s.section = CreateDIBSection(s.dc, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!s.section || !bits) {
    *failure = OutOfMemory;
    return nullptr;
  }

  // NOTE: SetDIBits is documented to need a bitmap that no device context has selected, so the
  // section is converted first and selected only afterwards.
  const UINT rows = static_cast<UINT>(height < 0 ? -height : height);
  const int converted = SetDIBits(s.dc, s.section, 0, rows, source,
                                  reinterpret_cast<const BITMAPINFO*>(s.working), DIB_RGB_COLORS);
  if (converted <= 0) {
    *failure = ConversionError;
    return nullptr;
  }
  GdiFlush();
  s.previousBitmap = SelectObject(s.dc, s.section);
  if (!s.previousBitmap || s.previousBitmap == HGDI_ERROR) {
    s.previousBitmap = nullptr;
    *failure = OutOfMemory;
    return nullptr;
  }

  unsigned char* pixels = static_cast<unsigned char*>(std::malloc(layout.outputBytes));
  RgbImage* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
  if (!pixels || !image) {
    std::free(pixels);
    std::free(image);
    *failure = OutOfMemory;
    return nullptr;
  }
  RepackBgrSection(static_cast<const unsigned char*>(bits), width, height, pixels);
  image->width = width;
  image->height = height < 0 ? -height : height;
  image->pixels = pixels;
  return image;
}

}  // namespace

RgbImage* ReadDibFile(const char* path) {
  ReadState state;
  const char* failure = nullptr;
  RgbImage* image = nullptr;
  const bool mapped = path && MapWholeFile(path, state);
  if (mapped) image = Convert(state, &failure);
  state.Release();
  // Shown only once nothing of the file is held any more.
  if (!mapped) ShowOpenFailure(path);
  else if (!image) ShowReaderError(failure);
  return image;
}

RgbImage* ReadDibImage(const unsigned char* bytes, size_t size) {
  if (!bytes) return nullptr;
  ReadState state;
  state.bytes = bytes;
  state.fileSize = size;
  const char* failure = nullptr;
  RgbImage* image = Convert(state, &failure);
  state.Release();
  return image;
}

RgbImage* LoadTextureImage(const char* path) {
  if (!path) return nullptr;
  FILE* probe = std::fopen(path, "r");
  if (!probe) return nullptr;
  std::fclose(probe);
  return ReadDibFile(path);
}

void FreeRgbImage(RgbImage* image) {
  if (!image) return;
  std::free(image->pixels);
  std::free(image);
}
