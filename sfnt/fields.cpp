// sfnt/fields.cpp - reading, writing and showing declared fields.
#include "sfnt/fields.h"

#include "sfnt/container.h"

#include <string>
#include <type_traits>

namespace {

template <typename T> T &member(const TableField &field)
{
    return *static_cast<T *>(field.value);
}

uint8_t *bytesOf(const TableField &field)
{
    return static_cast<uint8_t *>(field.value);
}

uint16_t &minorOf(const TableField &field)
{
    return *static_cast<uint16_t *>(field.minor);
}

// The bits of a number field, high byte first in the low field.size bytes.
uint32_t bitsOf(const TableField &field)
{
    switch (field.kind) {
    case TableField::U8:
        return member<uint8_t>(field);
    case TableField::U16:
        return member<uint16_t>(field);
    case TableField::S16:
        return static_cast<uint16_t>(member<int16_t>(field));
    case TableField::U32:
        return member<uint32_t>(field);
    case TableField::FIXED:
        return static_cast<uint32_t>(member<uint16_t>(field)) << 16 | minorOf(field);
    default:
        return 0;
    }
}

template <typename T> void showNumber(std::ostream &out, T value, FieldForm form)
{
    using Signed = typename std::make_signed<T>::type;
    using Unsigned = typename std::make_unsigned<T>::type;
    // Unary plus shows a byte as a number rather than as a character.
    switch (form) {
    case SHOW_DEC:
        out << std::dec << +value;
        break;
    case SHOW_SIGNED:
        out << std::dec << +static_cast<Signed>(value);
        break;
    case SHOW_HEX:
        out << "0x" << std::hex << +static_cast<Unsigned>(value);
        break;
    case SHOW_HEX_DIGITS:
        out << std::hex << +static_cast<Unsigned>(value);
        break;
    case SHOW_SIGNED_AS_SET:
        out << +static_cast<Signed>(value);
        break;
    case SHOW_TAG: {
        char tag[5];
        out << TagToString(static_cast<uint32_t>(value), tag);
        break;
    }
    }
}

}  // namespace

void FieldReader::visit(const TableField &field)
{
    switch (field.kind) {
    case TableField::U8:
        member<uint8_t>(field) = static_cast<uint8_t>(r_.read() & 0xFF);
        break;
    case TableField::U16:
        member<uint16_t>(field) = static_cast<uint16_t>(r_.readUnsignedShort());
        break;
    case TableField::S16:
        member<int16_t>(field) = static_cast<int16_t>(r_.readShort());
        break;
    case TableField::U32:
        member<uint32_t>(field) = static_cast<uint32_t>(r_.readUnsignedInt());
        break;
    case TableField::FIXED:
        member<uint16_t>(field) = static_cast<uint16_t>(r_.readUnsignedShort());
        minorOf(field) = static_cast<uint16_t>(r_.readUnsignedShort());
        break;
    case TableField::RAW:
        if (r_.read(static_cast<char *>(field.value), field.size) != field.size)
            throw std::string(in_.eof() ? kEOFException : kIOException);
        break;
    case TableField::CHARS:
        for (int i = 0; i < field.size; ++i)
            bytesOf(field)[i] = static_cast<uint8_t>(r_.read() & 0xFF);
        break;
    }
    bytes_ += field.size;
}

void FieldWriter::visit(const TableField &field)
{
    if (field.kind == TableField::RAW || field.kind == TableField::CHARS) {
        for (int i = 0; i < field.size; ++i)
            out_.put(static_cast<char>(bytesOf(field)[i]));
    } else {
        uint32_t bits = bitsOf(field);
        for (int shift = 8 * (field.size - 1); shift >= 0; shift -= 8)
            out_.put(static_cast<char>(bits >> shift));
    }
    bytes_ += field.size;
}

void FieldText::visit(const TableField &field)
{
    if (layout_ == ONE_LINE && !first_)
        out_ << ' ';
    first_ = false;
    out_ << field.name << '=';
    switch (field.kind) {
    case TableField::U8:
        showNumber(out_, member<uint8_t>(field), field.form);
        break;
    case TableField::U16:
        showNumber(out_, member<uint16_t>(field), field.form);
        break;
    case TableField::S16:
        showNumber(out_, member<int16_t>(field), field.form);
        break;
    case TableField::U32:
        showNumber(out_, member<uint32_t>(field), field.form);
        break;
    case TableField::FIXED:
        out_ << std::dec << static_cast<int16_t>(member<uint16_t>(field)) << '.' << minorOf(field);
        break;
    case TableField::RAW: {
        static const char digits[] = "0123456789abcdef";
        out_ << "0x";
        for (int i = 0; i < field.size; ++i)
            out_ << digits[bytesOf(field)[i] >> 4] << digits[bytesOf(field)[i] & 15];
        break;
    }
    case TableField::CHARS:
        for (int i = 0; i < field.size; ++i)
            out_ << static_cast<char>(bytesOf(field)[i]);
        break;
    }
    if (layout_ == LINES)
        out_ << std::endl;
}
