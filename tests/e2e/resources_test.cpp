// The resources of the built program, read back from the file as the platform and outside
// tools see them: the location dialog's template, the string table, the version block, the
// icon groups, their language, and the identification text among the initialised data.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "e2e_support.h"

namespace {

constexpr WORD UsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

using Bytes = std::vector<uint8_t>;

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                        nullptr, nullptr);
    return out;
}

// Little-endian reads through a resource's bytes. A read past the end marks the reader as
// overrun and yields zeros, so a short or malformed resource fails the checks, not the driver.
class Reader {
public:
    explicit Reader(const Bytes& bytes, size_t offset = 0) : bytes_(bytes), at_(offset) {}

    size_t Offset() const { return at_; }
    bool Overrun() const { return overrun_; }
    void Seek(size_t offset) { at_ = offset; }
    void Align(size_t to) { at_ = (at_ + to - 1) / to * to; }

    uint16_t Word()
    {
        if (at_ + 2 > bytes_.size()) {
            overrun_ = true;
            return 0;
        }
        uint16_t v = static_cast<uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return v;
    }
    uint32_t Dword()
    {
        uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }

    // A NUL-terminated UTF-16 text.
    std::string Text()
    {
        std::wstring text;
        for (uint16_t c = Word(); c != 0 && !overrun_; c = Word())
            text += static_cast<wchar_t>(c);
        return Narrow(text);
    }
    // A name or an ordinal, as templates hold menus, classes and control texts; an ordinal
    // reads as "#n" and an absent name as "".
    std::string NameOrOrdinal()
    {
        size_t start = at_;
        if (Word() == 0xFFFF)
            return "#" + std::to_string(Word());
        at_ = start;
        return Text();
    }

private:
    const Bytes& bytes_;
    size_t at_;
    bool overrun_ = false;
};

// The program file loaded as data only: none of its code runs, its resources can be found.
HMODULE Program()
{
    static HMODULE module =
        LoadLibraryExA(E2eTest::Env("NRTEST_PROGRAM").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

// The bytes of one US English resource, or none when there is no such resource.
Bytes Resource(LPCSTR type, WORD id)
{
    HRSRC found = FindResourceExA(Program(), type, MAKEINTRESOURCEA(id), UsEnglish);
    if (found == nullptr)
        return Bytes();
    HGLOBAL loaded = LoadResource(Program(), found);
    const uint8_t* p = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    return p != nullptr ? Bytes(p, p + SizeofResource(Program(), found)) : Bytes();
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<WORD>*>(ids)->insert(LOWORD(reinterpret_cast<ULONG_PTR>(name)));
    else
        reinterpret_cast<std::set<WORD>*>(ids)->insert(0);  // a named resource: never expected
    return TRUE;
}

// The ids of every resource of one type, a named one counted as id 0.
std::set<WORD> ResourceIds(LPCSTR type)
{
    std::set<WORD> ids;
    EnumResourceNamesA(Program(), type, AddName, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, Program()) << "cannot load " << E2eTest::Env("NRTEST_PROGRAM")
                                      << " as data, error " << GetLastError();
    }
};

// ---------------------------------------------------------------------------------------
// Dialog template 102

struct ControlRow {
    WORD Id;
    const char* Class;
    DWORD Style;
    short X, Y, Cx, Cy;
    const char* Text;
};

// Control texts, ids and styles written out here rather than taken from the program's own
// headers, so that a wrong define there shows.
const ControlRow LocateControls[] = {
    {1, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 87, 93, 50, 14, "&OK"},
    {2, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 159, 93, 50, 14, "&Cancel"},
    {1001, "STATIC", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 11, 10, 270, 28,
     "Please insert the CD-ROM labeled \"Brenmoor Marlinth\" into your CD-ROM drive. "},
    {1002, "BUTTON", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 7, 40, 282, 41,
     "&Location of Marlinth Files"},
    {1000, "EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 12, 58, 210,
     13, ""},
    {3, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 231, 57, 50, 14,
     "&Browse..."},
};

// A control's class, written in a template either as the platform's atom or by name.
std::string ClassName(const std::string& written)
{
    static const std::map<std::string, std::string> atoms = {
        {"#128", "BUTTON"}, {"#129", "EDIT"}, {"#130", "STATIC"},
        {"#131", "LISTBOX"}, {"#132", "SCROLLBAR"}, {"#133", "COMBOBOX"}};
    auto atom = atoms.find(written);
    if (atom != atoms.end())
        return atom->second;
    std::string upper = written;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

TEST_F(ResourcesTest, LocateDialogIsAClassicTemplateWithItsFrameAndFont)
{
    Bytes dialog = Resource(RT_DIALOG, 102);
    ASSERT_FALSE(dialog.empty()) << "no US English dialog 102";
    Reader r(dialog);
    // The extended form begins with version 1 and the signature 0xFFFF where the classic
    // form has its style.
    DWORD style = r.Dword();
    EXPECT_NE(0xFFFF0001u, style) << "extended template";
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                 DS_SETFONT),
              style);
    EXPECT_EQ(0u, r.Dword()) << "extended style";
    EXPECT_EQ(6, r.Word()) << "controls";
    EXPECT_EQ(0, r.Short()) << "x";
    EXPECT_EQ(0, r.Short()) << "y";
    EXPECT_EQ(297, r.Short()) << "width";
    EXPECT_EQ(117, r.Short()) << "height";
    EXPECT_EQ("", r.NameOrOrdinal()) << "menu";
    EXPECT_EQ("", r.NameOrOrdinal()) << "window class";
    EXPECT_EQ("", r.Text()) << "caption";
    EXPECT_EQ(8, r.Word()) << "font size";
    EXPECT_EQ("MS Sans Serif", r.Text()) << "font";
    EXPECT_FALSE(r.Overrun());
}

