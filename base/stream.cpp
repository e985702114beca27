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

// ------------------------------------------------------------ InputFile

namespace {

int seekFile(std::FILE *file, int64_t offset, int whence)
{
#ifdef _WIN32
    return _fseeki64(file, offset, whence);
#else
    return fseeko(file, static_cast<off_t>(offset), whence);
#endif
}

int64_t tellFile(std::FILE *file)
{
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<int64_t>(ftello(file));
#endif
}

}  // namespace

FileWindowBuffer::FileWindowBuffer(size_t window) : window_(window > 0 ? window : 1) {}

FileWindowBuffer::~FileWindowBuffer()
{
    if (file_)
        std::fclose(file_);
}

bool FileWindowBuffer::open(const char *path)
{
    std::FILE *file = std::fopen(path, "rb");
    if (!file)
        return false;
    // The window is the only buffer: reads go straight into it.
    std::setvbuf(file, nullptr, _IONBF, 0);
    int64_t size = seekFile(file, 0, SEEK_END) == 0 ? tellFile(file) : -1;
    if (size < 0) {
        std::fclose(file);
        return false;
    }
    file_ = file;
    size_ = size;
    filePos_ = size;
    return true;
}

int64_t FileWindowBuffer::position() const
{
    return eback() ? windowStart_ + (gptr() - eback()) : pending_;
}

FileWindowBuffer::int_type FileWindowBuffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    int64_t at = position();
    if (!file_ || at >= size_)
        return traits_type::eof();
    if (at < windowStart_ || at >= windowStart_ + static_cast<int64_t>(windowHeld_)) {
        if (filePos_ != at && seekFile(file_, at, SEEK_SET) != 0) {
            filePos_ = -1;
            return traits_type::eof();
        }
        int64_t want = size_ - at;
        if (want > static_cast<int64_t>(window_.size()))
            want = static_cast<int64_t>(window_.size());
        size_t got = std::fread(window_.data(), 1, static_cast<size_t>(want), file_);
        filePos_ = at + static_cast<int64_t>(got);
        windowStart_ = at;
        windowHeld_ = got;
        if (got == 0)
            return traits_type::eof();
    }
    char *base = window_.data();
    setg(base, base + (at - windowStart_), base + windowHeld_);
    return traits_type::to_int_type(*gptr());
}

FileWindowBuffer::pos_type FileWindowBuffer::seekoff(off_type off, std::ios_base::seekdir dir,
                                                       std::ios_base::openmode which)
{
    int64_t from = dir == std::ios_base::beg ? 0 : dir == std::ios_base::cur ? position() : size_;
    return seekpos(pos_type(off_type(from + off)), which);
}

FileWindowBuffer::pos_type FileWindowBuffer::seekpos(pos_type pos, std::ios_base::openmode which)
{
    int64_t to = static_cast<int64_t>(off_type(pos));
    if (!file_ || !(which & std::ios_base::in) || to < 0)
        return pos_type(off_type(-1));
    if (to >= windowStart_ && to <= windowStart_ + static_cast<int64_t>(windowHeld_) && windowHeld_ > 0) {
        char *base = window_.data();
        setg(base, base + (to - windowStart_), base + windowHeld_);
    } else {
        // Outside the window: nothing is read until a byte is asked for, and
        // the window stays, for a seek back into it.
        setg(nullptr, nullptr, nullptr);
        pending_ = to;
    }
    return pos_type(off_type(to));
}

InputFile::InputFile(const char *path, size_t window) : FileWindowBuffer(window), std::istream(nullptr)
{
    rdbuf(static_cast<FileWindowBuffer *>(this));
    if (!open(path))
        setstate(std::ios::failbit);
}
