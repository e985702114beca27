// sfnt/name.cpp - the 'name' table and the font name lookup.
#include "sfnt/name.h"

#include "base/stream.h"
#include "sfnt/identity.h"

#include <algorithm>
#include <cstring>

void TT_name_rec::fields(FieldVisitor &f)
{
    f.number("platform", platform);
    f.number("encoding", encoding);
    f.number("language", language);
    f.number("name", name);
    f.number("lengthString", lengthString);
    f.number("offsetString", offsetString);
}

bool TT_name_rec::operator<(const TT_name_rec &other) const
{
    if (platform != other.platform)
        return platform < other.platform;
    if (encoding != other.encoding)
        return encoding < other.encoding;
    if (language != other.language)
        return language < other.language;
    return name < other.name;
}

void TT_name_rec::dump(std::ostream &out) const
{
    out << "TT_name_rec{";
    ShowFields(out, *this, FieldText::ONE_LINE);
    out << std::endl << " str=" << std::hex;
    for (char c : str)
        out << static_cast<int>(static_cast<signed char>(c));
    out << std::dec << "}";
}

void TT_name::fields(FieldVisitor &f)
{
    f.number("format", format);
    f.number("numRecord", numRecord);
    f.number("offsetStrings", offsetStrings);
}

int TT_name::read(std::istream &in)
{
    BigEndianReader r(&in);
    records.clear();
    std::streampos start = in.tellg();
    if (start == std::streampos(-1))
        throw std::string(in.eof() ? kEOFException : kIOException);
    int64_t tableStart = static_cast<int64_t>(start);
    int64_t left = StreamBytesLeft(in);
    int64_t fileEnd = left < 0 ? -1 : tableStart + left;

    ReadFields(in, *this);
    RequireBytesLeft(in, numRecord, TT_name_rec::SIZE);
    records.reserve(numRecord);
    for (int i = 0; i < numRecord; ++i) {
        TT_name_rec rec;
        ReadFields(in, rec);
        records.push_back(rec);
    }

    int64_t storage = tableStart + offsetStrings;
    int64_t budget = MAX_STRING_BYTES;
    for (TT_name_rec &rec : records) {
        int64_t from = storage + rec.offsetString;
        if (rec.lengthString == 0 || rec.lengthString > budget)
            continue;
        if (fileEnd >= 0 && from + rec.lengthString > fileEnd)
            continue;
        in.seekg(from);
        rec.str.resize(rec.lengthString);
        if (r.read(&rec.str[0], rec.lengthString) != rec.lengthString) {
            // Cut off where the stream could not tell its size beforehand.
            rec.str.clear();
            in.clear();
            continue;
        }
        budget -= rec.lengthString;
    }
    return numRecord;
}

int TT_name::write(std::ostream &out)
{
    numRecord = static_cast<uint16_t>(records.size());
    offsetStrings = static_cast<uint16_t>(6 + TT_name_rec::SIZE * numRecord);
    WriteFields(out, *this);
    uint16_t running = 0;
    for (TT_name_rec &rec : records) {
        rec.lengthString = static_cast<uint16_t>(rec.str.size());
        rec.offsetString = running;
        running = static_cast<uint16_t>(running + rec.lengthString);
        WriteFields(out, rec);
    }
    for (const TT_name_rec &rec : records)
        out.write(rec.str.data(), static_cast<std::streamsize>(rec.str.size()));
    return numRecord;
}

int TT_name::readProfile(std::istream &in)
{
    return readProfileLines(in, 576);
}

// Reads decimal digits up to delimiter (consumed) into value; false when
// there are no digits, the value does not fit 16 bits or the delimiter is
// missing.
static bool parseId(const char *&p, char delimiter, uint16_t &value)
{
    uint32_t v = 0;
    const char *digits = p;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + static_cast<uint32_t>(*p - '0');
        if (v > 0xFFFF)
            return false;
        ++p;
    }
    if (p == digits || *p != delimiter)
        return false;
    ++p;
    value = static_cast<uint16_t>(v);
    return true;
}

static int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int TT_name::parseProfileLine(const char *line)
{
    if (line[0] != '$')
        return 0;
    const char *p = line + 1;
    if (*p++ != '.')
        return 0;
    TT_name_rec rec;
    if (!parseId(p, '.', rec.platform) || !parseId(p, '.', rec.encoding) ||
        !parseId(p, '.', rec.language) || !parseId(p, '=', rec.name))
        return 0;
    // A lone last character is dropped; a pair that is not hexadecimal
    // rejects the whole line rather than store a guessed byte.
    for (; p[0] && p[1]; p += 2) {
        int high = hexValue(p[0]);
        int low = hexValue(p[1]);
        if (high < 0 || low < 0)
            return 0;
        rec.str.push_back(static_cast<char>(high * 16 + low));
    }
    rec.offsetString = 0xFFFF;
    rec.lengthString = static_cast<uint16_t>(rec.str.size());
    records.push_back(rec);
    std::stable_sort(records.begin(), records.end());
    return 1;
}

int TT_name::writeProfile(std::ostream &out)
{
    static const char digits[] = "0123456789ABCDEF";
    out << "# 'name' table profile" << std::endl;
    ShowFields(out, *this, FieldText::LINES);
    for (const TT_name_rec &rec : records) {
        out << "$." << rec.platform << "." << rec.encoding << "." << rec.language << "." << rec.name << "=";
        for (char c : rec.str) {
            unsigned char b = static_cast<unsigned char>(c);
            out << digits[b >> 4] << digits[b & 15];
        }
        out << std::endl;
    }
    return numRecord;
}

void TT_name::dump(std::ostream &out)
{
    ShowFields(out, *this, FieldText::LINES);
    for (const TT_name_rec &rec : records) {
        rec.dump(out);
        out << std::endl;
    }
}

int TT_name::find(uint16_t platform, uint16_t encoding, uint16_t language, uint16_t name,
                  char *buffer, int capacity) const
{
    for (const TT_name_rec &rec : records) {
        if (!rec.sameIds(platform, encoding, language, name))
            continue;
        if (capacity < 2)
            return 0;
        int length = static_cast<int>(std::min<size_t>(rec.str.size(), static_cast<size_t>(capacity - 2)));
        std::memcpy(buffer, rec.str.data(), static_cast<size_t>(length));
        buffer[length] = 0;
        buffer[length + 1] = 0;
        return length;
    }
    return 0;
}

char *GetFontName(const char *path, uint16_t platform, uint16_t encoding, uint16_t language,
                  uint16_t name, char *buffer)
{
    buffer[0] = 0;
    FontFace face;
    if (ReadFirstFace(path, &face))
        face.names.find(platform, encoding, language, name, buffer, FONT_NAME_SIZE);
    return buffer[0] ? buffer : nullptr;
}
