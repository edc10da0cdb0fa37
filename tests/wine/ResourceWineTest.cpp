// The installer's resources read back from the built exe with the system's own resource
// and version functions: the form stream, the one icon and the version record, each in the
// language it is looked up in. Arguments: the exe and the form stream formc wrote for it.
#include "WineTest.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using winetest::Fail;

namespace {

constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);

// A resource type or name as text: "#n" for a number.
std::string NameText(LPCSTR name) {
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
    return name;
}

void Append(std::string& list, const std::string& item) {
    if (!list.empty())
        list += ' ';
    list += item;
}

BOOL CALLBACK AddType(HMODULE, LPSTR type, LONG_PTR param) {
    Append(*reinterpret_cast<std::string*>(param), NameText(type));
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    Append(*reinterpret_cast<std::string*>(param), NameText(name));
    return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    char hex[8];
    std::snprintf(hex, sizeof(hex), "%04X", language);
    Append(*reinterpret_cast<std::string*>(param), hex);
    return TRUE;
}

// The types, names and languages in the order the system enumerates them.
std::string Types(HMODULE module) {
    std::string list;
    EnumResourceTypesA(module, AddType, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

std::string Names(HMODULE module, LPCSTR type) {
    std::string list;
    EnumResourceNamesA(module, type, AddName, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

std::string Languages(HMODULE module, LPCSTR type, LPCSTR name) {
    std::string list;
    EnumResourceLanguagesA(module, type, name, AddLanguage, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

std::string Load(HMODULE module, HRSRC resource) {
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return std::string();
    return std::string(static_cast<const char*>(data), SizeofResource(module, resource));
}

unsigned U8(const std::string& data, size_t at) {
    return static_cast<unsigned char>(data[at]);
}
unsigned U16(const std::string& data, size_t at) {
    return U8(data, at) | U8(data, at + 1) << 8;
}
unsigned long U32(const std::string& data, size_t at) {
    return U16(data, at) | static_cast<unsigned long>(U16(data, at + 2)) << 16;
}

void CheckTypes(HMODULE module) {
    std::string types = Types(module);
    // The manifest, type 24, is the one resource the program may gain beside these.
    const std::string manifest = " #24";
    size_t at = types.find(manifest);
    if (at != std::string::npos && at + manifest.size() == types.size())
        types.erase(at);
    CHECK_EQ(types, "#3 #10 #14 #16"); // icon image, RCDATA, icon group, version
}

void CheckLayout(HMODULE module, const std::string& expected) {
    CHECK_EQ(Names(module, RT_RCDATA), "TFORM1");
    CHECK_EQ(Languages(module, RT_RCDATA, "TFORM1"), "0000");
    std::string stream = Load(module, FindResourceExA(module, RT_RCDATA, "TFORM1", kNeutral));
    CHECK_EQ(stream.substr(0, 4), "TPF0");
    CHECK_EQ(stream.size(), expected.size());
    CHECK(stream == expected);
    // Being neutral, it is found whatever the user's language.
    CHECK(FindResourceA(module, "TFORM1", RT_RCDATA) != nullptr);
}

// The standard 16-colour palette, as RGBQUAD bytes (blue, green, red, 0).
const unsigned char kPalette[16][4] = {
    {0x00, 0x00, 0x00, 0}, {0x00, 0x00, 0x80, 0}, {0x00, 0x80, 0x00, 0}, {0x00, 0x80, 0x80, 0},
    {0x80, 0x00, 0x00, 0}, {0x80, 0x00, 0x80, 0}, {0x80, 0x80, 0x00, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0x80, 0x80, 0x80, 0}, {0x00, 0x00, 0xFF, 0}, {0x00, 0xFF, 0x00, 0}, {0x00, 0xFF, 0xFF, 0},
    {0xFF, 0x00, 0x00, 0}, {0xFF, 0x00, 0xFF, 0}, {0xFF, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0xFF, 0},
};

void CheckIconImage(const std::string& image) {
    constexpr size_t kHeader = 40, kColours = 16 * 4, kPixels = 32 * 32 / 2, kMask = 32 * 4;
    CHECK_EQ(image.size(), kHeader + kColours + kPixels + kMask);
    if (image.size() != kHeader + kColours + kPixels + kMask)
        return;
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof(header));
    CHECK_EQ(header.biSize, 40ul);
    CHECK_EQ(header.biWidth, 32l);
    CHECK_EQ(header.biHeight, 64l); // the image and its mask
    CHECK_EQ(header.biPlanes, 1);
    CHECK_EQ(header.biBitCount, 4);
    CHECK_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    CHECK(header.biClrUsed == 0 || header.biClrUsed == 16);
    CHECK(std::memcmp(image.data() + kHeader, kPalette, kColours) == 0);

    // A pixel the mask leaves transparent must be black in the image, or it would tint the
    // background; and there must be some of both kinds.
    int transparent = 0, opaque = 0, tinted = 0;
    for (size_t y = 0; y < 32; ++y) {
        for (size_t x = 0; x < 32; ++x) {
            unsigned pair = U8(image, kHeader + kColours + y * 16 + x / 2);
            unsigned index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            bool clear =
                (U8(image, kHeader + kColours + kPixels + y * 4 + x / 8) >> (7 - x % 8)) & 1;
            if (clear) {
                ++transparent;
                if (index != 0)
                    ++tinted;
            } else {
                ++opaque;
            }
        }
    }
    CHECK_EQ(tinted, 0);
    CHECK(transparent > 0);
    CHECK(opaque > 0);

    HICON icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(const_cast<char*>(image.data())),
                                          static_cast<DWORD>(image.size()), TRUE, 0x00030000, 32,
                                          32, LR_DEFAULTCOLOR);
    CHECK(icon != nullptr);
    ICONINFO info = {};
    if (icon && GetIconInfo(icon, &info)) {
        BITMAP bitmap = {};
        CHECK(GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap) != 0);
        CHECK_EQ(bitmap.bmWidth, 32l);
        CHECK_EQ(bitmap.bmHeight, 32l);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    if (icon)
        DestroyIcon(icon);
}

void CheckIcon(HMODULE module) {
    CHECK_EQ(Names(module, RT_GROUP_ICON), "MAINICON");
    CHECK_EQ(Languages(module, RT_GROUP_ICON, "MAINICON"), "0411");
    std::string group = Load(module, FindResourceExA(module, RT_GROUP_ICON, "MAINICON", kJapanese));
    CHECK_EQ(group.size(), 6u + 14u); // the directory and one entry
    if (group.size() != 6 + 14)
        return;
    CHECK_EQ(U16(group, 0), 0u); // reserved
    CHECK_EQ(U16(group, 2), 1u); // icon, not cursor
    CHECK_EQ(U16(group, 4), 1u); // images
    CHECK_EQ(U8(group, 6), 32u);
    CHECK_EQ(U8(group, 7), 32u);
    CHECK_EQ(U8(group, 8), 16u); // colours
    CHECK_EQ(U8(group, 9), 0u);
    CHECK_EQ(U16(group, 10), 1u); // planes
    CHECK_EQ(U16(group, 12), 4u); // bits per pixel
    unsigned long bytes = U32(group, 14);
    unsigned id = U16(group, 18);
    CHECK_EQ(LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(&group[0]), TRUE, 32, 32,
                                         LR_DEFAULTCOLOR),
             static_cast<int>(id));

    LPCSTR imageName = MAKEINTRESOURCEA(id);
    CHECK_EQ(Names(module, RT_ICON), NameText(imageName));
    CHECK_EQ(Languages(module, RT_ICON, imageName), "0411");
    std::string image = Load(module, FindResourceExA(module, RT_ICON, imageName, kJapanese));
    CHECK_EQ(image.size(), bytes);
    CheckIconImage(image);
}

struct VersionNode {
    std::string key;
    unsigned type = 0;        // 1: the value is text
    std::string text;         // the value up to its terminating zero, when text
    unsigned valueLength = 0; // in characters for text, in bytes otherwise
    std::vector<VersionNode> children;
};

size_t Align4(size_t at) {
    return (at + 3) & ~static_cast<size_t>(3);
}

// Reads the version block at [at, end) of data into node; false when it does not fit.
bool ReadVersionNode(const std::string& data, size_t at, size_t end, VersionNode& node) {
    if (at + 6 > end)
        return false;
    size_t length = U16(data, at);
    node.valueLength = U16(data, at + 2);
    node.type = U16(data, at + 4);
    if (length < 6 || at + length > end)
        return false;
    end = at + length;
    size_t p = at + 6;
    for (;; p += 2) {
        if (p + 2 > end)
            return false;
        unsigned c = U16(data, p);
        if (c == 0)
            break;
        node.key += c < 0x80 ? static_cast<char>(c) : '?';
    }
    p = Align4(p + 2);
    size_t valueBytes = node.type == 1 ? node.valueLength * 2u : node.valueLength;
    if (p + valueBytes > end)
        return false;
    if (node.type == 1) {
        for (size_t q = p; q < p + valueBytes && U16(data, q) != 0; q += 2)
            node.text += U16(data, q) < 0x80 ? static_cast<char>(U16(data, q)) : '?';
    }
    for (p = Align4(p + valueBytes); p < end; p = Align4(p)) {
        node.children.emplace_back();
        if (!ReadVersionNode(data, p, end, node.children.back()))
            return false;
        p += U16(data, p);
    }
    return true;
}

std::string Keys(const VersionNode& node) {
    std::string list;
    for (const VersionNode& child : node.children)
        Append(list, child.key);
    return list;
}

struct VersionString {
    const char* key;
    const char* value;
};

// In the order they are stored; the empty ones must be there all the same.
const VersionString kStrings[] = {
    {"CompanyName", ""},  {"FileDescription", ""},       {"FileVersion", "1.0.0.0"},
    {"InternalName", ""}, {"LegalTrademarks", ""},       {"OriginalFilename", "TermikaSetUp.exe"},
    {"ProductName", ""},  {"ProductVersion", "1.0.0.0"}, {"Comments", ""},
};

void CheckVersionRecord(HMODULE module) {
    std::string data =
        Load(module, FindResourceExA(module, RT_VERSION, MAKEINTRESOURCEA(1), kJapanese));
    VersionNode root;
    CHECK(ReadVersionNode(data, 0, data.size(), root));
    CHECK_EQ(root.key, "VS_VERSION_INFO");
    CHECK_EQ(Keys(root), "StringFileInfo VarFileInfo");
    if (root.children.size() != 2)
        return;
    const VersionNode& stringInfo = root.children[0];
    CHECK_EQ(Keys(stringInfo), "041103A4");
    if (stringInfo.children.size() != 1)
        return;
    const VersionNode& table = stringInfo.children[0];
    std::string keys;
    for (const VersionString& s : kStrings)
        Append(keys, s.key);
    CHECK_EQ(Keys(table), keys);
    for (const VersionNode& entry : table.children) {
        for (const VersionString& s : kStrings) {
            if (entry.key != s.key)
                continue;
            CHECK_EQ(entry.type, 1u);
            CHECK_EQ(entry.text, s.value);
            // The length counts the terminating zero, so an empty value is still one
            // character long rather than absent.
            CHECK_EQ(entry.valueLength, std::strlen(s.value) + 1);
        }
    }
    const VersionNode& varInfo = root.children[1];
    CHECK_EQ(Keys(varInfo), "Translation");
}

void CheckVersion(HMODULE module, const char* path) {
    CHECK_EQ(Names(module, RT_VERSION), "#1");
    CHECK_EQ(Languages(module, RT_VERSION, MAKEINTRESOURCEA(1)), "0411");
    CheckVersionRecord(module);

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    CHECK(size > 0);
    if (size == 0)
        return;
    std::vector<char> info(size);
    CHECK(GetFileVersionInfoA(path, 0, size, info.data()));

    void* value = nullptr;
    UINT length = 0;
    CHECK(VerQueryValueA(info.data(), "\\", &value, &length));
    CHECK_EQ(length, sizeof(VS_FIXEDFILEINFO));
    if (value && length == sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        struct Field {
            const char* name;
            DWORD actual, expected;
        };
        const Field fields[] = {
            {"signature", fixed->dwSignature, 0xFEEF04BD},
            {"structure version", fixed->dwStrucVersion, 0x00010000},
            {"file version (high)", fixed->dwFileVersionMS, 0x00010000},
            {"file version (low)", fixed->dwFileVersionLS, 0},
            {"product version (high)", fixed->dwProductVersionMS, 0x00010000},
            {"product version (low)", fixed->dwProductVersionLS, 0},
            {"flags mask", fixed->dwFileFlagsMask, 0x3F},
            {"flags", fixed->dwFileFlags, 0},
            {"OS", fixed->dwFileOS, VOS__WINDOWS32},
            {"type", fixed->dwFileType, VFT_APP},
            {"subtype", fixed->dwFileSubtype, 0},
            {"date (high)", fixed->dwFileDateMS, 0},
            {"date (low)", fixed->dwFileDateLS, 0},
        };
        for (const Field& f : fields) {
            if (f.actual != f.expected) {
                char text[128];
                std::snprintf(text, sizeof(text), "fixed version info %s is 0x%lX, expected 0x%lX",
                              f.name, f.actual, f.expected);
                Fail(__FILE__, __LINE__, text);
            }
        }
    }

    for (const VersionString& s : kStrings) {
        std::string query = std::string("\\StringFileInfo\\041103A4\\") + s.key;
        value = nullptr;
        bool found = VerQueryValueA(info.data(), query.c_str(), &value, &length) && value;
        if (!found) {
            Fail(__FILE__, __LINE__, query + " is missing");
            continue;
        }
        CHECK_EQ(std::string(static_cast<const char*>(value)), s.value);
    }

    value = nullptr;
    CHECK(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &value, &length));
    CHECK_EQ(length, 4u);
    if (value && length == 4) {
        const auto* words = static_cast<const WORD*>(value);
        CHECK_EQ(words[0], 0x0411);
        CHECK_EQ(words[1], 932);
    }
}

} // namespace

// The application manifest: elevation, density, code page and supported systems.
void CheckManifest(HMODULE module) {
    CHECK_EQ(Names(module, MAKEINTRESOURCEA(24)), std::string("#1"));
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    CHECK(resource != nullptr);
    if (!resource)
        return;
    std::string manifest = Load(module, resource);
    const char* const required[] = {
        "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
        "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">ja-JP"
        "</activeCodePage>",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
    };
    for (const char* text : required)
        if (manifest.find(text) == std::string::npos)
            Fail(__FILE__, __LINE__, std::string("the manifest lacks ") + text);
}

// The header: Terminal Server aware, relocatable, no execution of data; and imports only
// from libraries the system always takes from its own folder.
void CheckHeader(const char* path) {
    std::string image;
    CHECK(winetest::ReadFileBytes(path, image));
    if (image.size() < 0x400)
        return;
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    WORD flags = nt->OptionalHeader.DllCharacteristics;
    CHECK(flags & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
    CHECK(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    CHECK(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    CHECK_EQ(nt->FileHeader.TimeDateStamp, 0ul);

    // Map the file as the loader would, to walk the import directory.
    HMODULE mapped = LoadLibraryExA(path, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    CHECK(mapped != nullptr);
    if (!mapped)
        return;
    auto* base = reinterpret_cast<const char*>(mapped);
    auto* mnt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        mnt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::string imports;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name; ++d) {
        std::string name = base + d->Name;
        CharUpperA(&name[0]);
        Append(imports, name);
    }
    CHECK_EQ(imports, std::string("GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL"));
    FreeLibrary(mapped);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        Fail(__FILE__, __LINE__, "usage: resource_wine_test <exe> <form stream>");
        return winetest::Finish("resources");
    }
    const char* path = argv[1];
    std::string stream;
    CHECK(winetest::ReadFileBytes(argv[2], stream));
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    CHECK(module != nullptr);
    if (module) {
        CheckTypes(module);
        CheckLayout(module, stream);
        CheckIcon(module);
        CheckVersion(module, path);
        CheckManifest(module);
        FreeLibrary(module);
    }
    CheckHeader(path);
    return winetest::Finish("resources");
}
