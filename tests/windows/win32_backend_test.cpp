// Unit tests of the Windows back end, run under Wine (or on Windows): the code page codec,
// the byte layer over pipes and devices, the console sink's conversion, the process locale
// and the executable's version record. Usage: win32_backend_test <path of huecast.exe>.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "io/utf16.h"
#include "platform/win32/code_page_codec.h"
#include "platform/win32/handle_streams.h"
#include "platform/win32/process_locale.h"
#include "qel/memory.h"
#include "qel/os.h"

namespace {

int failures = 0;

std::string printable(std::string_view bytes) {
    std::string out;
    char hex[8];
    for (const char c : bytes) {
        std::snprintf(hex, sizeof hex, "%02X ", static_cast<unsigned char>(c));
        out += hex;
    }
    return out;
}

std::string printable(std::u16string_view text) {
    std::string out;
    char hex[8];
    for (const char16_t c : text) {
        std::snprintf(hex, sizeof hex, "%04X ", static_cast<unsigned>(c));
        out += hex;
    }
    return out;
}

std::string printable(std::size_t n) { return std::to_string(n); }

#define CHECK(condition)                                                          \
    do {                                                                          \
        if (!(condition)) {                                                       \
            ++failures;                                                           \
            std::printf("%s:%d: failed: %s\n", __FILE__, __LINE__, #condition);   \
        }                                                                         \
    } while (0)

#define CHECK_EQ(actual, expected)                                                                  \
    do {                                                                                            \
        const auto& a_ = (actual);                                                                  \
        const auto& e_ = (expected);                                                                \
        if (!(a_ == e_)) {                                                                          \
            ++failures;                                                                             \
            std::printf("%s:%d: %s\n  got      %s\n  expected %s\n", __FILE__, __LINE__, #actual,  \
                        printable(a_).c_str(), printable(e_).c_str());                              \
        }                                                                                           \
    } while (0)

// The codecs' UTF-8 text as 16-bit text, where the expectations are easier to write: an
// escaped byte is U+DC00 + the byte either way.
std::u16string decode(const io::codec& codec, std::string_view bytes) {
    std::string text;
    codec.decode(bytes, text);
    return io::utf16::to_utf16(text);
}

std::string encode(const io::codec& codec, std::u16string_view text) {
    std::string bytes;
    codec.encode(io::utf16::to_utf8(text), bytes);
    return bytes;
}

std::string all_bytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    return bytes;
}

void single_byte_code_pages() {
    const platform::code_page_codec oem(437);
    CHECK(!oem.double_byte());
    CHECK_EQ(decode(oem, std::string_view("caf\x82 \x9c\x00\x1a", 8)), std::u16string(u"caf\u00e9 \u00a3\0\x1a", 8));
    CHECK_EQ(encode(oem, u"na\u00efve \u00e9"), std::string("na\x8bve \x82"));
    // Every byte comes back as itself, so copied text needs no decoding.
    CHECK_EQ(encode(oem, decode(oem, all_bytes())), all_bytes());
    // What the code page cannot hold becomes "?", and writing goes on.
    CHECK_EQ(encode(oem, u"\u4e2d|\u0416|\U0001F600|x"), std::string("?|?|?|x"));
    // Escaped bytes go out as the bytes they stand for, and so do bytes that are no UTF-8.
    CHECK_EQ(encode(oem, u"a\xdc80\xdcff\xdc41" u"b"), std::string("a\x80\xff" "Ab"));
    std::string stray;
    oem.encode("a\xff\xc3(", stray);
    CHECK_EQ(stray, std::string("a\xff\xc3("));

    const platform::code_page_codec cyrillic(866);
    CHECK_EQ(decode(cyrillic, "\xae\xe8\xa8\xa1\xaa\xa0"), std::u16string(u"ошибка"));
    CHECK_EQ(encode(cyrillic, u"ОШИБКА ok"), std::string("\x8e\x98\x88\x81\x8a\x80 ok"));
}

void double_byte_code_pages() {
    const platform::code_page_codec sjis(932);
    CHECK(sjis.double_byte());
    CHECK(sjis.is_lead_byte(0x93));
    CHECK(!sjis.is_lead_byte('A'));
    CHECK_EQ(decode(sjis, "\x93\xfa\x96\x7b" "a"), std::u16string(u"日本a"));
    CHECK_EQ(encode(sjis, u"日本a"), std::string("\x93\xfa\x96\x7b" "a"));

    // A lead byte without a partner stands alone, and the byte after it is read afresh:
    // at the end, before NUL, and before a byte that makes no character with it.
    const std::string odd("\x93\x00x\x93", 4);
    CHECK_EQ(decode(sjis, odd), std::u16string(u"\xdc93\0x\xdc93", 4));
    CHECK_EQ(encode(sjis, decode(sjis, odd)), odd);
    const std::string unpaired("\x81\x7f" "b");
    const std::u16string unpaired_text = decode(sjis, unpaired);
    CHECK_EQ(unpaired_text.substr(0, 1), std::u16string(u"\xdc81"));
    CHECK_EQ(encode(sjis, unpaired_text), unpaired);

    CHECK_EQ(sjis.complete_prefix("ab\x93\xfa"), std::size_t{4});
    CHECK_EQ(sjis.complete_prefix("ab\x93"), std::size_t{2});
    CHECK_EQ(sjis.complete_prefix("\x93\x93"), std::size_t{2});  // the second 0x93 is a trail byte
    CHECK_EQ(sjis.complete_prefix(std::string_view("\x93\x00\x93", 3)), std::size_t{2});
    CHECK_EQ(platform::code_page_codec(437).complete_prefix("ab\x93"), std::size_t{3});
}

void usable_code_pages() {
    CHECK(platform::is_usable_code_page(437));
    CHECK(platform::is_usable_code_page(932));
    CHECK(!platform::is_usable_code_page(0));
    CHECK(!platform::is_usable_code_page(CP_UTF8));
    CHECK(!platform::is_usable_code_page(CP_UTF7));
    CHECK(!platform::is_usable_code_page(12345));
}

struct pipe_pair {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    pipe_pair() { CreatePipe(&read, &write, nullptr, 1 << 16); }
    ~pipe_pair() {
        close_read();
        close_write();
    }
    void close_read() {
        if (read != nullptr) CloseHandle(read);
        read = nullptr;
    }
    void close_write() {
        if (write != nullptr) CloseHandle(write);
        write = nullptr;
    }
    std::string drain() {
        close_write();
        std::string all;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) all.append(buffer, got);
        return all;
    }
};