TEST_F(ResourcesTest, LocateDialogControlsComeInTabOrderWithTheirPlacesAndTexts)
{
    Bytes dialog = Resource(RT_DIALOG, 102);
    ASSERT_FALSE(dialog.empty()) << "no US English dialog 102";
    Reader r(dialog, 8);
    const WORD count = r.Word();
    ASSERT_EQ(sizeof LocateControls / sizeof LocateControls[0], count);
    r.Seek(18);
    r.NameOrOrdinal();
    r.NameOrOrdinal();
    r.Text();
    r.Word();
    r.Text();
    int order = 0;
    for (const ControlRow& want : LocateControls) {
        SCOPED_TRACE("control " + std::to_string(++order) + ", id " + std::to_string(want.Id));
        r.Align(4);
        EXPECT_EQ(want.Style, r.Dword()) << "style";
        EXPECT_EQ(0u, r.Dword()) << "extended style";
        EXPECT_EQ(want.X, r.Short()) << "x";
        EXPECT_EQ(want.Y, r.Short()) << "y";
        EXPECT_EQ(want.Cx, r.Short()) << "width";
        EXPECT_EQ(want.Cy, r.Short()) << "height";
        EXPECT_EQ(want.Id, r.Word()) << "id";
        EXPECT_EQ(want.Class, ClassName(r.NameOrOrdinal())) << "class";
        EXPECT_EQ(want.Text, r.NameOrOrdinal()) << "text";
        EXPECT_EQ(0, r.Word()) << "creation data";
    }
    EXPECT_FALSE(r.Overrun());
    EXPECT_LE(dialog.size() - r.Offset(), 3u) << "bytes after the last control";
}

// ---------------------------------------------------------------------------------------
// String table

// Every string of the table, by id, as it is stored (sixteen counted texts a block).
std::map<UINT, std::string> StringTable()
{
    std::map<UINT, std::string> strings;
    for (WORD block : ResourceIds(RT_STRING)) {
        Bytes bytes = Resource(RT_STRING, block);
        Reader r(bytes);
        for (UINT i = 0; i < 16; ++i) {
            std::wstring text(r.Word(), L'\0');
            for (wchar_t& c : text)
                c = static_cast<wchar_t>(r.Word());
            if (!text.empty() && !r.Overrun())
                strings[(block - 1u) * 16 + i] = Narrow(text);
        }
    }
    return strings;
}

struct StringRow {
    UINT Id;
    const char* Text;
    int Limit;  // the buffer the program loads it into
};

