// Draws the framework's pictures into the folder given as the only argument: the monitor picture
// with its mask (monitor.bmp), the three hot-corner marks (mark_default.bmp, mark_now.bmp,
// mark_never.bmp) and the framework's icon (morvane.ico). All are 16-colour images in the
// standard VGA palette, so they look the same at any display depth.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum Colour : uint8_t {
  Black = 0,
  Maroon = 1,
  Green = 2,
  Olive = 3,
  Navy = 4,
  Purple = 5,
  Teal = 6,
  Silver = 7,
  Grey = 8,
  Red = 9,
  Lime = 10,
  Yellow = 11,
  Blue = 12,
  Fuchsia = 13,
  Aqua = 14,
  White = 15
};

const uint8_t palette[16][3] = {  // red, green, blue
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

// A picture of palette indexes, top row first.
struct Canvas {
  int width, height;
  std::vector<uint8_t> pixels;
  Canvas(int w, int h, uint8_t fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}
  void Set(int x, int y, uint8_t c) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * width + x] = c;
  }
  uint8_t Get(int x, int y) const { return pixels[size_t(y) * width + x]; }
  // Fills [left, right) by [top, bottom).
  void Fill(int left, int top, int right, int bottom, uint8_t c) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) Set(x, y, c);
  }
  // A rectangle with corners rounded off by radius r.
  void FillRounded(int left, int top, int right, int bottom, int r, uint8_t c) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        int dx = x < left + r ? left + r - x : (x >= right - r ? x - (right - r - 1) : 0);
        int dy = y < top + r ? top + r - y : (y >= bottom - r ? y - (bottom - r - 1) : 0);
        if (dx * dx + dy * dy <= r * r) Set(x, y, c);
      }
  }
  void Disc(double cx, double cy, double r, uint8_t c) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        if (dx * dx + dy * dy <= r * r) Set(x, y, c);
      }
  }
  void Ring(double cx, double cy, double outer, double inner, uint8_t c) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = dx * dx + dy * dy;
        if (d <= outer * outer && d >= inner * inner) Set(x, y, c);
      }
  }
  // A line of the given thickness from (x0, y0) to (x1, y1).
  void Line(double x0, double y0, double x1, double y1, double thickness, uint8_t c) {
    double lx = x1 - x0, ly = y1 - y0, length2 = lx * lx + ly * ly;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        double px = x + 0.5 - x0, py = y + 0.5 - y0;
        double t = (px * lx + py * ly) / length2;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
        double dx = px - t * lx, dy = py - t * ly;
        if (dx * dx + dy * dy <= thickness * thickness / 4) Set(x, y, c);
      }
  }
  // A raised (or sunken) 3D edge just inside the rectangle.
  void Edge(int left, int top, int right, int bottom, bool raised) {
    uint8_t light = raised ? White : Grey, dark = raised ? Grey : White;
    Fill(left, top, right, top + 1, light);
    Fill(left, top, left + 1, bottom, light);
    Fill(left, bottom - 1, right, bottom, dark);
    Fill(right - 1, top, right, bottom, dark);
  }
};

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

int Stride4(int width) {
  return ((width * 4 + 31) / 32) * 4;
}
int Stride1(int width) {
  return ((width + 31) / 32) * 4;
}

// BITMAPINFOHEADER and the 16-entry colour table of a 4-bit image.
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, uint32_t imageSize) {
  Put32(out, 40);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put16(out, 1);
  Put16(out, 4);
  Put32(out, 0);
  Put32(out, imageSize);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 16);
  Put32(out, 0);
  for (const auto& entry : palette) {
    out.push_back(entry[2]);
    out.push_back(entry[1]);
    out.push_back(entry[0]);
    out.push_back(0);
  }
}

// Pixel rows of 4 bits each, bottom row first, padded to 4 bytes.
void PutPixels4(std::vector<uint8_t>& out, const Canvas& canvas) {
  int stride = Stride4(canvas.width);
  for (int y = canvas.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(size_t(stride), 0);
    for (int x = 0; x < canvas.width; ++x)
      row[size_t(x / 2)] |= uint8_t(canvas.Get(x, y) << (x % 2 ? 0 : 4));
    out.insert(out.end(), row.begin(), row.end());
  }
}

// The AND mask of an icon: 1 where the picture is transparent.
void PutMask1(std::vector<uint8_t>& out, const Canvas& opaque) {
  int stride = Stride1(opaque.width);
  for (int y = opaque.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(size_t(stride), 0);
    for (int x = 0; x < opaque.width; ++x)
      if (!opaque.Get(x, y)) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    std::fprintf(stderr, "make_framework_art: cannot write %s\n", path.c_str());
    std::exit(1);
  }
  std::fclose(file);
}

void WriteBitmap(const std::string& path, const Canvas& canvas) {
  uint32_t imageSize = uint32_t(Stride4(canvas.width) * canvas.height);
  uint32_t offset = 14 + 40 + 64;
  std::vector<uint8_t> out = {'B', 'M'};
  Put32(out, offset + imageSize);
  Put32(out, 0);
  Put32(out, offset);
  PutInfoHeader(out, canvas.width, canvas.height, imageSize);
  PutPixels4(out, canvas);
  WriteFile(path, out);
}

// One icon image: the picture and a map of its opaque pixels (non-zero = opaque).
struct IconImage {
  Canvas picture;
  Canvas opaque;
};