void byte_layer_over_pipes() {
    const platform::code_page_codec oem(437);
    {
        pipe_pair pipe;
        CHECK(platform::kind_of(pipe.read) == platform::device_kind::other);
        DWORD written = 0;
        WriteFile(pipe.write, "ab\r\n", 4, &written, nullptr);
        pipe.close_write();
        platform::handle_source source(pipe.read, oem);
        CHECK(source.control_z_rule() == io::control_z::ends_input);
        char buffer[16];
        std::size_t got = 0;
        CHECK(source.read(buffer, sizeof buffer, got) == io::transfer_status::ok);
        CHECK_EQ(std::string(buffer, got), std::string("ab\r\n"));
        // The writer has gone: that is the end of input, not an error.
        CHECK(source.read(buffer, sizeof buffer, got) == io::transfer_status::end);
        CHECK(got == 0);
    }
    {
        pipe_pair pipe;
        platform::handle_sink sink(pipe.write, oem);
        CHECK(sink.write("x\ny", 3) == io::transfer_status::ok);
        CHECK_EQ(pipe.drain(), std::string("x\ny"));
    }
    {
        pipe_pair pipe;
        platform::handle_sink text_sink(pipe.write, oem, true);
        CHECK(text_sink.write("x\ny\r\n", 5) == io::transfer_status::ok);
        CHECK_EQ(pipe.drain(), std::string("x\r\ny\r\r\n"));
    }
    {
        pipe_pair pipe;
        pipe.close_read();
        platform::handle_sink sink(pipe.write, oem);
        CHECK(sink.write("lost", 4) == io::transfer_status::closed);
    }
    {
        platform::handle_source none(nullptr, oem);
        char buffer[4];
        std::size_t got = 1;
        CHECK(none.read(buffer, sizeof buffer, got) == io::transfer_status::end);
        CHECK(got == 0);
        CHECK(platform::kind_of(nullptr) == platform::device_kind::none);
        CHECK(platform::kind_of(INVALID_HANDLE_VALUE) == platform::device_kind::none);
        platform::handle_sink nowhere(nullptr, oem);
        CHECK(nowhere.write("x", 1) == io::transfer_status::failed);
        CHECK(!nowhere.error_text().empty());
    }
    {
        // The NUL device is a character device but no console.
        HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        CHECK(nul != INVALID_HANDLE_VALUE);
        CHECK(platform::kind_of(nul) == platform::device_kind::other);
        CloseHandle(nul);
    }
    // The system's own wording, without its line end; a number when the system has none.
    const std::string denied = platform::system_error_text(ERROR_ACCESS_DENIED, oem);
    CHECK(!denied.empty() && denied.rfind("system error", 0) == std::string::npos);
    CHECK(denied.back() != '\n' && denied.back() != '\r' && denied.back() != ' ');
    CHECK_EQ(platform::system_error_text(0x2000ffff, oem), std::string("system error 536936447"));
}