const StringRow Strings[] = {
    {1, "Locate %s", 1024},
    {2, "Locate %s %s", 1024},
    {3, "Please enter the path to the %s.  If these files cannot be found on your system, "
        "please reinstall %s.", 1024},
    {4, "Please enter the network path to the %s.", 1024},
    {5, "Please insert the %s labeled \"%s %s%s\" into your %s drive, or enter the path to the %s.",
     1024},
    {6, "CD-ROM", 36},
    {7, "floppy", 36},
    {8, "floppy disk", 36},
    {9, ", Disk 1", 36},
    {10, "&Location of %s", 1024},
    {11, "The specified location is invalid or does not contain the %s.", 1024},
    {12, "File Location Error", 1024},
    {13, "Duzudiziv Eraziz DLL Files", 1024},
};

TEST_F(ResourcesTest, StringTableHoldsEveryTextExactly)
{
    std::map<UINT, std::string> table = StringTable();
    for (const StringRow& row : Strings) {
        SCOPED_TRACE("string " + std::to_string(row.Id));
        EXPECT_EQ(row.Text, table[row.Id]);
    }
}

TEST_F(ResourcesTest, StringTableHasNoIdsBeyondTheCommandLineError)
{
    std::map<UINT, std::string> table = StringTable();
    std::vector<UINT> ids;
    for (const auto& entry : table)
        ids.push_back(entry.first);
    EXPECT_EQ(std::vector<UINT>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}), ids);
    EXPECT_FALSE(table[14].empty()) << "the command line error";
    EXPECT_FALSE(table[15].empty()) << "its caption";
}

TEST_F(ResourcesTest, EachStringLoadsWholeIntoTheBufferTheProgramGivesIt)
{
    for (const StringRow& row : Strings) {
        SCOPED_TRACE("string " + std::to_string(row.Id));
        char buffer[1024] = {};
        int n = LoadStringA(Program(), row.Id, buffer, row.Limit);
        EXPECT_EQ(row.Text, std::string(buffer, n > 0 ? n : 0));
    }
}

// ---------------------------------------------------------------------------------------
// Version block

struct VersionNode {
    std::string Key;
    WORD Type = 0;  // 1 for text
    Bytes Value;
    std::vector<VersionNode> Children;
    bool Malformed = false;

    const VersionNode* Child(const std::string& key) const
    {
        for (const VersionNode& child : Children)
            if (child.Key == key)
                return &child;
        return nullptr;
    }
    std::string Text() const
    {
        std::wstring text;
        for (size_t i = 0; i + 1 < Value.size(); i += 2) {
            wchar_t c = static_cast<wchar_t>(Value[i] | Value[i + 1] << 8);
            if (c == 0)
                break;
            text += c;
        }
        return Narrow(text);
    }
};

// One node of the version tree at offset: its length, value length, type, key, value and
// children, each part aligned to four bytes from the start of the block.
VersionNode ReadVersionNode(const Bytes& block, size_t offset)
{
    VersionNode node;
    Reader r(block, offset);
    const size_t end = offset + r.Word();
    const WORD valueLength = r.Word();
    node.Type = r.Word();
    node.Key = r.Text();
    r.Align(4);
    size_t valueBytes = node.Type == 1 ? valueLength * 2u : valueLength;
    if (end > block.size() || end <= offset || r.Offset() + valueBytes > end || r.Overrun()) {
        node.Malformed = true;
        return node;
    }
    node.Value.assign(block.begin() + r.Offset(), block.begin() + r.Offset() + valueBytes);
    r.Seek(r.Offset() + valueBytes);
    r.Align(4);
    while (r.Offset() + 6 <= end) {
        VersionNode child = ReadVersionNode(block, r.Offset());
        node.Malformed |= child.Malformed;
        if (child.Malformed)
            break;
        Reader length(block, r.Offset());
        r.Seek(r.Offset() + length.Word());
        r.Align(4);
        node.Children.push_back(std::move(child));
    }
    return node;
}

const std::vector<std::pair<std::string, std::string>> VersionStrings = {
    {"FileDescription", "Marlinth CDROM Redirector "},
    {"FileVersion", "6.6 - 7"},
    {"InternalName", "nrcdrom.exe"},
    {"OriginalFilename", "nrcdrom.exe"},
    {"ProductName", "Brenmoor Marlinth"},
    {"ProductVersion", "6.6"},
};

