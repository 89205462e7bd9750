// Turns a text pixel map into a Windows .ico or .cur file (BMP-in-ICO, 4 or 1 bits per pixel).
//
//   icongen MAP OUT [BODY] [--sizes=N,N,...]
//
// MAP holds "depth N", optionally "hotspot X Y", then one text row per pixel row. Each character
// names a colour of the standard 16-colour palette (see kLegend); '.' is transparent, ':' is a
// black-and-white checker and '*' is the body colour BODY, &H00BBGGRR (a chalk stick's, e.g.
// 0x00FFFF), which must be one of the palette's.
// OUT ending in ".cur" writes a cursor with the hotspot; anything else writes an icon. --sizes
// writes one image of each size, scaled from the map with nearest-neighbour sampling.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct PaletteEntry
{
    char key;
    std::uint8_t r, g, b;
};

// The Windows standard 16 colours, in palette order.
constexpr PaletteEntry kLegend[16] = {
    {'K', 0, 0, 0},       {'m', 128, 0, 0},   {'g', 0, 128, 0},   {'o', 128, 128, 0},
    {'n', 0, 0, 128},     {'p', 128, 0, 128}, {'t', 0, 128, 128}, {'s', 192, 192, 192},
    {'d', 128, 128, 128}, {'R', 255, 0, 0},   {'G', 0, 255, 0},   {'Y', 255, 255, 0},
    {'B', 0, 0, 255},     {'M', 255, 0, 255}, {'C', 0, 255, 255}, {'W', 255, 255, 255},
};

int paletteIndex(char c)
{
    for (int i = 0; i < 16; ++i)
        if (kLegend[i].key == c)
            return i;
    return -1;
}

void put16(std::string &out, unsigned v)
{
    out += char(v & 0xFF);
    out += char(v >> 8 & 0xFF);
}
void put32(std::string &out, unsigned v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

[[noreturn]] void die(const std::string &why)
{
    std::cerr << "icongen: " << why << '\n';
    std::exit(1);
}

// One image: its BITMAPINFOHEADER, palette, XOR pixels and AND mask, rows bottom-up.
// pixels: 0..15 palette index, or -1 for transparent.
std::string bitmap(const std::vector<int> &pixels, int width, int height, int depth)
{
    const int colours = depth == 1 ? 2 : 16;
    const int xorRow = ((width * depth + 31) / 32) * 4;
    const int andRow = ((width + 31) / 32) * 4;
    std::string image;
    put32(image, 40);
    put32(image, width);
    put32(image, height * 2);
    put16(image, 1);
    put16(image, depth);
    put32(image, 0);
    put32(image, (xorRow + andRow) * height);
    put32(image, 0);
    put32(image, 0);
    put32(image, colours);
    put32(image, 0);
    for (int i = 0; i < colours; ++i) {
        const PaletteEntry &p = depth == 1 ? kLegend[i ? 15 : 0] : kLegend[i];
        image += char(p.b);
        image += char(p.g);
        image += char(p.r);
        image += char(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        std::string row(xorRow, '\0');
        for (int x = 0; x < width; ++x) {
            const int v = pixels[y * width + x] < 0 ? 0 : pixels[y * width + x];
            if (depth == 4)
                row[x / 2] = char(row[x / 2] | (x % 2 ? v : v << 4));
            else
                row[x / 8] = char(row[x / 8] | v << (7 - x % 8));
        }
        image += row;
    }
    for (int y = height - 1; y >= 0; --y) {
        std::string row(andRow, '\0');
        for (int x = 0; x < width; ++x)
            if (pixels[y * width + x] < 0)
                row[x / 8] = char(row[x / 8] | 1 << (7 - x % 8));
        image += row;
    }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<int> sizes;
    if (!args.empty() && args.back().rfind("--sizes=", 0) == 0) {
        std::istringstream list(args.back().substr(8));
        for (std::string size; std::getline(list, size, ',');)
            sizes.push_back(std::atoi(size.c_str()));
        args.pop_back();
    }
    if (args.size() < 2 || args.size() > 3)
        die("usage: icongen MAP OUT [BODY] [--sizes=N,N,...]");
    const std::string out = args[1];
    char body = '\0';
    if (args.size() == 3) {
        char *end = nullptr;
        const unsigned long bbggrr = std::strtoul(args[2].c_str(), &end, 0);
        if (args[2].empty() || *end || bbggrr > 0xFFFFFF)
            die("not an &H00BBGGRR colour: " + args[2]);
        for (const PaletteEntry &p : kLegend)
            if (p.r == (bbggrr & 0xFF) && p.g == (bbggrr >> 8 & 0xFF) && p.b == (bbggrr >> 16 & 0xFF))
                body = p.key;
        if (!body)
            die("chalk colour not in the 16-colour palette");
    }
    const bool cursor = out.size() > 4 && out.compare(out.size() - 4, 4, ".cur") == 0;

    std::ifstream in(args[0]);
    if (!in)
        die("cannot read " + args[0]);

    int depth = 4, hotX = 0, hotY = 0;
    std::vector<std::string> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "depth")
            words >> depth;
        else if (word == "hotspot")
            words >> hotX >> hotY;
        else
            rows.push_back(line);
    }
    const int height = int(rows.size());
    const int width = height ? int(rows[0].size()) : 0;
    if (width == 0 || width > 256 || height > 256 || (depth != 1 && depth != 4))
        die("bad map size or depth");

    // 0..15 palette index, or -1 for transparent.
    std::vector<int> pixels(width * height);
    for (int y = 0; y < height; ++y) {
        if (int(rows[y].size()) != width)
            die("row " + std::to_string(y) + " has the wrong width");
        for (int x = 0; x < width; ++x) {
            char c = rows[y][x];
            if (c == '*')
                c = body;
            if (c == ':')
                c = (x + y) % 2 ? 'W' : 'K';
            int index = c == '.' ? -1 : paletteIndex(c);
            if (c != '.' && index < 0)
                die(std::string("unknown colour '") + rows[y][x] + "'");
            if (depth == 1 && index > 0) {
                if (index != 15)
                    die("1-bit maps take only K and W");
                index = 1;
            }
            pixels[y * width + x] = index;
        }
    }

    if (sizes.empty())
        sizes.push_back(width);
    if (cursor && (sizes.size() != 1 || sizes[0] != width))
        die("a cursor has one image, at the map's size");
    std::string file;
    put16(file, 0);
    put16(file, cursor ? 2 : 1);
    put16(file, unsigned(sizes.size()));
    std::string images;
    for (const int size : sizes) {
        if (size < 1 || size > 256)
            die("bad size " + std::to_string(size));
        std::vector<int> scaled(size * size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                scaled[y * size + x] = pixels[(y * height / size) * width + x * width / size];
        const std::string image = bitmap(scaled, size, size, depth);
        file += char(size == 256 ? 0 : size);
        file += char(size == 256 ? 0 : size);
        file += char(depth == 4 ? 16 : 2);
        file += char(0);
        put16(file, cursor ? hotX : 1);
        put16(file, cursor ? hotY : depth);
        put32(file, unsigned(image.size()));
        put32(file, unsigned(6 + 16 * sizes.size() + images.size()));
        images += image;
    }
    file += images;

    std::ofstream o(out, std::ios::binary);
    o.write(file.data(), std::streamsize(file.size()));
    if (!o)
        die("cannot write " + out);
    return 0;
}
