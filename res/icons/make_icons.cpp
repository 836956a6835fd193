// make_icons: writes the program's .ico resources from the pixel art below.
//
// Usage: make_icons <outdir>
//
// Every picture is drawn once as text, one character per pixel, using a
// single 16-colour palette (the classic VGA set, so the 4-bit images lose
// nothing).  Output is byte-for-byte reproducible: no clocks, no randomness,
// fixed image order.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/ids.h"
#include "devices/classes.h"

namespace {

struct PaletteEntry {
    char key;
    std::uint8_t r, g, b;
};

// Index order matches the standard 16-colour VGA palette.  Index 0 doubles as
// the colour stored under transparent pixels in 4/8-bit images.
const PaletteEntry kPalette[16] = {
    {'k', 0x00, 0x00, 0x00},  // black: outlines
    {'r', 0x80, 0x00, 0x00},  // maroon
    {'g', 0x00, 0x80, 0x00},  // green
    {'o', 0x80, 0x80, 0x00},  // olive
    {'n', 0x00, 0x00, 0x80},  // navy
    {'p', 0x80, 0x00, 0x80},  // purple
    {'t', 0x00, 0x80, 0x80},  // teal
    {'s', 0xC0, 0xC0, 0xC0},  // silver
    {'d', 0x80, 0x80, 0x80},  // grey
    {'R', 0xFF, 0x00, 0x00},  // red
    {'G', 0x00, 0xFF, 0x00},  // lime
    {'Y', 0xFF, 0xFF, 0x00},  // yellow
    {'B', 0x00, 0x00, 0xFF},  // blue
    {'M', 0xFF, 0x00, 0xFF},  // magenta
    {'C', 0x00, 0xFF, 0xFF},  // cyan
    {'w', 0xFF, 0xFF, 0xFF},  // white
};

const char kTransparent = '.';

using Art = std::vector<std::string>;

// Power plug: the program's own picture.
const Art kPlug = {
    "....kk....kk....",
    "...kwsk..kwsk...",
    "...kwsk..kwsk...",
    "..kkwskkkkwskk..",
    ".kCCCCCCCCCCCCk.",
    ".kCBBBBBBBBBBnk.",
    ".kCBBBBBBBBBBnk.",
    ".kCBBBBBBBBBBnk.",
    ".kCBBBBBBBBBBnk.",
    "..kCBBBBBBBBnk..",
    "...kCBBBBBBnk...",
    "....knnnnnnk....",
    ".....kksdkk.....",
    "......ksdk......",
    "......ksdk......",
    "......ksdk......",
};

// Two circling arrows: scan again.
const Art kScan = {
    "................",
    ".....kkkkkk.....",
    "....kGGGGGGk....",
    "...kGGGGGGGGk...",
    "..kGGGkkkkGGGk..",
    "..kkkk....kGGGk.",
    ".kGGk.....kkGGkk",
    "kGGGGk...kGGGGGG",
    "GGGGGGk...kGGGGk",
    "kkGGkk.....kGGk.",
    ".kGGGk....kkkk..",
    "..kGGGkkkkGGGk..",
    "...kGGGGGGGGk...",
    "....kGGGGGGk....",
    ".....kkkkkk.....",
    "................",
};

// Gear: settings.
const Art kSetup = {
    ".......kk.......",
    "......kwwk......",
    "...kk.kwsk.kk...",
    "..kwwkwssskssk..",
    "..kwwwsssssssk..",
    "...kwsssssssk...",
    ".kkwssskksssskk.",
    "kwwsssk..ksssddk",
    "kwssssk..kssdddk",
    ".kksssskkssddkk.",
    "...kssssssddk...",
    "..kssssssddddk..",
    "..ksskssddkddk..",
    "...kk.kddk.kk...",
    "......kddk......",
    ".......kk.......",
};

// Information mark.
const Art kAbout = {
    "................",
    ".....kkkkkk.....",
    "...kkCCBBBBkk...",
    "..kCCCBwwBBBBk..",
    "..kCCBBwwBBBBk..",
    ".kCCBBBBBBBBBBk.",
    ".kCBBBwwwBBBBBk.",
    ".kBBBBBwwBBBBBk.",
    ".kBBBBBwwBBBBBk.",
    ".kBBBBBwwBBBBBk.",
    ".kBBBBBwwBBBBBk.",
    "..kBBBwwwwBBBk..",
    "..kBBBBBBBBBBk..",
    "...kkBBBBBBkk...",
    ".....kkkkkk.....",
    "................",
};

// Red cross: quit.
const Art kExit = {
    "................",
    "..kk........kk..",
    ".kRRk......kRRk.",
    ".kRRRk....kRRRk.",
    "..kRRRk..kRRRk..",
    "...kRRRkkRRRk...",
    "....kRRRRRRk....",
    ".....kRRRRk.....",
    ".....kRRRRk.....",
    "....kRRRRRRk....",
    "...kRRRkkRRRk...",
    "..kRRRk..kRRRk..",
    ".kRRRk....kRRRk.",
    ".kRRk......kRRk.",
    "..kk........kk..",
    "................",
};

// Question mark: device of unknown kind.
const Art kUnknown = {
    "................",
    ".....kkkkkk.....",
    "....kBBBBBBk....",
    "...kBBBBBBBBk...",
    "..kBBBkkkkBBBk..",
    "..kBBBk..kBBBk..",
    "...kkk...kBBBk..",
    "........kBBBk...",
    ".......kBBBk....",
    "......kBBBk.....",
    "......kBBBk.....",
    ".......kkk......",
    "......kBBBk.....",
    "......kBBBk.....",
    ".......kkk......",
    "................",
};

// Optical disc.
const Art kDisc = {
    ".......kk.......",
    "....kkksskkk....",
    "...kwCCCssssk...",
    "..kwwwCCsssssk..",
    ".kwwwwCCssssssk.",
    ".kwwwwwddsssssk.",
    ".ksswwdkkdssssk.",
    "kssssdk..kdssssk",
    "kssssdk..kdssssk",
    ".kssssdkkdwwssk.",
    ".ksssssddwwwwwk.",
    ".kssssssCCwwwwk.",
    "..ksssssCCwwwk..",
    "...kssssCCCwk...",
    "....kkksskkk....",
    ".......kk.......",
};

// Disk drive with activity light.
const Art kDiskDrive = {
    "................",
    "................",
    "....kkkkkkkkkk..",
    "...kwwwwwwwwwwk.",
    "..kwssssssssswdk",
    ".kwssssssssswddk",
    "kwwwwwwwwwwwddk.",
    "kwsssssssssddk..",
    "kwsddddddssdk...",
    "kwsssssGgssdk...",
    "kdddddddddddk...",
    ".kkkkkkkkkkk....",
    "................",
    "................",
    "................",
    "................",
};

// Joystick: generic input device.
const Art kJoystick = {
    "......kkk.......",
    ".....kRRRk......",
    "....kRwRRRk.....",
    "....kRRRRrk.....",
    ".....krrrk......",
    "......kdk.......",
    "......kdk.......",
    "......kdk.......",
    "..kkkkkdkkkk....",
    ".kssssssssssk...",
    "kwsssddsssRssk..",
    "kddddddddddddk..",
    ".kkkkkkkkkkkk...",
    "................",
    "................",
    "................",
};

// Keyboard.
const Art kKeyboard = {
    "................",
    "................",
    "................",
    ".kkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwwk",
    "ksssssssssssssdk",
    "kswswswswswswsdk",
    "ksssssssssssssdk",
    "ksswswswswswssdk",
    "ksssssssssssssdk",
    "kswswwwwwwwswsdk",
    "ksssssssssssssdk",
    "kddddddddddddddk",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
};

// Gamepad.
const Art kGamepad = {
    "................",
    "................",
    "................",
    "..kkkkkkkkkkkk..",
    ".kwwwwwwwwwwwwk.",
    "kssssssssssssssk",
    "kssskssssssYsssk",
    "ksskkksddsBsRssk",
    "kssskssssssGsssk",
    "kssssssssssssssk",
    "kssssskkkksssssk",
    "kssssk....kssssk",
    ".kddk......kddk.",
    "..kk........kk..",
    "................",
    "................",
};

// Monitor.
const Art kMonitor = {
    ".kkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwwk",
    "kwdddddddddddddk",
    "kwdCCBBBBBBBBwdk",
    "kwdCBBBBBBBBBsdk",
    "kwdBBBBBBBBBBsdk",
    "kwdBBBBBBBBBnsdk",
    "kwdBBBBBBBBnnsdk",
    "kwdswsswssssssdk",
    "kwsssssssssGgsdk",
    "kddddddddddddddk",
    ".kkkkksdkkkkkkk.",
    "....kksdkkkk....",
    "...kwsssssddk...",
    "....kkkkkkkk....",
    "................",
};

// Mouse.
const Art kMouse = {
    "......kdk.......",
    "......kdk.......",
    ".......kdk......",
    ".......kdk......",
    ".....kkdkk......",
    "....kwwdssk.....",
    "...kwwwdsssk....",
    "..kwwwwdssssk...",
    "..kwwwwdssssk...",
    "..kdddddddddk...",
    "..kwssssssssk...",
    "..kwsssssssdk...",
    "..kwssssssddk...",
    "...kwssssddk....",
    "....kdddddk.....",
    ".....kkkkk......",
};

// Printer.
const Art kPrinter = {
    "....kkkkkkkk....",
    "...kwwwwwwwwk...",
    "...kwddddddwk...",
    "...kwwwwwwwwk...",
    ".kkkwddddwwwkkk.",
    "kwwwwwwwwwwwwwwk",
    "kwsssssssssGgsdk",
    "kwssssssssssssdk",
    "kwkkkkkkkkkkkkdk",
    "kddwwwwwwwwwwddk",
    ".kkwddddddwwkkk.",
    "..kwwwwwwwwwk...",
    "..kwddddwwwwk...",
    "..kwwwwwwwwwk...",
    "...kkkkkkkkk....",
    "................",
};

// Wide multi-pin connector.
const Art kWideConnector = {
    "................",
    "...kkkkkkkkkk...",
    "..kwwwwwwwwwwk..",
    "..ksYkYkYkYkdk..",
    ".kkkskYkYkYdkkk.",
    "kwwwwwwwwwwwwwwk",
    "ksdsssssssssdsdk",
    "kddddddddddddddk",
    ".kkwssssssssdkk.",
    "...kwssssssdk...",
    "....kwssssdk....",
    ".....kwsddk.....",
    ".....ksdddk.....",
    ".....ksdddk.....",
    ".....ksdddk.....",
    ".....ksdddk.....",
};

// USB-A plug.
const Art kUsbPlug = {
    ".....kkkkkk.....",
    "....kssssssk....",
    "....kswwwwsk....",
    "....kskwwksk....",
    "....kswwwwsk....",
    "....kssssssk....",
    "...kddddddddk...",
    "...kdwwwwwwdk...",
    "...kdssssssdk...",
    "...kdssssssdk...",
    "...kdssssssdk...",
    "....kdssssdk....",
    ".....kdssdk.....",
    "......kddk......",
    "......kddk......",
    "......kddk......",
};

// Portable media player.
const Art kPlayer = {
    ".....kkkkkk.....",
    "....kwwwwwwk....",
    "...kwssssssdk...",
    "...kwBBCCCsdk...",
    "...kwBBBBCsdk...",
    "...kwBBBBBsdk...",
    "...kwnnBBBsdk...",
    "...kwssssssdk...",
    "...kwssddssdk...",
    "...kwsdwwdsdk...",
    "...kwsdwwdsdk...",
    "...kwssddssdk...",
    "...kwssssssdk...",
    "....kddddddk....",
    ".....kkkkkk.....",
    "................",
};


struct ImageDesc {
    const Art* art;
    int scale;  // 1 = as drawn, 2 = each pixel doubled
    int bpp;    // 4, 8 or 32
};

struct IconDesc {
    int id;
    std::vector<ImageDesc> images;
};

// Menu pictures: 16 pixels at every depth, plus a true-colour 32-pixel image
// (each pixel doubled) that Windows scales down on displays above 100 %
// rather than blowing up the 16.
std::vector<ImageDesc> small_set(const Art& art) {
    return {{&art, 1, 4}, {&art, 1, 8}, {&art, 1, 32}, {&art, 2, 32}};
}

std::vector<ImageDesc> small_and_large_set(const Art& art) {
    return {{&art, 1, 4}, {&art, 1, 8}, {&art, 1, 32},
            {&art, 2, 4}, {&art, 2, 8}, {&art, 2, 32}};
}

// Ids as the program loads them: a class's picture is the icon of its slot.
#define CLASS_ICON(name) (IDI_CLASS_FIRST + CLASS_##name)

std::vector<IconDesc> icon_table() {
    return {
        {IDI_MAIN, small_and_large_set(kPlug)},
        {IDI_TRAY, small_and_large_set(kPlug)},
        {IDI_CMD_SCAN, small_set(kScan)},
        {IDI_CMD_SETUP, small_set(kSetup)},
        {IDI_CMD_ABOUT, small_set(kAbout)},
        {IDI_CMD_EXIT, small_set(kExit)},
        {CLASS_ICON(UNKNOWN), small_set(kUnknown)},
        {CLASS_ICON(CDROM), small_set(kDisc)},
        {CLASS_ICON(DISKDRIVE), small_set(kDiskDrive)},
        {CLASS_ICON(HIDCLASS), small_set(kJoystick)},
        {CLASS_ICON(KEYBOARD), small_set(kKeyboard)},
        {CLASS_ICON(MEDIA), small_set(kGamepad)},
        {CLASS_ICON(MONITOR), small_set(kMonitor)},
        {CLASS_ICON(MOUSE), small_set(kMouse)},
        {CLASS_ICON(PRINTER), small_set(kPrinter)},
        {CLASS_ICON(SCSIADAPTER), small_set(kWideConnector)},
        {CLASS_ICON(USB), small_set(kUsbPlug)},
        {CLASS_ICON(WPD), small_set(kPlayer)},
    };
}

// Palette index of a pixel, or -1 for transparent.
int palette_index(char c) {
    if (c == kTransparent) return -1;
    for (int i = 0; i < 16; ++i)
        if (kPalette[i].key == c) return i;
    return -2;
}

// Rejects ragged or misspelt art up front instead of writing a broken icon.
bool check_art(const Art& art, const char* what) {
    const std::size_t n = art.size();
    if (n != 16) {
        std::cerr << what << ": expected 16 rows, got " << n << "\n";
        return false;
    }
    for (std::size_t y = 0; y < n; ++y) {
        if (art[y].size() != n) {
            std::cerr << what << ": row " << y << " has " << art[y].size()
                      << " pixels\n";
            return false;
        }
        for (char c : art[y]) {
            if (palette_index(c) == -2) {
                std::cerr << what << ": unknown pixel '" << c << "' in row "
                          << y << "\n";
                return false;
            }
        }
    }
    return true;
}

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// One image as stored in the file: BITMAPINFOHEADER, palette, XOR, AND.
std::vector<std::uint8_t> encode_image(const ImageDesc& desc) {
    const Art& art = *desc.art;
    const int src = static_cast<int>(art.size());
    const int size = src * desc.scale;
    const int bpp = desc.bpp;

    auto pixel = [&](int x, int y) {  // y counts from the top
        return palette_index(art[y / desc.scale][x / desc.scale]);
    };

    const int xor_stride = ((size * bpp + 31) / 32) * 4;
    const int and_stride = ((size + 31) / 32) * 4;
    const int palette_entries = bpp == 4 ? 16 : bpp == 8 ? 256 : 0;

    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, size);
    put32(out, size * 2);  // XOR and AND halves together
    put16(out, 1);
    put16(out, bpp);
    put32(out, 0);  // BI_RGB
    put32(out, (xor_stride + and_stride) * size);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);

    for (int i = 0; i < palette_entries; ++i) {
        if (i < 16) {
            out.push_back(kPalette[i].b);
            out.push_back(kPalette[i].g);
            out.push_back(kPalette[i].r);
        } else {
            out.insert(out.end(), 3, 0);
        }
        out.push_back(0);
    }

    // Rows are stored bottom-up.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(xor_stride, 0);
        for (int x = 0; x < size; ++x) {
            const int idx = pixel(x, y);
            const int colour = idx < 0 ? 0 : idx;
            if (bpp == 4) {
                row[x / 2] |= static_cast<std::uint8_t>(
                    (x % 2 == 0) ? colour << 4 : colour);
            } else if (bpp == 8) {
                row[x] = static_cast<std::uint8_t>(colour);
            } else if (idx >= 0) {
                row[x * 4 + 0] = kPalette[idx].b;
                row[x * 4 + 1] = kPalette[idx].g;
                row[x * 4 + 2] = kPalette[idx].r;
                row[x * 4 + 3] = 0xFF;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(and_stride, 0);
        for (int x = 0; x < size; ++x)
            if (pixel(x, y) < 0)
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> encode_icon(const IconDesc& icon) {
    std::vector<std::vector<std::uint8_t>> images;
    for (const ImageDesc& desc : icon.images) images.push_back(encode_image(desc));

    std::vector<std::uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // icon
    put16(out, static_cast<unsigned>(images.size()));

    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const ImageDesc& desc = icon.images[i];
        const int size = static_cast<int>(desc.art->size()) * desc.scale;
        out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
        out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
        out.push_back(desc.bpp == 4 ? 16 : 0);
        out.push_back(0);
        put16(out, 1);
        put16(out, desc.bpp);
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& img : images) out.insert(out.end(), img.begin(), img.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_icons <outdir>\n";
        return 2;
    }
    const std::string outdir = argv[1];

    const std::vector<IconDesc> icons = icon_table();
    bool ok = true;
    for (const IconDesc& icon : icons) {
        const std::string what = "icon " + std::to_string(icon.id);
        for (const ImageDesc& desc : icon.images)
            ok = check_art(*desc.art, what.c_str()) && ok;
    }
    if (!ok) return 1;

    for (const IconDesc& icon : icons) {
        const std::string path = outdir + "/" + std::to_string(icon.id) + ".ico";
        const std::vector<std::uint8_t> bytes = encode_icon(icon);
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
        if (!f) {
            std::cerr << "make_icons: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