class ResourcesVersionTest : public ResourcesTest {
protected:
    void SetUp() override
    {
        ResourcesTest::SetUp();
        Bytes block = Resource(RT_VERSION, 1);
        ASSERT_FALSE(block.empty()) << "no US English version block 1";
        root_ = ReadVersionNode(block, 0);
        ASSERT_FALSE(root_.Malformed);
        ASSERT_EQ("VS_VERSION_INFO", root_.Key);
    }
    const VersionNode& Root() const { return root_; }

private:
    VersionNode root_;
};

TEST_F(ResourcesVersionTest, FixedPartGivesVersionsFlagsAndSystem)
{
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), Root().Value.size());
    VS_FIXEDFILEINFO fixed;
    memcpy(&fixed, Root().Value.data(), sizeof fixed);
    EXPECT_EQ(0xFEEF04BDu, fixed.dwSignature);
    EXPECT_EQ(0x00060006u, fixed.dwFileVersionMS) << "file version 6.6";
    EXPECT_EQ(0x00070000u, fixed.dwFileVersionLS) << "file version .7.0";
    EXPECT_EQ(0x00060006u, fixed.dwProductVersionMS) << "product version 6.6";
    EXPECT_EQ(0x00000000u, fixed.dwProductVersionLS) << "product version .0.0";
    EXPECT_EQ(0x3Fu, fixed.dwFileFlagsMask);
    EXPECT_EQ(0u, fixed.dwFileFlags);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed.dwFileOS);
    EXPECT_EQ(0u, fixed.dwFileSubtype);
    EXPECT_EQ(0u, fixed.dwFileDateMS);
    EXPECT_EQ(0u, fixed.dwFileDateLS);
}

TEST_F(ResourcesVersionTest, UsEnglishStringBlockHoldsItsKeysInOrder)
{
    const VersionNode* files = Root().Child("StringFileInfo");
    ASSERT_NE(nullptr, files);
    ASSERT_EQ(1u, files->Children.size()) << "string blocks";
    const VersionNode& block = files->Children[0];
    EXPECT_EQ("040904B0", block.Key);
    // Keys beyond the six may follow or come between; the six keep their order.
    std::vector<std::pair<std::string, std::string>> known;
    for (const VersionNode& entry : block.Children)
        for (const auto& want : VersionStrings)
            if (entry.Key == want.first) {
                EXPECT_EQ(1, entry.Type) << entry.Key << " is not text";
                known.emplace_back(entry.Key, entry.Text());
            }
    EXPECT_EQ(VersionStrings, known);
}

TEST_F(ResourcesVersionTest, TranslationIsUsEnglishInUnicode)
{
    const VersionNode* vars = Root().Child("VarFileInfo");
    ASSERT_NE(nullptr, vars);
    const VersionNode* translation = vars->Child("Translation");
    ASSERT_NE(nullptr, translation);
    EXPECT_EQ(Bytes({0x09, 0x04, 0xB0, 0x04}), translation->Value);
}

// The same block once more through the platform's version calls, as a file's property
// page reads it: a tree our own reading accepts but the platform cannot walk shows here.
TEST_F(ResourcesVersionTest, PlatformReadsTheSameVersionTexts)
{
    const std::string path = E2eTest::Env("NRTEST_PROGRAM");
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    for (const auto& want : VersionStrings) {
        SCOPED_TRACE(want.first);
        std::string query = "\\StringFileInfo\\040904B0\\" + want.first;
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value),
                                   &length));
        EXPECT_EQ(want.second, std::string(value));
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00060006u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00070000u, fixed->dwFileVersionLS);
}

// ---------------------------------------------------------------------------------------
// Icons

struct IconImage {
    int Size;
    int Bits;  // 4: sixteen colours, 1: monochrome
    bool operator==(const IconImage& o) const { return Size == o.Size && Bits == o.Bits; }
};

std::ostream& operator<<(std::ostream& out, const IconImage& image)
{
    return out << image.Size << "x" << image.Size << (image.Bits == 4 ? " 16 colours" : " mono");
}

const IconImage C32 = {32, 4}, C16 = {16, 4}, M32 = {32, 1};

