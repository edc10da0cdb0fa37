// make_icon: writes the installer's icon, a monitor showing a landscape, as a .ico file
// with one 32x32 image in the standard 16 colours and a transparency mask. The picture is
// kept here as text so it can be read and changed without an icon editor; the .ico in the
// tree must be this program's output (checked by a native test).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kSize = 32;
constexpr int kColours = 16;
constexpr char kTransparent = '.';

struct Colour {
    char letter;
    std::uint8_t red, green, blue;
};

// The standard 16-colour palette in its usual order; the letters are what the picture uses.
constexpr Colour kPalette[kColours] = {
    {'K', 0x00, 0x00, 0x00}, // black
    {'M', 0x80, 0x00, 0x00}, // maroon
    {'G', 0x00, 0x80, 0x00}, // green
    {'O', 0x80, 0x80, 0x00}, // olive
    {'N', 0x00, 0x00, 0x80}, // navy
    {'P', 0x80, 0x00, 0x80}, // purple
    {'T', 0x00, 0x80, 0x80}, // teal
    {'S', 0xC0, 0xC0, 0xC0}, // silver
    {'D', 0x80, 0x80, 0x80}, // grey
    {'R', 0xFF, 0x00, 0x00}, // red
    {'L', 0x00, 0xFF, 0x00}, // lime
    {'Y', 0xFF, 0xFF, 0x00}, // yellow
    {'B', 0x00, 0x00, 0xFF}, // blue
    {'F', 0xFF, 0x00, 0xFF}, // fuchsia
    {'A', 0x00, 0xFF, 0xFF}, // aqua
    {'W', 0xFF, 0xFF, 0xFF}, // white
};

// Top row first.
// clang-format off
constexpr const char* kPicture[kSize] = {
    "................................",
    "................................",
    ".KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.",
    ".KWWWWWWWWWWWWWWWWWWWWWWWWWWWDK.",
    ".KWSSSSSSSSSSSSSSSSSSSSSSSSSSDK.",
    ".KWSKKKKKKKKKKKKKKKKKKKKKKKKSDK.",
    ".KWSKNNNNNNNNNNNNNNNNNNNNNNKSDK.",
    ".KWSKBBBBBBBBBBBBBBBBBYYBBBKSDK.",
    ".KWSKBBBWWBBBBBBBBBBBYYYYBBKSDK.",
    ".KWSKBBWWWWWBBBBBBBBBYYYYBBKSDK.",
    ".KWSKBWWWWWWWBBBBBBBBBYYBBBKSDK.",
    ".KWSKAAAAAAAAAAAAAAAAAAAAAAKSDK.",
    ".KWSKAAAAAAAAAWAAAAAAAAAAAAKSDK.",
    ".KWSKAAAAAAAAWWDAAAAAAAAAAAKSDK.",
    ".KWSKAAAAAAASWDDDAAAAAAAAAAKSDK.",
    ".KWSKAAAAAASSDDDDDAAAAAAAALKSDK.",
    ".KWSKLLAAASSDDDDDDDAAAALLLLKSDK.",
    ".KWSKLLLLLLLGDDDDDGLLLLLLLLKSDK.",
    ".KWSKLLLLLLLLGGGGGLLLLLLGLLKSDK.",
    ".KWSKGGLLLLLLLLLLLLLLLGGGGGKSDK.",
    ".KWSKKKKKKKKKKKKKKKKKKKKKKKKSDK.",
    ".KWSSSSSSSSSSSSSSSSSSSSSSLSSSDK.",
    ".KDDDDDDDDDDDDDDDDDDDDDDDDDDDDK.",
    ".KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.",
    "............KSSSSSDK............",
    "............KSSSSSDK............",
    ".......KKKKKKKKKKKKKKKKKK.......",
    "......KWWWWWWWWWWWWWWWWWWK......",
    "......KSSSSSSSSSSSSSSSSSDK......",
    "......KKKKKKKKKKKKKKKKKKKK......",
    "................................",
    "................................",
};
// clang-format on

void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, unsigned long value) {
    Put16(out, static_cast<unsigned>(value & 0xFFFF));
    Put16(out, static_cast<unsigned>((value >> 16) & 0xFFFF));
}

// The palette index of a picture letter, -1 for transparent, -2 for a letter not in it.
int IndexOf(char letter) {
    if (letter == kTransparent)
        return -1;
    for (int i = 0; i < kColours; ++i)
        if (kPalette[i].letter == letter)
            return i;
    return -2;
}

bool MakeIcon(std::string& ico) {
    constexpr unsigned long kHeaderSize = 40;
    constexpr unsigned long kColourBytes = kSize * kSize / 2;
    constexpr unsigned long kMaskBytes = kSize * kSize / 8; // rows of 32 bits need no padding
    constexpr unsigned long kImageSize = kHeaderSize + kColours * 4 + kColourBytes + kMaskBytes;
    constexpr unsigned long kDirectorySize = 6 + 16;

    std::string colours, mask;
    // Bitmaps are stored bottom row first.
    for (int y = kSize - 1; y >= 0; --y) {
        if (std::strlen(kPicture[y]) != kSize) {
            std::fprintf(stderr, "make_icon: picture row %d is not %d wide\n", y, kSize);
            return false;
        }
        unsigned colourByte = 0, maskByte = 0;
        for (int x = 0; x < kSize; ++x) {
            int index = IndexOf(kPicture[y][x]);
            if (index == -2) {
                std::fprintf(stderr, "make_icon: unknown colour '%c' at %d,%d\n", kPicture[y][x], x,
                             y);
                return false;
            }
            // A transparent pixel is black in the image so the background shows unchanged.
            bool transparent = index < 0;
            colourByte = (colourByte << 4) | static_cast<unsigned>(transparent ? 0 : index);
            maskByte = (maskByte << 1) | (transparent ? 1u : 0u);
            if (x % 2 == 1) {
                colours += static_cast<char>(colourByte);
                colourByte = 0;
            }
            if (x % 8 == 7) {
                mask += static_cast<char>(maskByte);
                maskByte = 0;
            }
        }
    }

    ico.clear();
    Put16(ico, 0); // reserved
    Put16(ico, 1); // icon
    Put16(ico, 1); // one image
    ico += static_cast<char>(kSize);
    ico += static_cast<char>(kSize);
    ico += static_cast<char>(kColours);
    ico += '\0';   // reserved
    Put16(ico, 1); // planes
    Put16(ico, 4); // bits per pixel
    Put32(ico, kImageSize);
    Put32(ico, kDirectorySize); // offset of the image

    Put32(ico, kHeaderSize);
    Put32(ico, kSize);
    Put32(ico, kSize * 2); // the image and its mask
    Put16(ico, 1);
    Put16(ico, 4);
    Put32(ico, 0); // uncompressed
    Put32(ico, kColourBytes + kMaskBytes);
    Put32(ico, 0);
    Put32(ico, 0);
    Put32(ico, 0); // all 16 colours used
    Put32(ico, 0);
    for (const Colour& c : kPalette) {
        ico += static_cast<char>(c.blue);
        ico += static_cast<char>(c.green);
        ico += static_cast<char>(c.red);
        ico += '\0';
    }
    ico += colours;
    ico += mask;
    return ico.size() == kDirectorySize + kImageSize;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon output.ico\n");
        return 2;
    }
    std::string ico;
    if (!MakeIcon(ico))
        return 1;
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    bool written = std::fwrite(ico.data(), 1, ico.size(), file) == ico.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