void WriteIcon(const std::string& path, const std::vector<IconImage>& images) {
  std::vector<std::vector<uint8_t>> bodies;
  for (const IconImage& image : images) {
    int w = image.picture.width, h = image.picture.height;
    std::vector<uint8_t> body;
    PutInfoHeader(body, w, 2 * h, uint32_t((Stride4(w) + Stride1(w)) * h));
    PutPixels4(body, image.picture);
    PutMask1(body, image.opaque);
    bodies.push_back(body);
  }
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, uint32_t(images.size()));
  uint32_t offset = uint32_t(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(uint8_t(images[i].picture.width));
    out.push_back(uint8_t(images[i].picture.height));
    out.push_back(16);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, uint32_t(bodies[i].size()));
    Put32(out, offset);
    offset += uint32_t(bodies[i].size());
  }
  for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
  WriteFile(path, out);
}

// The monitor's outline: body, neck and foot, in a 184 by 170 picture whose screen area is
// (16, 17) to (169, 130), the corners that the framework's geometry string names.
void DrawMonitorShape(Canvas& c, uint8_t body) {
  c.FillRounded(4, 4, 181, 145, 6, body);
  c.Fill(76, 144, 108, 153, body);
  c.FillRounded(48, 152, 136, 166, 5, body);
}

void DrawMonitorPicture(Canvas& c) {
  DrawMonitorShape(c, Grey);                    // dark rim around everything
  c.FillRounded(5, 5, 180, 144, 5, Silver);     // the cabinet
  c.Fill(77, 144, 107, 152, Silver);            // the neck
  c.FillRounded(49, 153, 135, 165, 4, Silver);  // the foot
  c.Fill(7, 6, 178, 7, White);                  // light from the top left
  c.Fill(6, 7, 7, 142, White);
  c.Fill(50, 154, 134, 155, White);
  c.Fill(77, 152, 107, 153, Grey);  // shadow where the neck meets the foot
  c.Fill(13, 14, 172, 133, Grey);   // sunken bezel
  c.Edge(13, 14, 172, 133, false);
  c.Fill(15, 16, 170, 131, Black);
  c.Fill(16, 17, 169, 130, Teal);   // the screen itself
  c.Disc(159.5, 138.5, 2.5, Lime);  // power light
  c.Fill(20, 137, 60, 139, Grey);   // badge
}

Canvas MonitorBitmap() {
  Canvas picture(184, 170, Black);
  DrawMonitorPicture(picture);
  Canvas mask(184, 170, White);
  DrawMonitorShape(mask, Black);
  // Picture on the left, mask on the right: AND with the mask, then XOR with the picture, leaves
  // the background wherever the mask is white and the picture black.
  Canvas both(368, 170, Black);
  for (int y = 0; y < 170; ++y)
    for (int x = 0; x < 184; ++x) {
      both.Set(x, y, picture.Get(x, y));
      both.Set(184 + x, y, mask.Get(x, y));
    }
  return both;
}

// A raised 24 by 22 button; the symbol goes on top.
Canvas MarkButton() {
  Canvas c(24, 22, Silver);
  c.Edge(0, 0, 24, 22, true);
  c.Fill(1, 20, 23, 21, Grey);
  c.Fill(22, 1, 23, 21, Grey);
  return c;
}

Canvas DefaultMark() {  // a dash, as the registry writes it
  Canvas c = MarkButton();
  c.Fill(6, 10, 18, 12, Black);
  return c;
}

Canvas NowMark() {  // a green tick: the saver starts at once
  Canvas c = MarkButton();
  c.Line(5.5, 11.5, 10, 16, 3, Green);
  c.Line(10, 16, 18.5, 5.5, 3, Green);
  return c;
}

Canvas NeverMark() {  // a red no-entry sign: the saver never starts
  Canvas c = MarkButton();
  c.Ring(12, 11, 8, 5.6, Red);
  c.Line(6.8, 5.8, 17.2, 16.2, 2.4, Red);
  return c;
}

// A small monitor with a glowing ball on its screen, scaled to size by size pixels.
IconImage MonitorIcon(int size) {
  double s = size / 32.0;
  auto at = [s](double v) { return int(v * s + 0.5); };
  IconImage image{Canvas(size, size, Black), Canvas(size, size, 0)};
  for (Canvas* c : {&image.picture, &image.opaque}) {
    bool shape = c == &image.opaque;
    c->FillRounded(at(1), at(3), at(31), at(25), at(2), shape ? 1 : Grey);
    c->Fill(at(13), at(25), at(19), at(28), shape ? 1 : Grey);
    c->FillRounded(at(7), at(27), at(25), at(31), at(1), shape ? 1 : Grey);
  }
  Canvas& p = image.picture;
  p.FillRounded(at(2), at(4), at(30), at(24), at(1), Silver);
  p.Fill(at(14), at(25), at(18), at(28), Silver);
  p.Fill(at(8), at(28), at(24), at(30), Silver);
  p.Fill(at(4), at(6), at(28), at(21), Black);
  p.Fill(at(5), at(7), at(27), at(20), Teal);
  p.Disc(18 * s, 12 * s, 4.5 * s, Yellow);
  p.Disc(17 * s, 11 * s, 2 * s, White);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_framework_art OUTPUT_FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  WriteBitmap(folder + "/monitor.bmp", MonitorBitmap());
  WriteBitmap(folder + "/mark_default.bmp", DefaultMark());
  WriteBitmap(folder + "/mark_now.bmp", NowMark());
  WriteBitmap(folder + "/mark_never.bmp", NeverMark());
  WriteIcon(folder + "/morvane.ico", {MonitorIcon(32), MonitorIcon(16)});
  return 0;
}