const std::vector<std::pair<WORD, std::vector<IconImage>>> IconGroups = {
    {101, {C32}}, {102, {C32, C16, M32}}, {103, {C32, C16}}, {104, {C32, M32, C16}},
    {105, {C32}}, {106, {C32}},           {107, {M32, C32}}, {108, {C32, C16}},
    {109, {C32, C16, M32}},               {110, {C32}},      {111, {C32}},
    {112, {C32}}, {113, {C32}},           {114, {C32}},
};

// One entry of an icon group (GRPICONDIRENTRY).
struct GroupEntry {
    int Width, Height, Colours, Planes, Bits;
    DWORD Bytes;
    WORD ImageId;
};

std::vector<GroupEntry> ReadIconGroup(const Bytes& group)
{
    std::vector<GroupEntry> entries;
    Reader r(group);
    EXPECT_EQ(0, r.Word()) << "reserved";
    EXPECT_EQ(1, r.Word()) << "resource type (icon)";
    const WORD count = r.Word();
    for (WORD i = 0; i < count && !r.Overrun(); ++i) {
        GroupEntry e;
        WORD size = r.Word();
        e.Width = size & 0xFF;
        e.Height = size >> 8;
        e.Colours = r.Word() & 0xFF;
        e.Planes = r.Word();
        e.Bits = r.Word();
        e.Bytes = r.Dword();
        e.ImageId = r.Word();
        if (!r.Overrun())
            entries.push_back(e);
    }
    EXPECT_FALSE(r.Overrun()) << "group shorter than its count";
    return entries;
}

size_t RowBytes(int pixels, int bits) { return (pixels * bits + 31) / 32 * 4; }

TEST_F(ResourcesTest, IconGroupsAreTheFourteenFrom101)
{
    std::set<WORD> want;
    for (const auto& group : IconGroups)
        want.insert(group.first);
    EXPECT_EQ(want, ResourceIds(RT_GROUP_ICON));
}

TEST_F(ResourcesTest, EachIconGroupHoldsItsImagesInOrder)
{
    std::set<WORD> used;
    for (const auto& group : IconGroups) {
        SCOPED_TRACE("icon group " + std::to_string(group.first));
        Bytes bytes = Resource(RT_GROUP_ICON, group.first);
        ASSERT_FALSE(bytes.empty());
        std::vector<IconImage> images;
        for (const GroupEntry& e : ReadIconGroup(bytes)) {
            images.push_back({e.Width, e.Bits});
            EXPECT_EQ(e.Width, e.Height);
            EXPECT_EQ(1 << e.Bits, e.Colours);
            EXPECT_EQ(1, e.Planes);
            EXPECT_TRUE(used.insert(e.ImageId).second) << "image " << e.ImageId << " shared";
        }
        EXPECT_EQ(group.second, images);
    }
    EXPECT_EQ(23u, used.size()) << "images in all";
    EXPECT_EQ(used, ResourceIds(RT_ICON)) << "every image belongs to one group";
}

// Each image is a plain bitmap the platform turns into an icon of the group's size: the header,
// a palette of 16 or 2 colours, the colour rows and the mask, nothing compressed.
TEST_F(ResourcesTest, EachIconImageIsAnUncompressedBitmapOfItsSizeAndDepth)
{
    for (const auto& group : IconGroups) {
        for (const GroupEntry& e : ReadIconGroup(Resource(RT_GROUP_ICON, group.first))) {
            SCOPED_TRACE("icon group " + std::to_string(group.first) + ", image " +
                         std::to_string(e.ImageId));
            Bytes image = Resource(RT_ICON, e.ImageId);
            ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
            EXPECT_EQ(e.Bytes, image.size()) << "size the group gives";
            BITMAPINFOHEADER header;
            memcpy(&header, image.data(), sizeof header);
            EXPECT_EQ(sizeof header, header.biSize);
            EXPECT_EQ(e.Width, header.biWidth);
            EXPECT_EQ(2 * e.Width, header.biHeight) << "colour rows and mask";
            EXPECT_EQ(1, header.biPlanes);
            EXPECT_EQ(e.Bits, header.biBitCount);
            EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);
            const size_t colours = 1u << e.Bits;
            EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == colours) << header.biClrUsed;
            EXPECT_EQ(sizeof header + 4 * colours + RowBytes(e.Width, e.Bits) * e.Width +
                          RowBytes(e.Width, 1) * e.Width,
                      image.size());
            HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()),
                                                  TRUE, 0x00030000, e.Width, e.Width, 0);
            EXPECT_NE(nullptr, icon) << "the platform cannot make an icon of it";
            if (icon != nullptr)
                DestroyIcon(icon);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Language, and what the file carries besides