// The console sink does its conversion whatever handle it is given, so a pipe shows what
// a console would be sent.
void console_conversion() {
    const platform::code_page_codec oem(437);
    {
        pipe_pair pipe;
        platform::console_sink same(pipe.write, oem, &oem, 437);
        CHECK(same.write("caf\x82\n", 5) == io::transfer_status::ok);
        CHECK(same.write("\n", 1) == io::transfer_status::ok);
        CHECK_EQ(pipe.drain(), std::string("caf\x82\r\n\r\n"));
    }
    {
        pipe_pair pipe;
        platform::console_sink to_ansi(pipe.write, oem, &oem, 1252);
        CHECK(to_ansi.write("caf\x82 \x9c\n", 7) == io::transfer_status::ok);
        CHECK_EQ(pipe.drain(), std::string("caf\xe9 \xa3\r\n"));
    }
    {
        pipe_pair pipe;
        platform::console_sink to_utf8(pipe.write, oem, &oem, CP_UTF8);
        CHECK(to_utf8.write("\x82\n", 2) == io::transfer_status::ok);
        CHECK_EQ(pipe.drain(), std::string("\xc3\xa9\r\n"));
    }
    {
        // A double-byte character split between two writes is sent whole.
        const platform::code_page_codec sjis(932);
        pipe_pair pipe;
        platform::console_sink split(pipe.write, sjis, &sjis, CP_UTF8);
        CHECK(split.write("a\x93", 2) == io::transfer_status::ok);
        CHECK(split.write("\xfa\x96", 2) == io::transfer_status::ok);
        CHECK(split.write("\x7b\n", 2) == io::transfer_status::ok);
        CHECK_EQ(pipe.drain(), std::string("a\xe6\x97\xa5\xe6\x9c\xac\r\n"));
    }
    {
        // Without a process code page the bytes go out as they are.
        const auto bytes = io::make_byte_codec();
        pipe_pair pipe;
        platform::console_sink plain(pipe.write, *bytes, nullptr, 437);
        CHECK(plain.write("\xe9\n", 2) == io::transfer_status::ok);
        CHECK_EQ(pipe.drain(), std::string("\xe9\r\n"));
    }
}

void process_locale() {
    wchar_t digits[8] = {};
    GetLocaleInfoW(GetUserDefaultLCID(), LOCALE_IDEFAULTCODEPAGE, digits, 8);
    const unsigned oem = static_cast<unsigned>(std::wcstoul(digits, nullptr, 10));
    const auto codec = platform::set_oem_locale();
    const auto* code_page = dynamic_cast<const platform::code_page_codec*>(codec.get());
    CHECK(code_page != nullptr);
    if (code_page != nullptr) CHECK(code_page->code_page() == oem);
    CHECK(towupper(L'\u00e9') == L'\u00c9');
}

