// tests/sfnt/font_builder.h - tiny sfnt fonts built in memory for the tests,
// temporary files beside the test program, and a stderr catcher.
#ifndef TESTS_SFNT_FONT_BUILDER_H
#define TESTS_SFNT_FONT_BUILDER_H

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// Appends big-endian fields to a byte string.
class FontBuilder {
public:
    FontBuilder &u8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); return *this; }
    FontBuilder &u16(uint16_t v) { return u8(static_cast<uint8_t>(v >> 8)).u8(static_cast<uint8_t>(v)); }
    FontBuilder &s16(int16_t v) { return u16(static_cast<uint16_t>(v)); }
    FontBuilder &u32(uint32_t v) { return u16(static_cast<uint16_t>(v >> 16)).u16(static_cast<uint16_t>(v)); }
    FontBuilder &tag(const char *t) { bytes_.append(t, 4); return *this; }
    FontBuilder &raw(const std::string &s) { bytes_ += s; return *this; }
    FontBuilder &zeros(size_t n) { bytes_.append(n, '\0'); return *this; }
    const std::string &str() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

uint16_t GetU16(const std::string &s, size_t at);
uint32_t GetU32(const std::string &s, size_t at);
void SetU16(std::string *s, size_t at, uint16_t v);
void SetU32(std::string *s, size_t at, uint32_t v);

// The sfnt checksum of s[from, from + length), the last word zero-padded:
// the tests' own reference, independent of the library.
uint32_t ReferenceChecksum(const std::string &s, size_t from, size_t length);

// An OS/2 table of the given version (0, 1, 2 and up), with version 5 adding
// its two extra fields. Every other field has a distinct value.
std::string BuildOS2(uint16_t version, uint16_t fsType, const char *vendor);
std::string BuildHead();

struct NameEntry {
    uint16_t platform, encoding, language, name;
    std::string str;
};
std::string BuildName(const std::vector<NameEntry> &entries);

struct TableData {
    const char *tag;
    std::string data;
};

// A font with the tables in the given order (the directory is not sorted for
// the caller), each padded to four bytes except the last; record checksums
// and, when there is a head table, checkSumAdjustment are filled in.
std::string BuildFont(const std::vector<TableData> &tables, uint32_t sfntVersion = 0x00010000);

// OS/2, head and name (sorted by tag) with a Macintosh PostScript name.
std::string BuildMinimalFont(uint16_t os2Version = 3, uint16_t fsType = 0, const char *vendor = "ZORV");

// A collection of the given fonts, each font's table offsets moved to their
// place in the collection.
std::string BuildCollection(const std::vector<std::string> &fonts);

// Offsets into a font built by BuildFont.
size_t RecordOffset(int index);               // start of table record index
size_t TableOffset(const std::string &font, const char *tag);  // 0 when absent

// A file in the current directory, named after the running test, removed at
// the end of the scope.
class TempFile {
public:
    explicit TempFile(const std::string &contents, const char *extension = ".ttf");
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    const char *path() const { return path_.c_str(); }
    std::string contents() const;
    void rewrite(const std::string &contents) const;

private:
    std::string path_;
};

// Collects what is written to std::cerr for its lifetime.
class CerrCatcher {
public:
    CerrCatcher() : old_(std::cerr.rdbuf(caught_.rdbuf())) {}
    ~CerrCatcher() { std::cerr.rdbuf(old_); }
    std::string text() const { return caught_.str(); }

private:
    std::ostringstream caught_;
    std::streambuf *old_;
};

#endif
