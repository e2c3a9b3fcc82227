// Draws the scene's three texture pictures and writes them as 24-bit BMP files.
//   make_textures OUTDIR   writes OUTDIR/wood.bmp, OUTDIR/wood2.bmp and OUTDIR/plasma.bmp
// Every picture comes from fixed seeds, so each build writes the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Rgb {
  double r, g, b;
};

struct Picture {
  int width;
  int height;
  std::vector<Rgb> pixels;  // top row first, as drawn

  Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, Rgb{0, 0, 0}) {}
  Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

double Clamp01(double v) {
  return v < 0 ? 0 : (v > 1 ? 1 : v);
}
double Mix(double a, double b, double t) {
  return a + (b - a) * t;
}
Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}
Rgb Scale(const Rgb& c, double k) {
  return {c.r * k, c.g * k, c.b * k};
}
double SmoothStep(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return h;
}

double Lattice(int x, int y, uint32_t seed) {
  return (Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) & 0xFFFFFF) /
         double(0xFFFFFF);
}

int Wrap(int v, int period) {
  return ((v % period) + period) % period;
}

// Value noise on a lattice that repeats every periodX by periodY cells, so pictures tile
// seamlessly.
double TiledNoise(double x, double y, int periodX, int periodY, uint32_t seed) {
  const int x0 = static_cast<int>(std::floor(x));
  const int y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const int ax = Wrap(x0, periodX), bx = Wrap(x0 + 1, periodX);
  const int ay = Wrap(y0, periodY), by = Wrap(y0 + 1, periodY);
  const double top = Mix(Lattice(ax, ay, seed), Lattice(bx, ay, seed), sx);
  const double bottom = Mix(Lattice(ax, by, seed), Lattice(bx, by, seed), sx);
  return Mix(top, bottom, sy);
}

// Several octaves; u and v run over 0..1 for one tile, the base lattice has cellsX by cellsY cells.
double TiledFractal(double u, double v, int cellsX, int cellsY, int octaves, uint32_t seed) {
  double sum = 0, weight = 0, amplitude = 1;
  for (int o = 0; o < octaves; ++o) {
    const int px = cellsX << o, py = cellsY << o;
    sum += amplitude * TiledNoise(u * px, v * py, px, py, seed + 101u * o);
    weight += amplitude;
    amplitude *= 0.5;
  }
  return sum / weight;
}

// One board of a wood species. `along` runs with the grain over 0..1 of the tile (so the board
// repeats seamlessly), `across` over 0..1 of the board's width.
struct Species {
  Rgb early;  // the light wood between rings
  Rgb late;   // the dark ring wood
  double ringsPerBoard;
  double ringWobble;
  double streakStrength;
  double cathedral;  // 0: boards sawn far from the log's heart, straight lines; 1: long arches
};

Rgb BoardColour(const Species& s, double along, double across, uint32_t seed) {
  // Each board is a slice through a log. The log's axis lies beside or under the board and
  // slants against it, so the rings open into long arches where the cut nears the axis.
  const double centre = -0.4 + 1.1 * Lattice(1, 0, seed);
  const double slant = s.cathedral * 1.6 * (Lattice(4, 0, seed) - 0.5);
  const double depth =
      0.15 + 0.45 * Lattice(2, 0, seed) + (1 - s.cathedral) + slant * (along - 0.25);
  const double wobble = s.ringWobble * (TiledFractal(along, across * 0.25, 3, 1, 4, seed) - 0.5);
  const double dx = (across - centre) * 1.0;
  const double radius = std::sqrt(dx * dx + depth * depth) + wobble;
  const double ring = radius * s.ringsPerBoard;
  const double phase = ring - std::floor(ring);
  // Latewood: a dark band that ends sharply and fades back to earlywood across the ring.
  const double late = SmoothStep(0.45, 0.9, phase) * (1 - SmoothStep(0.9, 1.0, phase));
  Rgb c = Mix(s.early, s.late, 0.1 + 0.8 * late);
  // Fine pores and streaks: long along the grain, narrow across it.
  const double streaks = TiledFractal(along, across, 4, 40, 3, seed + 7);
  const double pores = TiledFractal(along, across, 24, 96, 1, seed + 11);
  c = Scale(c, 1 - s.streakStrength * (streaks - 0.5) - 0.12 * SmoothStep(0.7, 0.95, pores));
  // Boards cut from different trees differ in tone, and darken a little along their length.
  const double tone = 0.82 + 0.3 * Lattice(3, 0, seed);
  const double lengthwise = 0.94 + 0.12 * TiledFractal(along, 0.5, 2, 1, 2, seed + 13);
  return Scale(c, tone * lengthwise);
}

