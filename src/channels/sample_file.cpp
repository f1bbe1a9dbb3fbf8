#include "sample_file.h"

#include <QFile>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zavok {

namespace {

// The file is opened, used and closed within one tick, whatever happens in between.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pwrite(fd, data + done, length - done, off_t(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false; // a full disk or a failing device
        }
        done += std::size_t(n);
    }
    return true;
}

// Reads from the start of the file until its end or until the buffer is full; -1 on an error. A read that ends
// exactly at the length the file was cut to is taken for the end, which saves asking again for the nothing after
// it at every tick.
ssize_t readAll(int fd, char* data, std::size_t capacity, std::size_t length) {
    std::size_t done = 0;
    while (done < capacity && done != length) {
        const ssize_t n = ::pread(fd, data + done, capacity - done, off_t(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += std::size_t(n);
    }
    return ssize_t(done);
}

// Exactly one block of lines, each a decimal number ended by CR LF, and nothing after it.
bool parseBlock(const char* data, const char* end, SampleFile::Block& block) {
    for (quint32& reading : block) {
        const auto [next, error] = std::from_chars(data, end, reading);
        if (error != std::errc() || end - next < 2 || next[0] != '\r' || next[1] != '\n') {
            return false;
        }
        data = next + 2;
    }
    return data == end;
}

} // namespace

SampleFile::SampleFile(const QString& path) : path_(path), encodedPath_(QFile::encodeName(path)) {}

bool SampleFile::passThrough(const Block& burst, Block& block) {
    // A steady sensor gives the same burst tick after tick: its text is made again only when a reading changes.
    if (!written_ || burst != written_->burst) {
        char* out = text_.data();
        char* const end = text_.data() + text_.size();
        for (quint32 reading : burst) {
            out = std::to_chars(out, end - 2, reading).ptr;
            *out++ = '\r';
            *out++ = '\n';
        }
        written_ = Written{burst, std::size_t(out - text_.data())};
    }
    const std::size_t length = written_->length;

    // Written over the old content and then cut to length, rather than truncated first: ext4 takes a file that is
    // truncated to nothing and written again for a replacement and forces its blocks to disk when it is closed,
    // which would be a disk write at every tick of every channel.
    const Descriptor file(::open(encodedPath_.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (file.get() < 0 || !writeAll(file.get(), text_.data(), length) || ::ftruncate(file.get(), off_t(length)) != 0) {
        return false;
    }
    const ssize_t read = readAll(file.get(), readBack_.data(), readBack_.size(), length);
    if (read != ssize_t(length)) {
        return false;
    }
    // The text read back is most often the text written, whose numbers are the burst's: parsing it would give the
    // burst again.
    if (std::memcmp(readBack_.data(), text_.data(), length) == 0) {
        block = burst;
        return true;
    }
    return parseBlock(readBack_.data(), readBack_.data() + read, block);
}

} // namespace zavok
