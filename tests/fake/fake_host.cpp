// The fake machine: models what the platform promises, no more.
#include "tests/fake/fake_host.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/resource.h"
#include "res/strings.h"

namespace {

FakeHost* Current = nullptr;

constexpr long ErrorMoreData = 234;

// Set while a path in UTF-8 goes through the path rules below, where no byte is a lead byte.
bool PathsInUtf8 = false;

size_t CharAt(const std::string& s, size_t i)
{
    return !PathsInUtf8 && Current->LeadBytes.count(static_cast<unsigned char>(s[i])) != 0 &&
                   i + 1 < s.size()
               ? 2
               : 1;
}

// The offsets of the separators of a path, a double-byte character's trail byte not counted.
std::vector<size_t> Separators(const std::string& s)
{
    std::vector<size_t> found;
    for (size_t i = 0; i < s.size(); i += CharAt(s, i))
        if (CharAt(s, i) == 1 && (s[i] == '\\' || s[i] == '/'))
            found.push_back(i);
    return found;
}

// Paths compare with either separator and without trailing separators, as the platform
// resolves them.
std::string PathKey(const char* path)
{
    std::string s(path);
    for (size_t i : Separators(s))
        s[i] = '\\';
    std::vector<size_t> seps = Separators(s);
    while (s.size() > 1 && !seps.empty() && seps.back() == s.size() - 1 &&
           !(s.size() == 3 && s[1] == ':')) {
        s.pop_back();
        seps.pop_back();
    }
    return s;
}

size_t WideSize(const HostWideChar* text)
{
    size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

std::string Utf8(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string FromUtf8(const std::string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
        unsigned c = n == 1 ? b : n == 2 ? b & 0x1F : b & 0x0F;
        for (size_t k = 1; k < n && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += static_cast<char16_t>(c);
        i += n;
    }
    return out;
}

using FakeView = std::map<std::string, std::map<std::string, FakeValue, NoCase>, NoCase>;

struct FakeKey {
    std::string Path;
    uint32_t Access;
    FakeView* View;
};

std::string ParentOf(const std::string& path)
{
    std::vector<size_t> seps = Separators(path);
    return seps.empty() ? std::string() : path.substr(0, seps.back());
}

void AbortOnMisuse(const std::string& call)
{
    std::fprintf(stderr, "the fake was passed %s\n", call.c_str());
    std::abort();
}

void (*MisuseHandler)(const std::string&) = AbortOnMisuse;

std::string Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// The characters of each code page that the tests use, besides ASCII. A byte the table does
// not name is read as a private character of its own, so that it comes back as it was.
const std::map<uint32_t, std::vector<std::pair<std::string, char16_t>>>& CodePages()
{
    // clang-format off
    static const std::map<uint32_t, std::vector<std::pair<std::string, char16_t>>> pages = {
        {1252, {{"\xDC", u'Ü'}, {"\xE9", u'é'}, {"\xF6", u'ö'}, {"\x83", u'ƒ'}, {"\xC3", u'Ã'}}},
        {437, {{"\x9A", u'Ü'}, {"\x82", u'é'}, {"\x94", u'ö'}, {"\x9F", u'ƒ'}}},
        {850, {{"\x9A", u'Ü'}, {"\x82", u'é'}, {"\x94", u'ö'}, {"\x9F", u'ƒ'}, {"\xC7", u'Ã'}}},
        {1251, {{"\xCF", u'П'}, {"\xF0", u'р'}, {"\xEE", u'о'}, {"\xE5", u'е'}, {"\xEA", u'к'}, {"\xF2", u'т'}, {"\xFB", u'ы'}}},
        {866, {{"\x8F", u'П'}, {"\xE0", u'р'}, {"\xAE", u'о'}, {"\xA5", u'е'}, {"\xAA", u'к'}, {"\xE2", u'т'}, {"\xEB", u'ы'}}},
        {932, {{"\x83\x5C", u'ソ'}, {"\x95\x5C", u'表'}, {"\x83\x5F", u'ダ'}, {"\x93\xFA", u'日'}, {"\x96\x7B", u'本'}, {"\x8C\xEA", u'語'}}},
    };
    // clang-format on
    return pages;
}

// The look-alikes the platform's best fit picks, for a character a code page lacks.
char BestFit(char16_t c)
{
    switch (c) {
    case u'Ω': return 'O';
    case u'Ł': return 'L';
    default: return '?';
    }
}

bool IsLead(uint32_t codePage, unsigned char b)
{
    return codePage == 932 && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
}

// The table of a code page the fake knows; any other is a misuse, and reads as 1252.
const std::vector<std::pair<std::string, char16_t>>& TableOf(uint32_t codePage)
{
    auto it = CodePages().find(codePage);
    if (it != CodePages().end())
        return it->second;
    FakeMisuse("code page " + std::to_string(codePage));
    return CodePages().at(1252);
}

// The bytes of text in codePage; a character it lacks becomes its best fit, or with
// noBestFit a question mark, and sets usedDefault.
std::string EncodeWith(uint32_t codePage, const std::u16string& text, bool noBestFit,
                       bool* usedDefault)
{
    const auto& table = TableOf(codePage);
    std::string out;
    for (char16_t c : text) {
        auto known = std::find_if(table.begin(), table.end(),
                                  [&](const auto& entry) { return entry.second == c; });
        if (known != table.end()) {
            out += known->first;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (codePage == 932 && c >= 0x4000 && c < 0x4000 + 60 * 256) {
            unsigned index = (c - 0x4000u) / 256u;
            out += static_cast<char>(index >= 31 ? 0xE0 + index - 31 : 0x81 + index);
            out += static_cast<char>((c - 0x4000u) % 256u);
        } else if (codePage != 932 && c >= 0xF780 && c <= 0xF7FF) {
            out += static_cast<char>(c - 0xF700);
        } else {
            // A best fit is no default character: only the question mark tells.
            char fit = noBestFit ? '?' : BestFit(c);
            out += fit;
            if (fit == '?' && usedDefault != nullptr)
                *usedDefault = true;
        }
    }
    return out;
}

std::u16string Utf16(const std::string& ansi)
{
    return Decode(Fake().AnsiCodePage, ansi);
}

std::string Ansi(const std::u16string& text)
{
    return EncodeWith(Fake().AnsiCodePage, text, false, nullptr);
}

// Copies text and its terminator into a buffer of capacity units, as the platform's getters
// do: the length copied, or the size needed when it does not fit.
// Like the platform's conversions: the size needed when asked with no buffer, nothing when the
// text does not fit; the terminator is among the units when the caller counted it in.
template <typename Unit>
int Converted(const std::basic_string<Unit>& text, Unit* buffer, int capacity)
{
    if (capacity != 0 && text.size() > static_cast<size_t>(capacity))
        return 0;
    if (capacity != 0)
        std::copy(text.begin(), text.end(), buffer);
    return static_cast<int>(text.size());
}

template <typename Unit>
uint32_t CopyOut(const std::basic_string<Unit>& text, Unit* buffer, uint32_t capacity)
{
    if (text.size() + 1 > capacity)
        return static_cast<uint32_t>(text.size() + 1);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return static_cast<uint32_t>(text.size());
}

std::u16string Upper(std::u16string text)
{
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

// True, with the test's error as the last error, when the test made this call fail.
bool Injected(const std::string& call)
{
    int n = ++Fake().CallCounts[call];
    auto it = Fake().Failures.find(call);
    if (it == Fake().Failures.end() || (it->second.Nth != 0 && it->second.Nth != n))
        return false;
    Fake().LastError = it->second.Error;
    return true;
}

std::string FullPathName(const std::string& path, const std::string& cwd)
{
    std::string p = PathKey(path.c_str());
    std::string full;
    bool network = p.size() >= 2 && p[0] == '\\' && p[1] == '\\';
    if (network || (p.size() >= 3 && p[1] == ':' && p[2] == '\\'))
        full = p;
    else if (p.size() >= 2 && p[1] == ':')
        full = (NoCase()(p.substr(0, 1), cwd.substr(0, 1)) ||
                        NoCase()(cwd.substr(0, 1), p.substr(0, 1))
                    ? p.substr(0, 2)
                    : cwd) +
               "\\" + p.substr(2);
    else if (!p.empty() && p[0] == '\\')
        full = cwd.substr(0, 2) + p;
    else
        full = cwd + "\\" + p;
    if (full.size() >= 2 && full[0] == '\\' && full[1] == '\\')
        return full;
    std::vector<std::string> parts;
    std::string head = full.substr(0, 2);
    std::string rest = full.substr(3);
    size_t start = 0;
    std::vector<size_t> seps = Separators(rest);
    seps.push_back(rest.size());
    for (size_t cut : seps) {
        std::string part = rest.substr(start, cut - start);
        start = cut + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result = head + "\\";
    for (size_t i = 0; i < parts.size(); ++i)
        result += (i == 0 ? "" : "\\") + parts[i];
    return result;
}

// Made-up handles, only compared.
template <typename Handle>
Handle MadeUp(uintptr_t value)
{
    return reinterpret_cast<Handle>(value);  // NOLINT(performance-no-int-to-ptr)
}

const HostHandle FakeJobHandle = MadeUp<HostHandle>(0x5003);
const HostHandle OpenedProcess = MadeUp<HostHandle>(0x5004);

// The one tool a run starts, by the handle of its process (0x5001) or thread (0x5002).
FakeProcess& Tool(HostHandle handle, uintptr_t which)
{
    static FakeProcess none;
    if (Fake().Started.empty() || handle != MadeUp<HostHandle>(which)) {
        FakeMisuse("a handle of no started tool");
        return none;
    }
    return Fake().Started.back();
}

struct FakeFile {
    std::string Path;
    std::string Content;
    bool Reading;
    size_t Offset;
};

// The drive of a root as the program passes it, X:\ and nothing else.
const FakeDrive* DriveOf(const char* root)
{
    std::string r(root);
    if (r.size() != 3 || r[1] != ':' || r[2] != '\\') {
        FakeMisuse("a drive root " + r);
        return nullptr;
    }
    auto it = Fake().Drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(r[0]))));
    return it == Fake().Drives.end() ? nullptr : &it->second;
}

// A name matches a pattern of * and ? without regard to letter case, as the platform's
// long names do.
bool Matches(const char* pattern, const char* name)
{
    if (*pattern == '\0')
        return *name == '\0';
    if (*pattern == '*')
        return Matches(pattern + 1, name) || (*name != '\0' && Matches(pattern, name + 1));
    return *name != '\0' &&
           (*pattern == '?' || std::tolower(static_cast<unsigned char>(*pattern)) ==
                                   std::tolower(static_cast<unsigned char>(*name))) &&
           Matches(pattern + 1, name + 1);
}

struct FakeFind {
    std::vector<std::string> Names;
    size_t Next = 0;
};

bool NextFound(FakeFind* find, char* name, uint32_t capacity)
{
    if (find->Next == find->Names.size())
        return false;
    const std::string& found = find->Names[find->Next++];
    if (found.size() + 1 > capacity)
        FakeMisuse("FindFirstFile with a name buffer too small");
    std::memcpy(name, found.c_str(), std::min<size_t>(found.size() + 1, capacity));
    return true;
}

// A key exists when it was made, or when a key below it was: the registry has no key
// without its parents.
bool KeyExists(const FakeView& view, const std::string& path)
{
    for (const auto& entry : view) {
        const std::string& k = entry.first;
        if (!NoCase()(k, path) && !NoCase()(path, k))
            return true;
        if (k.size() > path.size() && k[path.size()] == '\\' &&
            !NoCase()(k.substr(0, path.size()), path) && !NoCase()(path, k.substr(0, path.size())))
            return true;
    }
    return false;
}

// A text in UTF-16, little-endian, as the registry holds it.
std::string LittleEndian(const std::u16string& text)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// A name the system gives: the one set in Unicode, or else the ANSI one.
std::u16string Either(const std::u16string& unicode, const std::string& ansi)
{
    return unicode.empty() ? Utf16(ansi) : unicode;
}

// A value written through a key open for writing, as a call the test can see.
long SetValue(HostKey key, const std::string& name, const FakeValue& value)
{
    auto* k = reinterpret_cast<FakeKey*>(key);
    if ((k->Access & HostKeyWrite) != HostKeyWrite)
        return ErrorAccessDenied;
    ++Fake().RegistryWrites;
    Fake().Calls.push_back("RegSetValueEx " + name);
    (*k->View)[k->Path][name] = value;
    return HostSuccess;
}

}  // namespace

bool NoCase::operator()(const std::string& a, const std::string& b) const
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

void FakeMisuse(const std::string& call)
{
    MisuseHandler(call);
}

void SetFakeMisuseHandler(void (*handler)(const std::string& call))
{
    MisuseHandler = handler;
}

FakeHost& Fake()
{
    if (Current == nullptr)
        ResetFake();
    return *Current;
}

void ResetFake()
{
    delete Current;
    Current = new FakeHost();
}

void UseCodePages(uint32_t ansi, uint32_t oem)
{
    Fake().AnsiCodePage = ansi;
    Fake().OemCodePage = oem;
    Fake().LeadBytes.clear();
}

void UseCodePage932()
{
    UseCodePages(932, 932);
    for (unsigned c = 0x81; c <= 0xFC; ++c)
        if (IsLead(932, static_cast<unsigned char>(c)))
            Fake().LeadBytes.insert(static_cast<unsigned char>(c));
}

std::u16string Decode(uint32_t codePage, const std::string& bytes)
{
    const auto& table = TableOf(codePage);
    std::u16string out;
    for (size_t i = 0; i < bytes.size();) {
        auto b = static_cast<unsigned char>(bytes[i]);
        size_t n = IsLead(codePage, b) && i + 1 < bytes.size() ? 2 : 1;
        std::string c = bytes.substr(i, n);
        auto known = std::find_if(table.begin(), table.end(),
                                  [&](const auto& entry) { return entry.first == c; });
        if (known != table.end())
            out += known->second;
        else if (n == 2)
            out += static_cast<char16_t>(0x4000 + (b >= 0xE0 ? b - 0xE0 + 31 : b - 0x81) * 256 +
                                         static_cast<unsigned char>(bytes[i + 1]));
        else
            out += static_cast<char16_t>(b < 0x80 ? b : 0xF700 + b);
        i += n;
    }
    return out;
}

void SetRegStringW(const std::string& key, const std::string& name, const std::u16string& text)
{
    Fake().Keys[key][name] = FakeValue{HostRegSz, LittleEndian(text + u'\0'), true};
}

HostWindow FakeDialog()
{
    return MadeUp<HostWindow>(0x1001);
}

HostWindow FakeDesktop()
{
    return MadeUp<HostWindow>(0x2002);
}

void AddFile(const std::string& path)
{
    Fake().Paths[PathKey(path.c_str())] = HostAttributeNormal;
}

void AddDirectory(const std::string& path)
{
    Fake().Paths[PathKey(path.c_str())] = HostAttributeDirectory;
}

void SetRegValue(const std::string& key, const std::string& name, uint32_t type,
                 const std::string& bytes)
{
    Fake().Keys[key][name] = FakeValue{type, bytes};
}

void SetRegString(const std::string& key, const std::string& name, const std::string& text)
{
    SetRegValue(key, name, HostRegSz, text + std::string(1, '\0'));
}

std::string RegText(const std::string& key, const std::string& name)
{
    auto k = Fake().Keys.find(key);
    if (k == Fake().Keys.end())
        return "(absent)";
    auto v = k->second.find(name);
    if (v == k->second.end())
        return "(absent)";
    std::string s = v->second.Data;
    if (v->second.Wide) {
        std::u16string wide;
        for (size_t i = 0; i + 1 < s.size(); i += 2)
            wide += static_cast<char16_t>(static_cast<unsigned char>(s[i]) |
                                          static_cast<unsigned char>(s[i + 1]) << 8);
        s = Utf8(wide);
    }
    if (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

// The process and its files.

bool HostIsDbcsLeadByte(unsigned char byte)
{
    return Fake().LeadBytes.count(byte) != 0;
}

uint32_t HostGetACP()
{
    return Fake().AnsiCodePage;
}

int HostGetLocaleInfo(uint32_t locale, uint32_t type, char* buffer, int capacity)
{
    std::string digits = std::to_string(Fake().OemCodePage);
    if (locale != HostLocaleSystemDefault || type != HostLocaleIDefaultCodePage) {
        FakeMisuse("GetLocaleInfo " + Hex(locale) + " " + Hex(type));
        return 0;
    }
    if (digits.size() + 1 > static_cast<size_t>(capacity))
        return 0;
    std::memcpy(buffer, digits.c_str(), digits.size() + 1);
    return static_cast<int>(digits.size() + 1);
}

int HostMultiByteToWideChar(uint32_t codePage, const char* text, int length, HostWideChar* buffer,
                            int capacity)
{
    std::string bytes = length < 0 ? std::string(text, std::strlen(text) + 1)
                                   : std::string(text, static_cast<size_t>(length));
    return Converted(Decode(codePage == HostCpAcp ? Fake().AnsiCodePage : codePage, bytes), buffer,
                     capacity);
}

int HostWideCharToMultiByte(uint32_t codePage, uint32_t flags, const HostWideChar* text, int length,
                            char* buffer, int capacity, bool* usedDefault)
{
    std::u16string wide = length < 0 ? std::u16string(text, WideSize(text) + 1)
                                     : std::u16string(text, static_cast<size_t>(length));
    *usedDefault = false;
    if (flags != 0 && flags != HostWcNoBestFitChars)
        FakeMisuse("WideCharToMultiByte " + Hex(flags));
    return Converted(EncodeWith(codePage == HostCpAcp ? Fake().AnsiCodePage : codePage, wide,
                                (flags & HostWcNoBestFitChars) != 0, usedDefault),
                     buffer, capacity);
}

uint32_t HostGetShortPathName(const HostWideChar* path, HostWideChar* buffer, uint32_t capacity)
{
    std::u16string name(path);
    auto it = Fake().ShortNames.find(name);
    return CopyOut(it != Fake().ShortNames.end() ? it->second : name, buffer, capacity);
}

// Like the platform: the count of units copied, or the capacity when the name was cut.
uint32_t HostGetModuleFileName(HostWideChar* buffer, uint32_t capacity)
{
    if (Injected("GetModuleFileName"))
        return 0;
    std::u16string name = Either(Fake().ModuleFileNameW, Fake().ModuleFileName);
    if (name.size() >= capacity) {
        std::copy(name.begin(), name.begin() + capacity - 1, buffer);
        buffer[capacity - 1] = 0;
        return capacity;
    }
    return CopyOut(name, buffer, capacity);
}

uint32_t HostGetCurrentDirectory(uint32_t capacity, HostWideChar* buffer)
{
    return CopyOut(Either(Fake().CurrentDirectoryW, Fake().CurrentDirectory), buffer, capacity);
}

// Like the platform: a relative path joined to the current directory (a leading separator to
// its drive), then . and .. resolved; the length copied, or the size needed. The rules run on
// UTF-8, where a separator byte is always a separator.
uint32_t HostGetFullPathName(const HostWideChar* path, uint32_t capacity, HostWideChar* buffer)
{
    std::u16string cwd = Either(Fake().CurrentDirectoryW, Fake().CurrentDirectory);
    PathsInUtf8 = true;
    std::string full = FullPathName(Utf8(path), Utf8(cwd));
    PathsInUtf8 = false;
    return CopyOut(FromUtf8(full), buffer, capacity);
}

uint32_t HostGetCurrentProcessId()
{
    return Fake().ProcessId;
}

uint32_t HostGetLastError()
{
    return Fake().LastError;
}

// The system's texts for the few errors the fake gives, with the line end they come with.
uint32_t HostFormatMessage(uint32_t error, char* buffer, uint32_t capacity)
{
    const std::map<uint32_t, std::string> texts = {
        {ErrorFileNotFound, "The system cannot find the file specified.\r\n"},
        {ErrorAccessDenied, "Access is denied.\r\n"},
        {ErrorSharingViolation,
         "The process cannot access the file because it is being used by another process.\r\n"},
    };
    auto it = texts.find(error);
    if (it == texts.end() || it->second.size() + 1 > capacity)
        return 0;
    std::memcpy(buffer, it->second.c_str(), it->second.size() + 1);
    return static_cast<uint32_t>(it->second.size());
}

// Made-up handles, only compared: 0x3001 for standard input, 0x3002 output, 0x3003 error.
HostFile HostGetStdHandle(uint32_t which)
{
    bool has = which == HostStdInputHandle    ? Fake().HasStdInput
               : which == HostStdOutputHandle ? Fake().HasStdOutput
                                              : Fake().HasStdError;
    return has ? MadeUp<HostFile>(0x3000 + HostStdInputHandle + 1 - which) : nullptr;
}

uint32_t HostGetFileAttributes(const char* path)
{
    Fake().Calls.push_back(std::string("GetFileAttributes ") + path);
    std::string key = PathKey(path);
    if (key.size() >= 260)
        return HostNoAttributes;
    auto it = Fake().Paths.find(key);
    if (it != Fake().Paths.end())
        return it->second;
    if (Fake().Files.count(key) != 0)
        return HostAttributeNormal;
    return HostNoAttributes;
}

uint32_t HostSetErrorMode(uint32_t mode)
{
    uint32_t old = Fake().ErrorMode;
    Fake().ErrorMode = mode;
    Fake().Calls.push_back("SetErrorMode " + std::to_string(mode));
    return old;
}

uint32_t HostGetEnvironmentVariable(const char* name, char* buffer, uint32_t size)
{
    auto it = Fake().Environment.find(name);
    return it == Fake().Environment.end() ? 0 : CopyOut(it->second, buffer, size);
}

// A variable set in Unicode is read in Unicode; one of the ANSI Environment is decoded.
uint32_t HostGetEnvironmentVariableW(const HostWideChar* name, HostWideChar* buffer, uint32_t size)
{
    std::u16string key = Upper(name);
    auto wide = Fake().EnvironmentW.find(key);
    if (wide != Fake().EnvironmentW.end())
        return CopyOut(wide->second, buffer, size);
    auto it = Fake().Environment.find(Ansi(key));
    if (it == Fake().Environment.end())
        return 0;
    return CopyOut(Utf16(it->second), buffer, size);
}

bool HostSetEnvironmentVariableW(const HostWideChar* name, const HostWideChar* value)
{
    std::u16string key = Upper(name);
    Fake().EnvironmentW[key] = value;
    Fake().Environment[Ansi(key)] = Ansi(value);
    return true;
}

// Like the platform: %NAME% of a set variable replaced by its value, anything else kept; the
// size needed with the terminator, whether or not it fitted.
uint32_t HostExpandEnvironmentStrings(const HostWideChar* text, HostWideChar* buffer,
                                      uint32_t capacity)
{
    std::u16string in(text), out;
    for (size_t i = 0; i < in.size();) {
        size_t end = in[i] == u'%' ? in.find(u'%', i + 1) : std::u16string::npos;
        auto var = end != std::u16string::npos
                       ? Fake().Environment.find(Ansi(in.substr(i + 1, end - i - 1)))
                       : Fake().Environment.end();
        if (var != Fake().Environment.end()) {
            out += Utf16(var->second);
            i = end + 1;
        } else {
            out += in[i++];
        }
    }
    CopyOut(out, buffer, capacity);
    return static_cast<uint32_t>(out.size() + 1);
}

HostMemory HostGlobalAlloc(uint32_t flags, uint32_t bytes)
{
    Fake().LastAllocSize = bytes;
    if (flags != HostGmemMoveableZeroInit)
        FakeMisuse("GlobalAlloc " + Hex(flags));
    if (Injected("GlobalAlloc") || flags != HostGmemMoveableZeroInit)
        return nullptr;
    ++Fake().OpenBlocks;
    return static_cast<HostMemory>(std::calloc(bytes == 0 ? 1 : bytes, 1));
}

void* HostGlobalLock(HostMemory block)
{
    return block;
}

void HostGlobalUnlock(HostMemory) {}

void HostGlobalFree(HostMemory block)
{
    --Fake().OpenBlocks;
    std::free(block);
}

bool HostCreateProcess(char* commandLine, uint32_t creationFlags, HostStart* start)
{
    Fake().Calls.push_back(std::string("CreateProcess ") + commandLine);
    if (Injected("CreateProcess"))
        return false;
    auto it = Fake().Environment.find("PATH");
    auto wide = Fake().EnvironmentW.find(u"PATH");
    Fake().Started.push_back(FakeProcess{
        commandLine, creationFlags, it == Fake().Environment.end() ? "(unset)" : it->second,
        wide != Fake().EnvironmentW.end()
            ? wide->second
            : (it != Fake().Environment.end() ? Utf16(it->second) : u"(unset)"),
        Fake().ErrorMode});
    FakeProcess& process = Fake().Started.back();
    process.Suspended = (creationFlags & HostCreateSuspended) != 0;
    if (start != nullptr && start->UseStdHandles) {
        // A handle that is not inheritable is no handle in the child.
        const auto inherited = [](HostFile file) {
            return Fake().InheritableHandles.count(file) != 0 ? file : nullptr;
        };
        process.UseStdHandles = true;
        process.StdInput = inherited(start->StdInput);
        process.StdOutput = inherited(start->StdOutput);
        process.StdError = inherited(start->StdError);
    }
    if (start != nullptr) {
        start->Process = MadeUp<HostHandle>(0x5001);
        start->Thread = MadeUp<HostHandle>(0x5002);
    }
    return true;
}

bool HostAttachConsole(uint32_t processId)
{
    if (processId != HostAttachParentProcess)
        FakeMisuse("AttachConsole " + Hex(processId));
    if (!Fake().ParentHasConsole || Fake().AttachedToConsole)
        return false;
    Fake().AttachedToConsole = Fake().HasStdInput = Fake().HasStdOutput = true;
    if (!Fake().HasStdError)
        Fake().HasStdError = Fake().StdErrorIsConsole = true;
    return true;
}

bool HostSetStdHandle(uint32_t which, HostFile file)
{
    if (which != HostStdErrorHandle)
        FakeMisuse("SetStdHandle " + Hex(which));
    Fake().HasStdError = file != nullptr;
    return true;
}

bool HostSetHandleInformation(HostFile file, uint32_t mask, uint32_t flags)
{
    if (mask != HostHandleFlagInherit || flags != mask)
        FakeMisuse("SetHandleInformation " + Hex(mask) + " " + Hex(flags));
    Fake().InheritableHandles.insert(file);
    return true;
}

HostHandle HostCreateJobObject()
{
    return Injected("CreateJobObject") ? nullptr : FakeJobHandle;
}

bool HostSetJobLimitFlags(HostHandle job, uint32_t limitFlags)
{
    if (job != FakeJobHandle)
        FakeMisuse("SetJobLimitFlags of no job");
    Fake().JobLimits = limitFlags;
    return true;
}

bool HostAssignProcessToJobObject(HostHandle job, HostHandle process)
{
    FakeProcess& tool = Tool(process, 0x5001);
    if (job != FakeJobHandle)
        FakeMisuse("AssignProcessToJobObject of no job");
    tool.InJob = !Injected("AssignProcessToJobObject");
    return tool.InJob;
}

uint32_t HostResumeThread(HostHandle thread)
{
    FakeProcess& tool = Tool(thread, 0x5002);
    if (!tool.Suspended)
        FakeMisuse("ResumeThread of a tool that runs");
    tool.Suspended = false;
    tool.JobLimitsWhileRunning = tool.InJob ? int64_t{Fake().JobLimits} : -1;
    return 1;
}

// The tool runs to its end at once; a wait for one never let go would not end. A process
// opened by its id still runs, and is only ever asked whether it does.
uint32_t HostWaitForSingleObject(HostHandle object, uint32_t milliseconds)
{
    if (object == OpenedProcess) {
        if (milliseconds != 0)
            FakeMisuse("WaitForSingleObject that waits for an opened process");
        return HostWaitTimeout;
    }
    FakeProcess& tool = Tool(object, 0x5001);
    if (tool.Suspended || milliseconds != HostInfinite)
        FakeMisuse("WaitForSingleObject of a suspended tool, or for a while only");
    tool.Ended = true;
    return HostWaitObject0;
}

bool HostGetExitCodeProcess(HostHandle process, uint32_t* exitCode)
{
    *exitCode = Tool(process, 0x5001).Ended ? Fake().ToolExitCode : 259;  // STILL_ACTIVE
    return true;
}

// Opens an existing file for reading with others allowed to read, or makes a new one for
// writing alone: the two ways the program opens files.
HostFile HostCreateFile(const char* path, uint32_t access, uint32_t share, uint32_t disposition,
                        uint32_t attributes)
{
    std::string key = PathKey(path);
    bool reading = access == HostGenericRead && share == HostFileShareRead &&
                   disposition == HostOpenExisting && attributes == HostAttributeNormal;
    bool writing = access == HostGenericWrite && share == 0 && disposition == HostCreateAlways &&
                   attributes == HostAttributeNormal;
    if (!reading && !writing) {
        FakeMisuse("CreateFile " + key + " " + Hex(access) + " " + Hex(share) + " " +
                   Hex(disposition) + " " + Hex(attributes));
        return nullptr;
    }
    Fake().LastError = ErrorSharingViolation;
    if (Fake().LockedFiles.count(key) != 0)
        return nullptr;
    Fake().LastError = ErrorAccessDenied;
    if (reading) {
        auto it = Fake().Files.find(key);
        if (it == Fake().Files.end())
            return nullptr;
        return reinterpret_cast<HostFile>(new FakeFile{key, it->second, true, 0});
    }
    std::string parent = ParentOf(key);
    auto dir = Fake().Paths.find(parent);
    bool driveRoot = parent.size() == 2 && parent[1] == ':';
    if (!parent.empty() && !driveRoot &&
        (dir == Fake().Paths.end() || !(dir->second & HostAttributeDirectory)))
        return nullptr;
    Fake().Files[key] = "";
    return reinterpret_cast<HostFile>(new FakeFile{key, "", false, 0});
}

bool HostWriteFile(HostFile file, const void* data, uint32_t bytes)
{
    if (file == HostGetStdHandle(HostStdErrorHandle)) {
        Fake().StdError.append(static_cast<const char*>(data), bytes);
        return true;
    }
    auto* f = reinterpret_cast<FakeFile*>(file);
    ++Fake().Writes;
    if (f->Reading) {
        FakeMisuse("WriteFile to a file open for reading");
        return false;
    }
    if (Injected("WriteFile"))
        return false;
    f->Content.append(static_cast<const char*>(data), bytes);
    Fake().Files[f->Path] = f->Content;
    return true;
}

bool HostGetConsoleMode(HostFile file)
{
    return file == HostGetStdHandle(HostStdErrorHandle) && Fake().StdErrorIsConsole;
}

bool HostWriteConsole(HostFile, const HostWideChar* text, uint32_t length)
{
    Fake().ConsoleText.append(text, length);
    return true;
}

bool HostReadFile(HostFile file, void* buffer, uint32_t capacity, uint32_t* read)
{
    auto* f = reinterpret_cast<FakeFile*>(file);
    if (Injected("ReadFile")) {
        *read = 0;
        return false;
    }
    size_t n = f->Reading ? std::min<size_t>(capacity, f->Content.size() - f->Offset) : 0;
    std::memcpy(buffer, f->Content.data() + f->Offset, n);
    f->Offset += n;
    *read = static_cast<uint32_t>(n);
    return f->Reading;
}

void HostCloseHandle(HostFile file)
{
    delete reinterpret_cast<FakeFile*>(file);
}

bool HostMoveFileEx(const char* from, const char* to, uint32_t flags)
{
    std::string src = PathKey(from), dst = PathKey(to);
    if (flags != (HostMoveReplaceExisting | HostMoveWriteThrough))
        FakeMisuse("MoveFileEx " + Hex(flags));
    Fake().Calls.push_back("MoveFileEx " + src + " " + dst);
    if (Injected("MoveFileEx"))
        return false;
    // A file held open elsewhere is not replaced: access is denied, as Wine reports it.
    Fake().LastError = ErrorAccessDenied;
    if (Fake().LockedFiles.count(dst) != 0 || Fake().Files.count(src) == 0)
        return false;
    if (Fake().Files.count(dst) != 0 && !(flags & HostMoveReplaceExisting))
        return false;
    Fake().Files[dst] = Fake().Files[src];
    Fake().Files.erase(src);
    return true;
}

uint32_t HostGetLogicalDrives()
{
    Fake().Calls.push_back("GetLogicalDrives");
    uint32_t mask = 0;
    for (const auto& drive : Fake().Drives)
        mask |= 1u << (drive.first - 'A');
    return mask;
}

uint32_t HostGetDriveType(const char* root)
{
    Fake().Calls.push_back(std::string("GetDriveType ") + root);
    const FakeDrive* drive = DriveOf(root);
    return drive != nullptr ? drive->Type : 1;  // DRIVE_NO_ROOT_DIR
}

bool HostGetVolumeInformation(const char* root, HostWideChar* label, uint32_t labelCapacity,
                              uint32_t* serial)
{
    Fake().Calls.push_back(std::string("GetVolumeInformation ") + root);
    const FakeDrive* drive = DriveOf(root);
    if (drive == nullptr || drive->NoVolume || drive->Label.size() + 1 > labelCapacity)
        return false;
    CopyOut(drive->Label, label, labelCapacity);
    *serial = drive->Serial;
    return true;
}

bool HostDeleteFile(const char* path)
{
    Fake().Calls.push_back(std::string("DeleteFile ") + path);
    return Fake().Files.erase(PathKey(path)) != 0;
}

HostFind HostFindFirstFile(const char* pattern, char* name, uint32_t capacity)
{
    std::string key = PathKey(pattern);
    std::string dir = ParentOf(key);
    std::string names = key.substr(dir.size() + 1);
    auto* find = new FakeFind;
    for (const auto& file : Fake().Files) {
        std::string parent = ParentOf(file.first);
        std::string name = parent.empty() ? file.first : file.first.substr(parent.size() + 1);
        if (!NoCase()(parent, dir) && !NoCase()(dir, parent) &&
            Matches(names.c_str(), name.c_str()))
            find->Names.push_back(name);
    }
    if (!NextFound(find, name, capacity)) {
        delete find;
        return nullptr;
    }
    return reinterpret_cast<HostFind>(find);
}

bool HostFindNextFile(HostFind find, char* name, uint32_t capacity)
{
    return NextFound(reinterpret_cast<FakeFind*>(find), name, capacity);
}

void HostFindClose(HostFind find)
{
    delete reinterpret_cast<FakeFind*>(find);
}

HostHandle HostOpenProcess(uint32_t access, uint32_t processId)
{
    if (access != HostSynchronize)
        FakeMisuse("OpenProcess " + Hex(access));
    if (processId != Fake().ProcessId && Fake().OtherProcesses.count(processId) == 0) {
        Fake().LastError = HostErrorInvalidParameter;
        return nullptr;
    }
    return OpenedProcess;  // every process the fake opens is one that runs
}

void HostCloseHandle(HostHandle) {}

// The registry.

long HostRegOpenKeyEx(const char* localMachineSubKey, uint32_t access, HostKey* key)
{
    *key = nullptr;
    uint32_t asked = access & ~HostKeyWow6464Key;
    if (asked != HostKeyQueryValue && asked != HostKeyWrite)
        FakeMisuse(std::string("RegOpenKeyEx ") + localMachineSubKey + " " + Hex(access));
    // The 64-bit view is there only on a 64-bit system; elsewhere the flag is ignored.
    FakeView& view =
        (access & HostKeyWow6464Key) != 0 && Fake().Is64BitSystem ? Fake().Keys64 : Fake().Keys;
    access &= ~HostKeyWow6464Key;
    if (!KeyExists(view, localMachineSubKey))
        return ErrorFileNotFound;
    if ((access & ~HostKeyQueryValue) != 0 && Fake().ReadOnlyKeys.count(localMachineSubKey))
        return ErrorAccessDenied;
    ++Fake().OpenKeys;
    *key = reinterpret_cast<HostKey>(new FakeKey{localMachineSubKey, access, &view});
    return HostSuccess;
}

// Like the platform's Unicode call: a string stored in ANSI comes back in UTF-16, byte for
// unit, terminated or not as it was stored; data need not end in NUL, and a value larger
// than the buffer gives ERROR_MORE_DATA with the size it needs.
long HostRegQueryValueEx(HostKey key, const HostWideChar* name, uint32_t* type, void* data,
                         uint32_t* size)
{
    auto* k = reinterpret_cast<FakeKey*>(key);
    if ((k->Access & HostKeyQueryValue) == 0)
        return ErrorAccessDenied;
    auto& values = (*k->View)[k->Path];
    auto it = values.find(Ansi(name));
    if (it == values.end())
        return ErrorFileNotFound;
    const FakeValue& v = it->second;
    *type = v.Type;
    std::string bytes = v.Data;
    bool text = v.Type == HostRegSz || v.Type == HostRegExpandSz || v.Type == HostRegMultiSz;
    if (text && !v.Wide)
        bytes = LittleEndian(Utf16(v.Data));
    if (bytes.size() > *size) {
        *size = static_cast<uint32_t>(bytes.size());
        return ErrorMoreData;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<uint32_t>(bytes.size());
    return HostSuccess;
}

long HostRegSetValueEx(HostKey key, const char* name, uint32_t type, const void* data,
                       uint32_t size)
{
    return SetValue(key, name, FakeValue{type, std::string(static_cast<const char*>(data), size)});
}

long HostRegSetValueExW(HostKey key, const HostWideChar* name, uint32_t type, const void* data,
                        uint32_t size)
{
    if (type != HostRegSz || size % 2 != 0)
        FakeMisuse("RegSetValueExW of a type or size that is no UTF-16 string");
    return SetValue(key, Utf8(std::u16string(name, WideSize(name))),
                    FakeValue{type, std::string(static_cast<const char*>(data), size), true});
}

long HostRegDeleteValue(HostKey key, const char* name)
{
    auto* k = reinterpret_cast<FakeKey*>(key);
    if ((k->Access & HostKeyWrite) != HostKeyWrite)
        return ErrorAccessDenied;
    Fake().Calls.push_back(std::string("RegDeleteValue ") + name);
    return (*k->View)[k->Path].erase(name) != 0 ? HostSuccess : ErrorFileNotFound;
}

void HostRegCloseKey(HostKey key)
{
    --Fake().OpenKeys;
    delete reinterpret_cast<FakeKey*>(key);
}

// Strings, dialogs and windows.

// The program's string table.
int HostLoadString(HostInstance, uint32_t id, char* buffer, int capacity)
{
    // clang-format off
    static const std::map<uint32_t, std::string> strings = {
        {IDS_LOCATE, STR_LOCATE}, {IDS_LOCATE_PRODUCT, STR_LOCATE_PRODUCT},
        {IDS_PROMPT_INSTALLED, STR_PROMPT_INSTALLED}, {IDS_PROMPT_NETWORK, STR_PROMPT_NETWORK},
        {IDS_PROMPT_INSERT, STR_PROMPT_INSERT}, {IDS_MEDIA_CDROM, STR_MEDIA_CDROM},
        {IDS_DRIVE_FLOPPY, STR_DRIVE_FLOPPY}, {IDS_MEDIA_FLOPPY, STR_MEDIA_FLOPPY},
        {IDS_LABEL_DISK1, STR_LABEL_DISK1}, {IDS_LOCATION_OF, STR_LOCATION_OF},
        {IDS_BAD_LOCATION, STR_BAD_LOCATION}, {IDS_BAD_LOCATION_CAPTION, STR_BAD_LOCATION_CAPTION},
        {IDS_DEFAULT_TITLE, STR_DEFAULT_TITLE}, {IDS_BAD_COMMAND_LINE, STR_BAD_COMMAND_LINE},
        {IDS_BAD_COMMAND_LINE_CAPTION, STR_BAD_COMMAND_LINE_CAPTION}, {IDS_UNATTENDED_MISSING, STR_UNATTENDED_MISSING},
        {IDS_UNATTENDED_REFUSED, STR_UNATTENDED_REFUSED}, {IDS_START_FAILED, STR_START_FAILED},
        {IDS_START_FAILED_CAPTION, STR_START_FAILED_CAPTION}, {IDS_UNATTENDED_START_FAILED, STR_UNATTENDED_START_FAILED},
        {IDS_UNATTENDED_SCRIPT_FAILED, STR_UNATTENDED_SCRIPT_FAILED}, {IDS_UNATTENDED_UNSPELLABLE, STR_UNATTENDED_UNSPELLABLE},
        {IDS_UNATTENDED_NEW_VOLUME, STR_UNATTENDED_NEW_VOLUME}, {IDS_UNATTENDED_OTHER_VOLUME, STR_UNATTENDED_OTHER_VOLUME},
    };
    // clang-format on
    auto it = strings.find(id);
    if (it == strings.end() || capacity <= 0)
        return 0;
    size_t n = it->second.size();
    if (n > static_cast<size_t>(capacity - 1))
        n = static_cast<size_t>(capacity - 1);
    std::memcpy(buffer, it->second.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

intptr_t HostDialogBoxParam(HostInstance, uint32_t templateId, HostWindow owner,
                            HostDialogProc proc, intptr_t param)
{
    Fake().DialogRuns.push_back(FakeHost::DialogRun{templateId, owner, param});
    if (!Fake().DialogScript)
        return -1;
    return Fake().DialogScript(proc);
}

void HostEndDialog(HostWindow, intptr_t result)
{
    Fake().EndDialogResults.push_back(result);
}

// Like the platform: as much of the field as fits, cut, and terminated.
uint32_t HostGetDlgItemText(HostWindow, int id, HostWideChar* buffer, int capacity)
{
    auto wide = Fake().DialogTextsW.find(id);
    std::u16string text =
        wide != Fake().DialogTextsW.end() ? wide->second : Utf16(Fake().DialogTexts[id]);
    size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    buffer[n] = 0;
    return static_cast<uint32_t>(n);
}

void HostSetDlgItemText(HostWindow, int id, const char* text)
{
    Fake().DialogTexts[id] = text;
    Fake().DialogTextsW.erase(id);
}

void HostSetWindowText(HostWindow, const char* text)
{
    Fake().Caption = text;
}

bool HostGetWindowRect(HostWindow window, HostRect* rect)
{
    auto it = Fake().Rects.find(window);
    if (it == Fake().Rects.end())
        return false;
    *rect = it->second;
    return true;
}

void HostSetWindowPos(HostWindow window, HostWindow insertAfter, int x, int y, int, int,
                      uint32_t flags)
{
    if (flags != HostSwpNoSizeNoZOrder)
        FakeMisuse("SetWindowPos " + Hex(flags));
    Fake().Moves.push_back(FakeHost::Move{window, insertAfter, x, y});
}

HostWindow HostGetDesktopWindow()
{
    return FakeDesktop();
}

int HostMessageBox(HostWindow owner, const char* text, const char* caption, uint32_t type)
{
    if (type != HostMbIconError)
        FakeMisuse("MessageBox " + Hex(type));
    Fake().MessageBoxes.push_back(FakeMessageBox{owner, text, caption});
    return 1;
}

// Records the request in ANSI, as the tests write their expectations.
bool HostGetOpenFileName(HostOpenFileRequest* request)
{
    FakeOpenFile seen{};
    seen.Owner = request->Owner;
    const HostWideChar* f = request->Filter;
    while (*f != 0)
        f += WideSize(f) + 1;
    seen.Filter =
        Ansi(std::u16string(request->Filter, static_cast<size_t>(f - request->Filter) + 1));
    seen.PresetFile = Ansi(request->File);
    seen.InitialDir = request->InitialDir != nullptr ? Ansi(request->InitialDir) : "(none)";
    seen.Title = Ansi(request->Title);
    Fake().OpenFileRequests.push_back(seen);
    std::u16string choice = Either(Fake().OpenFileChoiceW, Fake().OpenFileChoice);
    if (choice.empty() || choice.size() + 1 > request->FileCapacity)
        return false;
    CopyOut(choice, request->File, request->FileCapacity);
    return true;
}