void support_library_on_windows() {
    // The system's message table, line end and all; nothing for a code it does not know.
    const std::u16string denied = qel::os::MessageTableText(ERROR_ACCESS_DENIED);
    CHECK(denied.size() > 2 && denied.substr(denied.size() - 2) == u"\r\n");
    CHECK(qel::os::MessageTableText(0x2000ffff).empty());

    const std::time_t now = std::time(nullptr);
    CHECK(qel::os::LocalYear() == std::localtime(&now)->tm_year + 1900);

    // Process-heap blocks: sizes as asked, contents kept when they grow, distinct empty blocks.
    void* a = qel::MemAlloc(0);
    void* b = qel::MemAlloc(0);
    CHECK(a != nullptr && b != nullptr && a != b);
    CHECK(qel::MemSize(a) == 0);
    void* c = qel::MemRealloc(nullptr, 10);
    CHECK(qel::MemSize(c) == 10);
    std::memcpy(c, "0123456789", 10);
    c = qel::MemRealloc(c, 100000);
    CHECK(qel::MemSize(c) == 100000 && std::memcmp(c, "0123456789", 10) == 0);
    // Exhaustion is std::bad_alloc, and the block being resized survives it.
    bool thrown = false;
    try {
        qel::MemRealloc(c, SIZE_MAX / 2);
    } catch (const std::bad_alloc&) {
        thrown = true;
    }
    CHECK(thrown && std::memcmp(c, "0123456789", 10) == 0);
    thrown = false;
    try {
        qel::MemAlloc(SIZE_MAX / 2);
    } catch (const std::bad_alloc&) {
        thrown = true;
    }
    CHECK(thrown);
    CHECK(qel::MemFree(a) == 0 && qel::MemFree(b) == 0 && qel::MemFree(c) == 0);
    CHECK(qel::MemFree(nullptr) == 0 && qel::MemSize(nullptr) == 0);
}

std::u16string version_string(const std::vector<char>& record, const wchar_t* name) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(record.data(), path.c_str(), &value, &length) || length == 0) return u"(none)";
    return std::u16string(static_cast<const char16_t*>(value), length - 1);
}

void version_record(const wchar_t* exe) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe, &ignored);
    CHECK(size > 0);
    if (size == 0) return;
    std::vector<char> record(size);
    CHECK(GetFileVersionInfoW(exe, 0, size, record.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    CHECK(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    if (fixed != nullptr) {
        CHECK(fixed->dwFileVersionMS == 0x00020001 && fixed->dwFileVersionLS == 0x00000002);
        CHECK(fixed->dwProductVersionMS == 0x00020001 && fixed->dwProductVersionLS == 0x00000002);
    }
    CHECK_EQ(version_string(record, L"FileVersion"), std::u16string(u"2, 1, 0, 2"));
    CHECK_EQ(version_string(record, L"ProductVersion"), std::u16string(u"2, 1, 0, 2"));
    CHECK_EQ(version_string(record, L"Comments"), std::u16string(u"Colored output for console"));
    CHECK_EQ(version_string(record, L"FileDescription"), std::u16string(u"huecast"));
    CHECK_EQ(version_string(record, L"InternalName"), std::u16string(u"huecast"));
    CHECK_EQ(version_string(record, L"OriginalFilename"), std::u16string(u"huecast.exe"));
    CHECK_EQ(version_string(record, L"CompanyName"), std::u16string(u"huecast developers"));
    CHECK_EQ(version_string(record, L"ProductName"), std::u16string(u"huecast"));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    single_byte_code_pages();
    double_byte_code_pages();
    usable_code_pages();
    byte_layer_over_pipes();
    console_conversion();
    process_locale();
    support_library_on_windows();
    if (argc > 1) {
        version_record(argv[1]);
    } else {
        ++failures;
        std::printf("usage: win32_backend_test <path of huecast.exe>\n");
    }
    std::printf("%s: %d failure(s)\n", failures == 0 ? "passed" : "FAILED", failures);
    return failures == 0 ? 0 : 1;
}
