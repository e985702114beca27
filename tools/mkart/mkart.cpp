// tools/mkart/mkart.cpp - draws the installer's bitmaps and icon.
//
//   mkart OUTDIR
//
// Writes checkbox.bmp, layout.bmp, badge.bmp, sample_missing.bmp,
// sample_test.bmp and program.ico: uncompressed 4-bit images over the
// standard 16-colour palette. Built and run on the build machine.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum Colour {
    BLACK = 0, MAROON = 1, GREEN = 2, OLIVE = 3, NAVY = 4, PURPLE = 5, TEAL = 6, SILVER = 7,
    GRAY = 8, RED = 9, LIME = 10, YELLOW = 11, BLUE = 12, FUCHSIA = 13, AQUA = 14, WHITE = 15,
};

const uint8_t kPalette[16][3] = {  // r, g, b
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},
    {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

struct Image {
    int width, height;
    std::vector<uint8_t> pixels;  // one palette index per pixel, top row first
    Image(int w, int h, int fill = WHITE) : width(w), height(h), pixels(w * h, fill) {}
    void set(int x, int y, int c)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[y * width + x] = static_cast<uint8_t>(c);
    }
    int get(int x, int y) const { return pixels[y * width + x]; }
    void rect(int x0, int y0, int x1, int y1, int c)  // outline, inclusive
    {
        for (int x = x0; x <= x1; ++x) { set(x, y0, c); set(x, y1, c); }
        for (int y = y0; y <= y1; ++y) { set(x0, y, c); set(x1, y, c); }
    }
    void fill(int x0, int y0, int x1, int y1, int c)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                set(x, y, c);
    }
};

void put16(std::string &out, unsigned v) { out += char(v & 0xFF); out += char((v >> 8) & 0xFF); }
void put32(std::string &out, unsigned v) { put16(out, v & 0xFFFF); put16(out, v >> 16); }

int rowBytes4(int width) { return ((width * 4 + 31) / 32) * 4; }

// BITMAPINFOHEADER, palette and 4-bit rows bottom-up; heightField lets an
// icon image declare twice its height (colour plus mask).
std::string dib4(const Image &img, int heightField)
{
    std::string out;
    int stride = rowBytes4(img.width);
    put32(out, 40);
    put32(out, img.width);
    put32(out, heightField);
    put16(out, 1);
    put16(out, 4);
    put32(out, 0);
    put32(out, stride * img.height);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 16);
    put32(out, 0);
    for (const auto &c : kPalette) {
        out += char(c[2]); out += char(c[1]); out += char(c[0]); out += char(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < img.width; ++x) {
            int v = img.get(x, y);
            row[x / 2] = char(row[x / 2] | (x % 2 ? v : v << 4));
        }
        out += row;
    }
    return out;
}

std::string bmpFile(const Image &img)
{
    std::string info = dib4(img, img.height);
    std::string out = "BM";
    put32(out, 14 + info.size());
    put32(out, 0);
    put32(out, 14 + 40 + 64);
    return out + info;
}

// Icon image: colour pixels plus an AND mask that is set where the pixel
// has the colour `transparent` (-1: an opaque icon).
std::string iconImage(const Image &img, int transparent)
{
    std::string out = dib4(img, img.height * 2);
    int stride = ((img.width + 31) / 32) * 4;
    for (int y = img.height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < img.width; ++x)
            if (img.get(x, y) == transparent)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out += row;
    }
    return out;
}

std::string icoFile(const std::vector<Image> &images)
{
    std::vector<std::string> data;
    for (const Image &img : images)
        data.push_back(iconImage(img, -1));
    std::string out;
    put16(out, 0);
    put16(out, 1);
    put16(out, images.size());
    unsigned offset = 6 + 16 * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        out += char(images[i].width);
        out += char(images[i].height);
        out += char(16);
        out += char(0);
        put16(out, 1);
        put16(out, 4);
        put32(out, data[i].size());
        put32(out, offset);
        offset += data[i].size();
    }
    for (const std::string &d : data)
        out += d;
    return out;
}

bool writeFile(const std::string &path, const std::string &data)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