struct Found {
    std::vector<std::string> Names;    // "type/id language"
    std::set<ULONG_PTR> Types;
};

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR found)
{
    reinterpret_cast<Found*>(found)->Names.push_back(
        std::to_string(reinterpret_cast<ULONG_PTR>(type)) + "/" +
        (IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name) + " " +
        std::to_string(language));
    return TRUE;
}

BOOL CALLBACK AddLanguages(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found)
{
    EnumResourceLanguagesA(module, type, name, AddLanguage, found);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR found)
{
    // A named type is recorded as 0, which no expected type is.
    reinterpret_cast<Found*>(found)->Types.insert(
        IS_INTRESOURCE(type) ? reinterpret_cast<ULONG_PTR>(type) : 0);
    EnumResourceNamesA(module, type, AddLanguages, found);
    return TRUE;
}

TEST_F(ResourcesTest, EveryResourceIsUsEnglishAndOfTheKindsTheProgramCarries)
{
    Found found;
    EnumResourceTypesA(Program(), AddType, reinterpret_cast<LONG_PTR>(&found));
    const std::set<ULONG_PTR> kinds = {3 /* icon */, 5 /* dialog */, 6 /* strings */,
                                       14 /* icon group */, 16 /* version */};
    EXPECT_EQ(kinds, found.Types);
    // 23 images, one dialog, one string block, 14 groups, one version block.
    EXPECT_EQ(40u, found.Names.size());
    for (const std::string& name : found.Names)
        EXPECT_EQ(" 1033", name.substr(name.find(' '))) << name;
}

// Where a byte offset of the file lies: the section's name and its characteristics.
struct Section {
    std::string Name;
    DWORD Characteristics = 0;
};

Section SectionAt(const std::string& file, size_t offset)
{
    Bytes bytes(file.begin(), file.end());
    Reader r(bytes, 0x3C);
    const size_t pe = r.Dword();
    r.Seek(pe);
    if (r.Dword() != 0x00004550)  // "PE\0\0"
        return Section{"(not a PE file)", 0};
    r.Seek(pe + 6);
    const WORD sections = r.Word();
    r.Seek(pe + 20);
    const size_t table = pe + 24 + r.Word();
    for (WORD i = 0; i < sections; ++i) {
        const size_t at = table + 40u * i;
        if (at + 40 > bytes.size())
            break;
        std::string name(file.data() + at, 8);
        name = name.substr(0, name.find('\0'));
        r.Seek(at + 16);
        const DWORD rawSize = r.Dword();
        const DWORD rawStart = r.Dword();
        r.Seek(at + 36);
        const DWORD characteristics = r.Dword();
        if (rawStart <= offset && offset < rawStart + rawSize)
            return Section{name, characteristics};
    }
    return Section{"(outside every section)", 0};
}

TEST_F(ResourcesTest, IdentificationTextLiesOnceInTheInitialisedData)
{
    const std::string file = E2eTest::ReadFileText(E2eTest::Env("NRTEST_PROGRAM"));
    ASSERT_FALSE(file.empty());
    const std::string ident = std::string("@(#)Marlinth CDROM Redirector 6.6 - 7") + '\0';
    const size_t at = file.find(ident);
    ASSERT_NE(std::string::npos, at) << "identification text missing";
    EXPECT_EQ(std::string::npos, file.find(ident, at + 1)) << "found twice";
    Section section = SectionAt(file, at);
    SCOPED_TRACE("in section " + section.Name);
    EXPECT_NE(0u, section.Characteristics & IMAGE_SCN_CNT_INITIALIZED_DATA);
    EXPECT_EQ(0u, section.Characteristics & (IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_EXECUTE));
    EXPECT_NE(".rsrc", section.Name) << "a resource, not program data";
}

}  // namespace
