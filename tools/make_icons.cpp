// Build-time tool: draws the icons of the programs we ship into .ico files of 32-bit images with
// an alpha channel (and the mask that systems before XP look at), one image per size asked for.
//
//   make_icons <icon> <file.ico> <size>...
//
// <icon> is one of
//   glimmerbox       the scene: glowing balls of light in a dark room with a wooden floor
//   corners-active   the hot-corner agent at work: a screen whose top-left corner glows under
//                    the pointer
//   corners-paused   the agent paused: the same screen greyed, with a pause sign
// Exit code 0 on success; 2 with a message on stderr for bad arguments or a file not written.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Colour {
  double r, g, b, a;
};

Colour WithAlpha(Colour c, double a) {
  return {c.r, c.g, c.b, c.a * a};
}

Colour Mix(Colour from, Colour to, double t) {
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
          from.a + (to.a - from.a) * t};
}

// Shapes and shadings work in the unit square, (0, 0) top left, whatever the image's size, so
// that every size is drawn from the same design.
typedef std::function<bool(double x, double y)> Shape;
typedef std::function<Colour(double x, double y)> Shading;

Shading Flat(Colour c) {
  return [c](double, double) { return c; };
}

Shape RoundedBox(double left, double top, double right, double bottom, double radius) {
  return [=](double x, double y) {
    if (x < left || x > right || y < top || y > bottom) return false;
    double dx =
        x < left + radius ? left + radius - x : (x > right - radius ? x - right + radius : 0);
    double dy =
        y < top + radius ? top + radius - y : (y > bottom - radius ? y - bottom + radius : 0);
    return dx * dx + dy * dy <= radius * radius;
  };
}

Shape Box(double left, double top, double right, double bottom) {
  return RoundedBox(left, top, right, bottom, 0);
}

Shape Disc(double cx, double cy, double radius) {
  return [=](double x, double y) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
}

Shape Ellipse(double cx, double cy, double rx, double ry) {
  return [=](double x, double y) {
    double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1;
  };
}

