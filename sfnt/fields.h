// sfnt/fields.h - the fields of a table, declared once.
//
// Each table lists its fields once, in file order, in a member function
// fields(FieldVisitor &): the published name of every field, the member
// that holds it and the form its text line takes. Reading, writing, the
// byte count and the diagnostic text are visitors that walk that one list:
//
//     void TT_head::fields(FieldVisitor &f)
//     {
//         f.fixed("version", versionMajor, versionMinor);
//         f.number("checkSumAdjustment", checkSumAdjustment, SHOW_HEX);
//         f.number("unitsPerEm", unitsPerEm);
//         f.raw("created", created, sizeof created);
//         ...
//     }
//
// A field's width and sign in the file follow from its member's type:
// uint8_t one byte, uint16_t u16, int16_t s16, uint32_t u32, all big-endian.
// Fields that only some versions of a table have are listed under an if on
// the version; the reader meets that if after it has read the version.
#ifndef SFNT_FIELDS_H
#define SFNT_FIELDS_H

#include "base/stream.h"

#include <cstdint>
#include <istream>
#include <ostream>

// How a number appears in the text forms. Hexadecimal is lower case without
// leading zeros.
enum FieldForm {
    SHOW_DEC,              // decimal, signed when the member is
    SHOW_SIGNED,           // decimal, the bits taken as signed
    SHOW_HEX,              // "0x" and hexadecimal
    SHOW_HEX_DIGITS,       // hexadecimal digits alone
    SHOW_SIGNED_AS_SET,    // the bits taken as signed, in the base the stream already has
    SHOW_TAG,              // four characters, the most significant byte first
};

// One field as the visitors see it: what a table's fields() says of it.
struct TableField {
    enum Kind {
        U8,     // read with the single-byte read: 0xFF past the end of the stream
        U16,
        S16,
        U32,
        FIXED,  // 16.16 kept as two u16 halves, shown "major.minor" with the
                // major half signed and the minor half the raw fraction (1.5 is 1.32768)
        RAW,    // bytes kept as they stand, read as one block (EOFException
                // when it is cut off), shown as "0x" and two digits per byte
        CHARS,  // bytes read one at a time as U8, shown as characters
    };
    const char *name;
    Kind kind;
    void *value;   // the member; the major half of a FIXED
    void *minor;   // the minor half of a FIXED
    int size;      // bytes in the file
    FieldForm form;
};

class FieldVisitor {
public:
    virtual ~FieldVisitor() {}

    void number(const char *name, uint8_t &value, FieldForm form = SHOW_DEC)
    {
        visit({name, TableField::U8, &value, nullptr, 1, form});
    }
    void number(const char *name, uint16_t &value, FieldForm form = SHOW_DEC)
    {
        visit({name, TableField::U16, &value, nullptr, 2, form});
    }
    void number(const char *name, int16_t &value, FieldForm form = SHOW_DEC)
    {
        visit({name, TableField::S16, &value, nullptr, 2, form});
    }
    void number(const char *name, uint32_t &value, FieldForm form = SHOW_DEC)
    {
        visit({name, TableField::U32, &value, nullptr, 4, form});
    }
    void fixed(const char *name, uint16_t &major, uint16_t &minor)
    {
        visit({name, TableField::FIXED, &major, &minor, 4, SHOW_DEC});
    }
    void raw(const char *name, uint8_t *bytes, int count)
    {
        visit({name, TableField::RAW, bytes, nullptr, count, SHOW_HEX});
    }
    void chars(const char *name, uint8_t *bytes, int count)
    {
        visit({name, TableField::CHARS, bytes, nullptr, count, SHOW_DEC});
    }

protected:
    virtual void visit(const TableField &field) = 0;
};

// Reads the fields from the stream's position through a BigEndianReader;
// the 16- and 32-bit fields raise EOFException and IOException as it does.
class FieldReader : public FieldVisitor {
public:
    explicit FieldReader(std::istream &in) : in_(in), r_(&in) {}
    int bytes() const { return bytes_; }

protected:
    void visit(const TableField &field) override;

private:
    std::istream &in_;
    BigEndianReader r_;
    int bytes_ = 0;
};

// Writes the fields at the stream's position, one byte at a time with the
// stream's put, high byte first.
class FieldWriter : public FieldVisitor {
public:
    explicit FieldWriter(std::ostream &out) : out_(out) {}
    int bytes() const { return bytes_; }

protected:
    void visit(const TableField &field) override;

private:
    std::ostream &out_;
    int bytes_ = 0;
};

// Counts the bytes that the fields take in the file.
class FieldSize : public FieldVisitor {
public:
    int bytes() const { return bytes_; }

protected:
    void visit(const TableField &field) override { bytes_ += field.size; }

private:
    int bytes_ = 0;
};

// Writes every field as "name=value": one per line, each line ended by a
// line feed and a flush (a table's profile), or all on one line separated by
// single spaces (a record's dump). Each number sets the stream's base its
// form needs, and the base stays set afterwards.
class FieldText : public FieldVisitor {
public:
    enum Layout { LINES, ONE_LINE };
    FieldText(std::ostream &out, Layout layout) : out_(out), layout_(layout) {}

protected:
    void visit(const TableField &field) override;

private:
    std::ostream &out_;
    Layout layout_;
    bool first_ = true;
};

// The four walks over a table's fields. Writing, counting and showing only
// read the fields, so they take the table as const.
template <typename Table> int ReadFields(std::istream &in, Table &table)
{
    FieldReader reader(in);
    table.fields(reader);
    return reader.bytes();
}

template <typename Table> int WriteFields(std::ostream &out, const Table &table)
{
    FieldWriter writer(out);
    const_cast<Table &>(table).fields(writer);
    return writer.bytes();
}

template <typename Table> int FieldBytes(const Table &table)
{
    FieldSize size;
    const_cast<Table &>(table).fields(size);
    return size.bytes();
}

template <typename Table> void ShowFields(std::ostream &out, const Table &table, FieldText::Layout layout)
{
    FieldText text(out, layout);
    const_cast<Table &>(table).fields(text);
}

#endif