// Floor boards: four rows of planks running along x. Each plank is one tile long, so every row has
// one butt joint, placed differently in each row; the plank runs on across the tile's seam.
Picture DrawFloorWood(int size) {
  const Species oak{{0.88, 0.62, 0.36}, {0.56, 0.33, 0.15}, 6.0, 0.12, 0.3, 1.0};
  Picture p(size, size);
  const int rows = 4;
  const int rowHeight = size / rows;
  for (int y = 0; y < size; ++y) {
    const int row = y / rowHeight;
    const int inRow = y % rowHeight;
    const double across = (inRow + 0.5) / rowHeight;
    static const double joints[] = {0.12, 0.62, 0.37, 0.87};
    const int jointX =
        static_cast<int>((joints[row % 4] + 0.06 * (Lattice(row, 9, 77) - 0.5)) * size);
    for (int x = 0; x < size; ++x) {
      // Half a noise period per plank: the grain breaks at the joint, as between two boards.
      const double along = 0.5 * Wrap(x - jointX, size) / size;
      Rgb c = BoardColour(oak, along, across, 1000u + 17u * row);
      double shade = 1;
      if (inRow == 0) shade = 0.35;
      else if (inRow == 1 || inRow == rowHeight - 1) shade = 0.75;
      if (x == jointX) shade = std::min(shade, 0.4);
      else if (x == jointX + 1 || x == jointX - 1) shade = std::min(shade, 0.8);
      p.at(x, y) = Scale(c, shade);
    }
  }
  return p;
}

// Wall boards: two tall boards per tile with their grain running from floor to ceiling, of a
// darker, redder wood with tighter rings than the floor.
Picture DrawWallWood(int size) {
  const Species cherry{{0.70, 0.40, 0.26}, {0.40, 0.19, 0.11}, 14.0, 0.06, 0.45, 0.2};
  Picture p(size, size);
  const int boards = 2;
  const int boardWidth = size / boards;
  for (int x = 0; x < size; ++x) {
    const int board = x / boardWidth;
    const int inBoard = x % boardWidth;
    const double across = (inBoard + 0.5) / boardWidth;
    double shade = 1;
    if (inBoard == 0) shade = 0.3;
    else if (inBoard == 1) shade = 0.7;
    else if (inBoard == boardWidth - 1) shade = 0.85;
    for (int y = 0; y < size; ++y) {
      const double v = (y + 0.5) / size;
      p.at(x, y) = Scale(BoardColour(cherry, v, across, 2000u + 31u * board), shade);
    }
  }
  return p;
}

// A soft light: white in the middle, warming and fading to black well inside the edges (the
// patches are added onto the floor, so any light left at the border would draw a square),
// with a faint plasma shimmer over the falling part.
Picture DrawPlasma(int size) {
  Picture p(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double u = (x + 0.5) / size * 2 - 1;
      const double v = (y + 0.5) / size * 2 - 1;
      const double r = std::sqrt(u * u + v * v);
      const double fall = SmoothStep(0.98, 0.0, r);
      const double plasma =
          (std::sin(u * 9.1) + std::sin(v * 7.3 + 1.1) + std::sin((u + v) * 6.2 + 0.7) +
           std::sin(std::sqrt((u - 0.3) * (u - 0.3) + (v + 0.2) * (v + 0.2)) * 14.0)) /
          4.0;
      const double cloud = TiledFractal(u * 0.5 + 0.5, v * 0.5 + 0.5, 5, 5, 4, 4242) - 0.5;
      const double swirl = 0.8 + 0.3 * plasma + 0.5 * cloud;
      // Saturates softly towards white in the middle instead of clipping to a hard disc.
      const double energy = 3.2 * fall * Mix(swirl, 1.0, fall * fall * fall);
      const double level = 1 - std::exp(-energy * fall);
      // Warmer as it fades, so a tinted patch keeps its colour out to the rim.
      p.at(x, y) = {level, std::pow(level, 1.08), std::pow(level, 1.25)};
    }
  }
  return p;
}

void Put16(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back(static_cast<unsigned char>(v));
  out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

unsigned char ToByte(double v) {
  return static_cast<unsigned char>(std::lround(Clamp01(v) * 255.0));
}

// File header, 40-byte info header, then blue-green-red rows bottom row first on 4-byte boundaries.
bool WriteBmp(const std::string& path, const Picture& picture) {
  const uint32_t stride = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
  const uint32_t imageSize = stride * static_cast<uint32_t>(picture.height);
  const uint32_t offset = 14 + 40;
  std::vector<unsigned char> out;
  out.reserve(offset + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + imageSize);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(picture.width));
  Put32(out, static_cast<uint32_t>(picture.height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    const Rgb* row = &picture.pixels[static_cast<size_t>(y) * picture.width];
    for (int x = 0; x < picture.width; ++x) {
      out.push_back(ToByte(row[x].b));
      out.push_back(ToByte(row[x].g));
      out.push_back(ToByte(row[x].r));
    }
    for (uint32_t pad = static_cast<uint32_t>(picture.width) * 3; pad < stride; ++pad)
      out.push_back(0);
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "make_textures: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_textures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const bool written = WriteBmp(dir + "/wood.bmp", DrawFloorWood(256)) &&
                       WriteBmp(dir + "/wood2.bmp", DrawWallWood(256)) &&
                       WriteBmp(dir + "/plasma.bmp", DrawPlasma(128));
  return written ? 0 : 1;
}
