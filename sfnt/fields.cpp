// sfnt/fields.cpp - reading, writing and showing declared fields.
#include "sfnt/fields.h"

#include "sfnt/container.h"

#include <string>
#include <type_traits>

void FieldReader::number(const char *, uint8_t &value, FieldForm)
{
    value = static_cast<uint8_t>(r_.read() & 0xFF);
    bytes_ += 1;
}

void FieldReader::number(const char *, uint16_t &value, FieldForm)
{
    value = static_cast<uint16_t>(r_.readUnsignedShort());
    bytes_ += 2;
}

void FieldReader::number(const char *, int16_t &value, FieldForm)
{
    value = static_cast<int16_t>(r_.readShort());
    bytes_ += 2;
}

void FieldReader::number(const char *, uint32_t &value, FieldForm)
{
    value = static_cast<uint32_t>(r_.readUnsignedInt());
    bytes_ += 4;
}

void FieldReader::fixed(const char *name, uint16_t &major, uint16_t &minor)
{
    number(name, major, SHOW_DEC);
    number(name, minor, SHOW_DEC);
}

void FieldReader::raw(const char *, uint8_t *bytes, int count)
{
    if (r_.read(reinterpret_cast<char *>(bytes), count) != count)
        throw std::string(in_.eof() ? kEOFException : kIOException);
    bytes_ += count;
}

void FieldReader::chars(const char *name, uint8_t *bytes, int count)
{
    for (int i = 0; i < count; ++i)
        number(name, bytes[i], SHOW_DEC);
}

// Fields are written one byte at a time with the stream's put, high byte
// first.
void FieldWriter::number(const char *, uint8_t &value, FieldForm)
{
    out_.put(static_cast<char>(value));
    bytes_ += 1;
}

void FieldWriter::number(const char *name, uint16_t &value, FieldForm)
{
    uint8_t high = static_cast<uint8_t>(value >> 8);
    uint8_t low = static_cast<uint8_t>(value);
    number(name, high, SHOW_DEC);
    number(name, low, SHOW_DEC);
}

void FieldWriter::number(const char *name, int16_t &value, FieldForm)
{
    uint16_t bits = static_cast<uint16_t>(value);
    number(name, bits, SHOW_DEC);
}

void FieldWriter::number(const char *name, uint32_t &value, FieldForm)
{
    uint16_t high = static_cast<uint16_t>(value >> 16);
    uint16_t low = static_cast<uint16_t>(value);
    number(name, high, SHOW_DEC);
    number(name, low, SHOW_DEC);
}

void FieldWriter::fixed(const char *name, uint16_t &major, uint16_t &minor)
{
    number(name, major, SHOW_DEC);
    number(name, minor, SHOW_DEC);
}

void FieldWriter::raw(const char *name, uint8_t *bytes, int count)
{
    for (int i = 0; i < count; ++i)
        number(name, bytes[i], SHOW_DEC);
}

void FieldWriter::chars(const char *name, uint8_t *bytes, int count)
{
    raw(name, bytes, count);
}

void FieldText::begin(const char *name)
{
    if (layout_ == ONE_LINE && !first_)
        out_ << ' ';
    first_ = false;
    out_ << name << '=';
}

void FieldText::end()
{
    if (layout_ == LINES)
        out_ << std::endl;
}

template <typename T> void FieldText::show(const char *name, T value, FieldForm form)
{
    using Signed = typename std::make_signed<T>::type;
    using Unsigned = typename std::make_unsigned<T>::type;
    begin(name);
    // Unary plus shows a byte as a number rather than as a character.
    switch (form) {
    case SHOW_DEC:
        out_ << std::dec << +value;
        break;
    case SHOW_SIGNED:
        out_ << std::dec << +static_cast<Signed>(value);
        break;
    case SHOW_HEX:
        out_ << "0x" << std::hex << +static_cast<Unsigned>(value);
        break;
    case SHOW_HEX_DIGITS:
        out_ << std::hex << +static_cast<Unsigned>(value);
        break;
    case SHOW_SIGNED_AS_SET:
        out_ << +static_cast<Signed>(value);
        break;
    case SHOW_TAG: {
        char tag[5];
        out_ << TagToString(static_cast<uint32_t>(value), tag);
        break;
    }
    }
    end();
}

void FieldText::number(const char *name, uint8_t &value, FieldForm form)
{
    show(name, value, form);
}

void FieldText::number(const char *name, uint16_t &value, FieldForm form)
{
    show(name, value, form);
}

void FieldText::number(const char *name, int16_t &value, FieldForm form)
{
    show(name, value, form);
}

void FieldText::number(const char *name, uint32_t &value, FieldForm form)
{
    show(name, value, form);
}

void FieldText::fixed(const char *name, uint16_t &major, uint16_t &minor)
{
    begin(name);
    out_ << std::dec << static_cast<int16_t>(major) << '.' << minor;
    end();
}

void FieldText::raw(const char *name, uint8_t *bytes, int count)
{
    static const char digits[] = "0123456789abcdef";
    begin(name);
    out_ << "0x";
    for (int i = 0; i < count; ++i)
        out_ << digits[bytes[i] >> 4] << digits[bytes[i] & 15];
    end();
}

void FieldText::chars(const char *name, uint8_t *bytes, int count)
{
    begin(name);
    for (int i = 0; i < count; ++i)
        out_ << static_cast<char>(bytes[i]);
    end();
}
