// base/stream.cpp - typed reading over standard input streams.
#include "base/stream.h"

#include <cstring>

const char kIOException[] = "IOException";
const char kEOFException[] = "EOFException";

bool isStreamException(const std::string &what)
{
    return what == kIOException || what == kEOFException;
}

int64_t StreamBytesLeft(std::istream &in)
{
    std::streampos here = in.tellg();
    if (here == std::streampos(-1))
        return -1;
    in.seekg(0, std::ios::end);
    std::streampos end = in.tellg();
    in.seekg(here);
    if (end == std::streampos(-1) || !in)
        return -1;
    return static_cast<int64_t>(end - here);
}

int64_t StreamSize(std::istream &in)
{
    in.seekg(0, std::ios::beg);
    if (!in)
        return -1;
    return StreamBytesLeft(in);
}

void RequireBytesLeft(std::istream &in, int64_t count, int64_t itemSize)
{
    int64_t left = StreamBytesLeft(in);
    if (left >= 0 && count > left / itemSize)
        throw std::string(kEOFException);
}

int32_t DataReader::read(char *buffer, int32_t count)
{
    if (count <= 0)
        return 0;
    in_->read(buffer, count);
    return static_cast<int32_t>(in_->gcount());
}

int32_t DataReader::read()
{
    int c = in_->get();
    if (in_->rdstate() == std::ios::goodbit)
        return c & 0xFF;
    if (in_->eof())
        return -1;
    throw std::string(kIOException);
}

int32_t DataReader::readUnsignedByte()
{
    int c = in_->get();
    if (in_->rdstate() == std::ios::goodbit)
        return c & 0xFF;
    throw std::string(in_->eof() ? kEOFException : kIOException);
}

int32_t DataReader::readShort()
{
    return readUnsignedShort();
}

int32_t DataReader::readInt()
{
    return readUnsignedInt();
}

int32_t DataReader::readToken(char *buffer, int32_t size, const char *delimiters)
{
    if (size > 0)
        buffer[0] = '\0';
    if (in_->eof())
        return -1;

    auto isDelimiter = [delimiters](int c) {
        return c == 0 || std::strchr(delimiters, c) != nullptr;
    };

    int c;
    do {
        c = read();
        if (c < 0)
            return 0;
    } while (isDelimiter(c));

    int32_t stored = 0;
    while (c >= 0 && !isDelimiter(c)) {
        if (stored < size - 1)
            buffer[stored++] = static_cast<char>(c);
        c = read();
    }
    if (size > 0)
        buffer[stored] = '\0';
    return stored;
}

int32_t DataReader::readLine(char *buffer, int32_t size)
{
    return readToken(buffer, size, "\r\n");
}

int32_t BigEndianReader::readUnsignedShort()
{
    int32_t first = readUnsignedByte();
    int32_t second = readUnsignedByte();
    return (first << 8) | second;
}

int32_t BigEndianReader::readUnsignedInt()
{
    uint32_t high = static_cast<uint32_t>(readUnsignedShort());
    uint32_t low = static_cast<uint32_t>(readUnsignedShort());
    return static_cast<int32_t>((high << 16) | low);
}
