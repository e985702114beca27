// base/stream.h - typed reading over standard input streams.
//
// DataReader lays a few fixed-width and token reads over a std::istream it
// does not own. It keeps no position or buffer of its own: the stream's
// position is the reader's, and callers seek the stream directly.
//
// Failures are thrown as plain strings, never as classes:
//   "EOFException"  a byte was required and the stream was at its end;
//   "IOException"   the stream is in a failed state that is not the end.
#ifndef BASE_STREAM_H
#define BASE_STREAM_H

#include <cstdint>
#include <cstdio>
#include <istream>
#include <streambuf>
#include <string>
#include <vector>

extern const char kIOException[];   // "IOException"
extern const char kEOFException[];  // "EOFException"

// True when a caught std::string is one of the two stream exceptions.
bool isStreamException(const std::string &what);

// Bytes between the stream's read position and its end, or -1 when the
// stream cannot tell (not seekable, or already failed). The read position is
// left where it was.
int64_t StreamBytesLeft(std::istream &in);

// Size of the whole stream, or -1 when it cannot be found. Leaves the read
// position at the start.
int64_t StreamSize(std::istream &in);

// A declared count of fixed-size items that the rest of the stream cannot
// hold means a cut-off file: throws EOFException, as the reads themselves
// would, but before any room is reserved for the items. Does nothing when the
// size of the stream cannot be found.
void RequireBytesLeft(std::istream &in, int64_t count, int64_t itemSize);

class DataReader {
public:
    explicit DataReader(std::istream *in) : in_(in) {}

    // Block read of count bytes; returns the number actually read. A short
    // read sets eof and fail on the stream; never throws.
    virtual int32_t read(char *buffer, int32_t count);
    // One byte as 0..255, -1 at the end of the stream; throws IOException on
    // a failed stream that is not at its end.
    virtual int32_t read();
    // One byte; EOFException at the end, IOException on a failed stream.
    virtual int32_t readUnsignedByte();
    virtual int32_t readUnsignedShort() = 0;
    virtual int32_t readShort();
    virtual int32_t readUnsignedInt() = 0;
    virtual int32_t readInt();
    // Reads the next run of bytes not in delimiters (NUL always delimits)
    // into buffer (size bytes including the NUL). Returns the bytes stored,
    // 0 when the stream ended before a token began, -1 when the stream was
    // already at its end on entry. Bytes of a token beyond size - 1 are
    // consumed and dropped.
    virtual int32_t readToken(char *buffer, int32_t size, const char *delimiters);
    // readToken with "\r\n": empty lines are never returned.
    virtual int32_t readLine(char *buffer, int32_t size);

    std::istream *stream() const { return in_; }

protected:
    std::istream *in_;
};

// Most significant byte first; used for font files and text alike.
class BigEndianReader : public DataReader {
public:
    explicit BigEndianReader(std::istream *in) : DataReader(in) {}
    int32_t readUnsignedShort() override;
    int32_t readUnsignedInt() override;
};

// The buffer behind InputFile: one window of the file in memory, which a
// seek inside it only moves through. The standard file buffer drops what it
// holds at every seek and reads again, so a reader that seeks to each small
// table of a font reads the same bytes many times over.
class FileWindowBuffer : public std::streambuf {
public:
    explicit FileWindowBuffer(size_t window);
    ~FileWindowBuffer() override;
    FileWindowBuffer(const FileWindowBuffer &) = delete;
    FileWindowBuffer &operator=(const FileWindowBuffer &) = delete;

    // Opens path for reading and finds its size; false when either fails.
    bool open(const char *path);
    bool isOpen() const { return file_ != nullptr; }

protected:
    int_type underflow() override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
    int64_t position() const;

    std::FILE *file_ = nullptr;
    int64_t size_ = 0;
    std::vector<char> window_;
    int64_t windowStart_ = 0;  // file offset of window_[0]
    size_t windowHeld_ = 0;    // bytes of the file in window_
    int64_t filePos_ = -1;     // where the next fread reads; -1 unknown
    int64_t pending_ = 0;      // the read position while no get area is set
};

// A binary input stream over a file, read through a window of window bytes
// (FileWindowBuffer). Small fonts are read with one call; a larger file in
// one call per window that a seek leaves.
class InputFile : private FileWindowBuffer, public std::istream {
public:
    static const size_t kWindow = 32768;
    explicit InputFile(const char *path, size_t window = kWindow);
    bool is_open() const { return isOpen(); }
};

#endif
