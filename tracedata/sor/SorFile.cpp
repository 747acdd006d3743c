// CSorFile: the file side of the SOR component (bounded read, atomic write) and the checksum.
#include "SorFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

uint16_t sorCrc16(std::span<const uint8_t> bytes, uint16_t crc)
{
    // Table-driven CRC-16/CCITT-FALSE, eight bytes per step: table k holds the CRC of a byte
    // followed by k zero bytes.
    static const auto tables = [] {
        std::array<std::array<uint16_t, 256>, 8> t{};
        for (int i = 0; i < 256; ++i) {
            uint16_t c = static_cast<uint16_t>(i << 8);
            for (int b = 0; b < 8; ++b)
                c = static_cast<uint16_t>((c & 0x8000) ? (c << 1) ^ 0x1021 : (c << 1));
            t[0][i] = c;
        }
        for (int k = 1; k < 8; ++k)
            for (int i = 0; i < 256; ++i)
                t[k][i] = static_cast<uint16_t>((t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 8]);
        return t;
    }();
    const uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    while (n >= 8) {
        crc = static_cast<uint16_t>(tables[7][(crc >> 8) ^ p[0]] ^ tables[6][(crc & 0xFF) ^ p[1]]
            ^ tables[5][p[2]] ^ tables[4][p[3]] ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]]
            ^ tables[0][p[7]]);
        p += 8;
        n -= 8;
    }
    while (n--)
        crc = static_cast<uint16_t>((crc << 8) ^ tables[0][((crc >> 8) ^ *p++) & 0xFF]);
    return crc;
}

namespace {

std::string systemError(const char* what, int err)
{
    return std::string(what) + ": " + std::strerror(err);
}

// A file's bytes. The buffer is not zero-filled before the read overwrites it, and buffers of
// ordinary SOR sizes are kept per thread for the next read, so that reading many files does
// not fault in fresh memory for each one.
struct FileBytes {
    uint8_t* data = nullptr;
    std::size_t size = 0;
    std::unique_ptr<uint8_t[]> owned; // for files larger than the kept buffer

    void reserve(std::size_t capacity)
    {
        constexpr std::size_t kKeptLimit = 4u * 1024u * 1024u;
        thread_local std::unique_ptr<uint8_t[]> kept;
        thread_local std::size_t keptCapacity = 0;
        if (capacity > kKeptLimit) {
            owned.reset(new uint8_t[capacity]);
            data = owned.get();
            return;
        }
        if (keptCapacity < capacity || !kept) {
            keptCapacity = std::max<std::size_t>(capacity, 64 * 1024);
            kept.reset(new uint8_t[keptCapacity]);
        }
        data = kept.get();
    }
};

// Reads a whole regular file of at most kSorMaxFileSize bytes.
SorStatus readWholeFile(const std::string& name, FileBytes& bytes)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {SorError::OpenFailed, systemError("cannot open the file", errno)};
    struct stat st {};
    SorStatus status;
    if (::fstat(fd, &st) != 0) {
        status = {SorError::OpenFailed, systemError("cannot read the file", errno)};
    } else if (!S_ISREG(st.st_mode)) {
        status = {SorError::OpenFailed, "not a regular file"};
    } else if (static_cast<unsigned long long>(st.st_size) > kSorMaxFileSize) {
        status = {SorError::TooLarge, "file is larger than " + std::to_string(kSorMaxFileSize) + " bytes"};
    } else {
        const auto capacity = static_cast<std::size_t>(st.st_size);
        bytes.reserve(capacity);
        std::size_t done = 0;
        while (done < capacity) {
            const ssize_t n = ::read(fd, bytes.data + done, capacity - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                status = {SorError::OpenFailed, systemError("cannot read the file", errno)};
                break;
            }
            if (n == 0)
                break; // the file shrank while being read: parse what is there
            done += static_cast<std::size_t>(n);
        }
        bytes.size = done;
    }
    ::close(fd);
    return status;
}

bool writeAll(int fd, const std::vector<uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the bytes to a temporary file beside the target, flushes it to disk and renames it over
// the target, so the target is either the old file or the complete new one.
SorStatus replaceFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    // Saving through a symbolic link replaces the file it points to, not the link.
    std::string target = name;
    struct stat lst {};
    if (::lstat(name.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(name.c_str(), resolved))
            target = resolved;
    }
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return {SorError::WriteFailed, systemError("cannot create a file in the folder", errno)};
    }
    if (fd < 0)
        return {SorError::WriteFailed, "cannot create a temporary file in the folder"};

    // A replaced file keeps its permissions.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        (void)::fchmod(fd, old.st_mode & 07777);

    int err = 0;
    if (!writeAll(fd, bytes))
        err = errno ? errno : EIO;
    else if (::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return {SorError::WriteFailed, systemError("cannot write the file", err)};
    }
    // Make the rename itself durable.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace

int CSorFile::readSorFile(const std::string& name, SORDATA& data)
{
    m_checksumOk = false;
    FileBytes bytes;
    m_status = readWholeFile(name, bytes);
    if (!m_status)
        return 0;
    m_status = parseSor(std::span<const uint8_t>(bytes.data, bytes.size), data);
    if (!m_status)
        return 0;
    m_checksumOk = data.carried.hasChecksum && data.carried.checksumOk;
    return 1;
}

int CSorFile::saveSorFile(const std::string& name, SORDATA data)
{
    // Kept per thread for the next save (up to ordinary SOR sizes), like the read buffer.
    thread_local std::vector<uint8_t> bytes;
    m_status = serializeSor(data, bytes);
    struct Release {
        std::vector<uint8_t>& b;
        ~Release()
        {
            if (b.capacity() > 4u * 1024u * 1024u)
                std::vector<uint8_t>().swap(b);
        }
    } release{bytes};
    if (!m_status)
        return 0;
    m_status = replaceFile(name, bytes);
    return m_status ? 1 : 0;
}