// Six 16 x 16 cells: empty, crossed and barred boxes, each gray then black.
Image checkBoxes()
{
    Image img(96, 16);
    for (int cell = 0; cell < 6; ++cell) {
        int x0 = cell * 16;
        int ink = (cell % 2) ? BLACK : SILVER;
        img.rect(x0 + 1, 1, x0 + 14, 14, ink);
        if (cell / 2 == 1) {
            for (int i = 1; i <= 14; ++i) {
                img.set(x0 + i, i, ink);
                img.set(x0 + 15 - i, i, ink);
            }
        } else if (cell / 2 == 2) {
            img.fill(x0 + 1, 7, x0 + 14, 8, ink);
        }
    }
    return img;
}

// A 5 x 7 pixel alphabet for the few words drawn here.
const char *glyph(char c)
{
    switch (c) {
    case 'A': return " ### #   ##   #######   ##   ##   #";
    case 'E': return "######    #    #### #    #    #####";
    case 'L': return "#    #    #    #    #    #    #####";
    case 'M': return "#   ### ### # ##   ##   ##   ##   #";
    case 'N': return "#   ###  ## # ##  ###   ##   ##   #";
    case 'O': return " ### #   ##   ##   ##   ##   # ### ";
    case 'P': return "#### #   ##   ##### #    #    #    ";
    case 'Q': return " ### #   ##   ##   ## # ##  #  ## #";
    case 'S': return " ####" "#    " "#    " " ### " "    #" "    #" "#### ";
    case 'T': return "#####  #    #    #    #    #    #  ";
    case 'X': return "#   ##   # # #   #   # # #   ##   #";
    case '3': return "#####" "    #" "   # " "  ## " "    #" "#   #" " ### ";
    case 'W': return "#   ##   ##   ##   ## # ### ###   #";
    case '-': return "     " "     " "     " " ### " "     " "     " "     ";
    }
    return "                                   ";
}

void text(Image &img, int x, int y, const char *s, int scale, int ink)
{
    for (; *s; ++s, x += 6 * scale) {
        const char *g = glyph(*s);
        for (int i = 0; i < 35 && g[i]; ++i)
            if (g[i] == '#')
                img.fill(x + (i % 5) * scale, y + (i / 5) * scale, x + (i % 5) * scale + scale - 1,
                         y + (i / 5) * scale + scale - 1, ink);
    }
}

// Two 20 x 20 images: a downward arrow (make the window tall) and an
// upward one (back to normal).
Image layoutToggle()
{
    Image img(40, 20);
    for (int cell = 0; cell < 2; ++cell) {
        int x0 = cell * 20;
        img.fill(x0 + 2, 2, x0 + 17, 17, SILVER);
        img.rect(x0 + 2, 2, x0 + 17, 17, GRAY);
        for (int i = 0; i < 5; ++i) {
            int y = cell == 0 ? 8 + i : 12 - i;
            img.fill(x0 + 5 + i, y, x0 + 14 - i, y, NAVY);
        }
        img.fill(x0 + 8, cell == 0 ? 4 : 13, x0 + 11, cell == 0 ? 7 : 15, NAVY);
    }
    return img;
}

Image badge()
{
    Image img(44, 32);
    img.fill(2, 2, 41, 29, NAVY);
    text(img, 8, 9, "QX", 2, WHITE);
    return img;
}

Image sample(const char *words, int ink)
{
    Image img(240, 48);
    img.rect(0, 0, 239, 47, GRAY);
    int width = static_cast<int>(std::strlen(words)) * 18 - 3;
    text(img, (240 - width) / 2, 13, words, 3, ink);
    return img;
}

Image programIcon(int size)
{
    Image img(size, size, BLACK);
    int m = size / 16;
    img.fill(m, m, size - 1 - m, size - 1 - m, NAVY);
    img.rect(m, m, size - 1 - m, size - 1 - m, BLUE);
    text(img, size / 2 - 6 * (size / 16) + 1, size / 2 - 3 * (size / 16) - 1, "QX", size / 16, YELLOW);
    return img;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkart OUTDIR\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok = writeFile(dir + "/checkbox.bmp", bmpFile(checkBoxes())) &&
              writeFile(dir + "/layout.bmp", bmpFile(layoutToggle())) &&
              writeFile(dir + "/badge.bmp", bmpFile(badge())) &&
              writeFile(dir + "/sample_missing.bmp", bmpFile(sample("NO SAMPLE", GRAY))) &&
              writeFile(dir + "/sample_test.bmp", bmpFile(sample("QXTEST-W3", BLACK))) &&
              writeFile(dir + "/program.ico", icoFile({programIcon(32), programIcon(16)}));
    if (!ok) {
        std::fprintf(stderr, "mkart: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