// A polygon by its corners in order (even-odd rule).
Shape Polygon(std::vector<double> xy) {
  return [xy](double x, double y) {
    bool inside = false;
    size_t n = xy.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

// Light that fades from the centre out to radius: brightest in the middle, gone at the edge.
Shading Glow(double cx, double cy, double radius, Colour c) {
  return [=](double x, double y) {
    double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / radius;
    double fade = d >= 1 ? 0 : (1 - d) * (1 - d);
    return WithAlpha(c, fade);
  };
}

// A ball of light: white-hot in the middle, its colour towards the rim.
Shading Ball(double cx, double cy, double radius, Colour c) {
  return [=](double x, double y) {
    double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / radius;
    return Mix(Colour{1, 1, 0.95, 1}, c, d * 1.3);
  };
}

// Straight (not premultiplied) colour, as icons keep it.
class Canvas {
 public:
  explicit Canvas(int size) : size_(size), pixels_(size_t(size) * size, Colour{0, 0, 0, 0}) {}

  int size() const { return size_; }
  const Colour& At(int x, int y) const { return pixels_[size_t(y) * size_ + x]; }

  // Lays the shading over the picture where the shape is, its edges smoothed by 4 x 4 samples.
  void Paint(const Shape& shape, const Shading& shading) {
    const int samples = 4;
    for (int y = 0; y < size_; ++y)
      for (int x = 0; x < size_; ++x) {
        int inside = 0;
        for (int sy = 0; sy < samples; ++sy)
          for (int sx = 0; sx < samples; ++sx)
            if (shape((x + (sx + 0.5) / samples) / size_, (y + (sy + 0.5) / samples) / size_))
              ++inside;
        if (!inside) continue;
        Colour c = shading((x + 0.5) / size_, (y + 0.5) / size_);
        Over(pixels_[size_t(y) * size_ + x], WithAlpha(c, double(inside) / (samples * samples)));
      }
  }

 private:
  static void Over(Colour& under, const Colour& top) {
    double a = top.a + under.a * (1 - top.a);
    if (a <= 0) return;
    auto blend = [&](double t, double u) { return (t * top.a + u * under.a * (1 - top.a)) / a; };
    under = {blend(top.r, under.r), blend(top.g, under.g), blend(top.b, under.b), a};
  }

  int size_;
  std::vector<Colour> pixels_;
};

// The light-ball room: a dark room, a wooden floor, three balls of light and their glow on the
// floor.
void DrawScene(Canvas& c) {
  Shape tile = RoundedBox(0.02, 0.02, 0.98, 0.98, 0.14);
  c.Paint(tile, [](double, double y) {
    return Mix(Colour{0.16, 0.12, 0.30, 1}, Colour{0.05, 0.04, 0.12, 1}, y / 0.66);
  });
  auto floor = [tile](double x, double y) { return y >= 0.66 && tile(x, y); };
  c.Paint(floor, [](double, double y) {
    return Mix(Colour{0.40, 0.24, 0.10, 1}, Colour{0.62, 0.38, 0.16, 1}, (y - 0.66) / 0.32);
  });
  // The floor's boards run towards the back wall.
  for (double x : {0.18, 0.5, 0.82}) {
    double top = 0.5 + (x - 0.5) * 0.45;
    auto board = Polygon({top - 0.008, 0.66, top + 0.008, 0.66, x + 0.02, 0.98, x - 0.02, 0.98});
    c.Paint([board, tile](double px, double py) { return board(px, py) && tile(px, py); },
            Flat(Colour{0.26, 0.15, 0.06, 0.8}));
  }
  struct Light {
    double x, y, r;
    Colour colour;
  };
  const Light lights[] = {{0.36, 0.40, 0.15, {1.0, 0.80, 0.25, 1}},
                          {0.72, 0.26, 0.10, {0.35, 0.85, 1.0, 1}},
                          {0.68, 0.60, 0.11, {1.0, 0.35, 0.55, 1}}};
  for (const Light& l : lights) {
    auto patch = Ellipse(l.x, 0.84, l.r * 2.2, 0.07);
    c.Paint([patch, tile](double x, double y) { return patch(x, y) && tile(x, y); },
            Glow(l.x, 0.84, l.r * 2.2, WithAlpha(l.colour, 0.75)));
  }
  for (const Light& l : lights) {
    c.Paint(Disc(l.x, l.y, l.r * 2.1), Glow(l.x, l.y, l.r * 2.1, WithAlpha(l.colour, 0.55)));
    c.Paint(Disc(l.x, l.y, l.r), Ball(l.x, l.y, l.r, l.colour));
  }
}

// The pointer's arrow with its tip at (x, y), size units tall.
Shape Arrow(double x, double y, double size) {
  std::vector<double> outline = {0,   0,    0,    0.78, 0.2,  0.6,  0.33,
                                 0.9, 0.45, 0.84, 0.32, 0.56, 0.56, 0.56};
  for (size_t i = 0; i < outline.size(); i += 2) {
    outline[i] = x + outline[i] * size;
    outline[i + 1] = y + outline[i + 1] * size;
  }
  return Polygon(outline);
}

// A screen on its stand: the frame, the picture, the stand.
void DrawScreen(Canvas& c, Colour frame, Colour top, Colour bottom) {
  c.Paint(Box(0.42, 0.80, 0.58, 0.92), Flat(frame));
  c.Paint(RoundedBox(0.26, 0.88, 0.74, 0.97, 0.03), Flat(frame));
  c.Paint(RoundedBox(0.02, 0.08, 0.98, 0.82, 0.08), Flat(frame));
  c.Paint(Box(0.09, 0.15, 0.91, 0.75),
          [=](double, double y) { return Mix(top, bottom, (y - 0.15) / 0.6); });
}

void DrawCornersActive(Canvas& c) {
  DrawScreen(c, Colour{0.25, 0.27, 0.32, 1}, Colour{0.20, 0.45, 0.85, 1},
             Colour{0.08, 0.20, 0.50, 1});
  // The hot corner glows where the pointer rests.
  Shape screen = Box(0.09, 0.15, 0.91, 0.75);
  c.Paint(screen, Glow(0.09, 0.15, 0.55, Colour{1.0, 0.62, 0.10, 1}));
  c.Paint([screen](double x, double y) { return screen(x, y) && Disc(0.09, 0.15, 0.2)(x, y); },
          Flat(Colour{1.0, 0.85, 0.30, 1}));
  c.Paint(Arrow(0.22, 0.26, 0.5), Flat(Colour{0.05, 0.05, 0.05, 1}));
  c.Paint(Arrow(0.245, 0.31, 0.4), Flat(Colour{1, 1, 1, 1}));
}

void DrawCornersPaused(Canvas& c) {
  DrawScreen(c, Colour{0.42, 0.42, 0.44, 1}, Colour{0.62, 0.63, 0.66, 1},
             Colour{0.46, 0.47, 0.50, 1});
  c.Paint(Arrow(0.22, 0.26, 0.5), Flat(Colour{0.30, 0.30, 0.32, 1}));
  c.Paint(Arrow(0.245, 0.31, 0.4), Flat(Colour{0.85, 0.85, 0.86, 1}));
  // The pause sign over the screen's lower right.
  c.Paint(Disc(0.70, 0.62, 0.30), Flat(Colour{0.95, 0.95, 0.95, 1}));
  c.Paint(Disc(0.70, 0.62, 0.26), Flat(Colour{0.85, 0.45, 0.05, 1}));
  c.Paint(Box(0.60, 0.49, 0.67, 0.75), Flat(Colour{1, 1, 1, 1}));
  c.Paint(Box(0.73, 0.49, 0.80, 0.75), Flat(Colour{1, 1, 1, 1}));
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

uint8_t Byte(double v) {
  return uint8_t(std::lround((v < 0 ? 0 : (v > 1 ? 1 : v)) * 255));
}

// One image of the file: its header (twice the height: picture and mask), the 32-bit pixels
// bottom row first, then the 1-bit mask, set where the picture is clear.
std::vector<uint8_t> IconImage(const Canvas& c) {
  int n = c.size(), maskStride = ((n + 31) / 32) * 4;
  std::vector<uint8_t> out;
  Put32(out, 40);
  Put32(out, uint32_t(n));
  Put32(out, uint32_t(2 * n));
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, uint32_t((n * 4 + maskStride) * n));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int y = n - 1; y >= 0; --y)
    for (int x = 0; x < n; ++x) {
      const Colour& p = c.At(x, y);
      uint8_t alpha = Byte(p.a);
      out.push_back(alpha ? Byte(p.b) : 0);
      out.push_back(alpha ? Byte(p.g) : 0);
      out.push_back(alpha ? Byte(p.r) : 0);
      out.push_back(alpha);
    }
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(size_t(maskStride), 0);
    for (int x = 0; x < n; ++x)
      if (Byte(c.At(x, y).a) < 128) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<uint8_t> IconFile(const std::vector<Canvas>& images) {
  std::vector<std::vector<uint8_t>> bodies;
  for (const Canvas& c : images) bodies.push_back(IconImage(c));
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, uint32_t(images.size()));
  uint32_t offset = uint32_t(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(uint8_t(images[i].size()));  // 256 is written as 0
    out.push_back(uint8_t(images[i].size()));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, uint32_t(bodies[i].size()));
    Put32(out, offset);
    offset += uint32_t(bodies[i].size());
  }
  for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
  return out;
}

int Usage(const char* why) {
  std::fprintf(stderr,
               "make_icons: %s\nusage: make_icons glimmerbox|corners-active|corners-paused "
               "FILE.ico SIZE...\n",
               why);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Usage("too few arguments");
  const struct {
    const char* name;
    void (*draw)(Canvas&);
  } icons[] = {{"glimmerbox", DrawScene},
               {"corners-active", DrawCornersActive},
               {"corners-paused", DrawCornersPaused}};
  void (*draw)(Canvas&) = nullptr;
  for (const auto& icon : icons)
    if (std::strcmp(icon.name, argv[1]) == 0) draw = icon.draw;
  if (!draw) return Usage("unknown icon");
  std::vector<Canvas> images;
  for (int i = 3; i < argc; ++i) {
    char* end = nullptr;
    long size = std::strtol(argv[i], &end, 10);
    if (!end || *end || size < 1 || size > 256) return Usage("a size is 1 to 256 pixels");
    images.emplace_back(int(size));
    draw(images.back());
  }
  std::vector<uint8_t> bytes = IconFile(images);
  FILE* file = std::fopen(argv[2], "wb");
  bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (file && std::fclose(file) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "make_icons: cannot write %s\n", argv[2]);
    return 2;
  }
  return 0;
}
