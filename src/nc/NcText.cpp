#include "nc/NcText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <random>
#include <system_error>

namespace kelvan::nc {
namespace {

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighBits = 0x8080808080808080ULL;

// Larger files could not be indexed by a 32-bit line number, nor held by the editor.
constexpr off_t kMaxFileSize = std::numeric_limits<int32_t>::max();

bool HasByte(uint64_t w, unsigned char c) {
  const uint64_t v = w ^ (kOnes * c);
  return ((v - kOnes) & ~v & kHighBits) != 0;
}

// Position of the first CR or LF at or after i, or n. NC blocks are short, so the word
// test mostly skips the bulk of a line at once.
size_t FindLineBreak(const char* p, size_t i, size_t n) {
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (HasByte(w, '\n') || HasByte(w, '\r')) break;
  }
  for (; i < n; ++i) {
    if (p[i] == '\n' || p[i] == '\r') return i;
  }
  return n;
}

size_t EndLength(LineEnd end) { return LineEndBytes(end).size(); }

std::string ErrnoText(int err) { return std::generic_category().message(err); }

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};

// Reads fd to its end into bytes, starting with room for sizeHint bytes; the file may
// have changed size since it was measured. Returns 0 or an errno value.
int ReadAll(int fd, size_t sizeHint, std::string& bytes) {
  bytes.resize(sizeHint);
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(bytes.size() + 65536);
    const ssize_t r = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
    if (got > static_cast<size_t>(kMaxFileSize)) return EFBIG;
  }
  bytes.resize(got);
  return 0;
}

// The file a save replaces: a symbolic link is followed so that the link survives and
// the file it names gets the new content.
std::string SaveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;  // a dangling link: replace the link itself
  std::string resolved(real);
  std::free(real);
  return resolved;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new file beside target, named after it and hidden; open() applies the umask
// as for any new file. Returns the descriptor, or -1 with errno set.
int CreateTemporary(const std::string& target, std::string& tempPath) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::random_device random;
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix(8, '0');
    for (char& c : suffix) c = kDigits[random() % 36];
    tempPath = folder + "." + base + ".kelvan-" + suffix;
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Returns 0 or the errno value of the failed write.
int WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(w);
  }
  return 0;
}

// Writes, flushes and closes the temporary file; on failure error names the step.
bool FillTemporary(int fd, const std::string& tempPath, std::string_view bytes,
                   const struct stat* old, std::string& error) {
  if (old != nullptr) {
    // Best effort: a file system without owners or modes (FAT) refuses, and the save
    // should not fail for that. Owner first, as changing it clears set-id bits.
    if (old->st_uid != ::geteuid() || old->st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(fd, old->st_uid, old->st_gid);
    }
    ::fchmod(fd, old->st_mode & 07777);
  }
  int err = WriteAll(fd, bytes);
  const char* step = "write";
  if (err == 0 && ::fsync(fd) != 0) {
    err = errno;
    step = "flush";
  }
  if (::close(fd) != 0 && err == 0) {
    err = errno;
    step = "close";
  }
  if (err != 0) {
    error = "cannot " + std::string(step) + " " + Quoted(tempPath) + ": " + ErrnoText(err);
  }
  return err == 0;
}

// After the rename, makes the new directory entry durable; nothing is left to undo if
// this fails, so failures are not reported.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string_view LineEndBytes(LineEnd end) {
  switch (end) {
    case LineEnd::Lf: return "\n";
    case LineEnd::CrLf: return "\r\n";
    case LineEnd::Cr: return "\r";
    case LineEnd::None: break;
  }
  return {};
}

bool NcText::Load(const std::string& path, NcText& out, std::string& error) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever; with it, the open
  // returns at once and the check below refuses what is not a regular file. (The flag
  // changes nothing for a regular file.)
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    error = "cannot open " + Quoted(path) + ": " + ErrnoText(errno);
    return false;
  }
  FdCloser closer(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = "cannot read " + Quoted(path) + ": " + ErrnoText(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = "cannot open " + Quoted(path) + ": it is a folder";
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = "cannot open " + Quoted(path) + ": not a regular file";
    return false;
  }
  if (st.st_size > kMaxFileSize) {
    error = "cannot open " + Quoted(path) + ": the file is larger than 2 GiB";
    return false;
  }
  std::string bytes;
  int err;
  try {
    err = ReadAll(fd, static_cast<size_t>(st.st_size), bytes);
    if (err == 0) out = FromBytes(std::move(bytes));
  } catch (const std::bad_alloc&) {
    err = ENOMEM;
  }
  if (err != 0) {
    error = "cannot read " + Quoted(path) + ": " + ErrnoText(err);
    return false;
  }
  return true;
}

NcText NcText::FromBytes(std::string bytes) {
  const TextEncoding detected = DetectEncoding(bytes);
  return FromBytes(std::move(bytes), detected);
}

NcText NcText::FromBytes(std::string bytes, TextEncoding known) {
  NcText t;
  t.buffer_ = std::move(bytes);
  t.encoding_ = known;
  t.index_.clear();
  // A typical NC block is 20 to 40 bytes; a close guess avoids most regrowth.
  t.index_.reserve(t.buffer_.size() / 24 + 2);
  const char* p = t.buffer_.data();
  const size_t n = t.buffer_.size();
  size_t start = 0;
  for (;;) {
    const size_t i = FindLineBreak(p, start, n);
    if (i == n) break;
    LineEnd end = LineEnd::Lf;
    size_t next = i + 1;
    if (p[i] == '\r') {
      const bool crlf = next < n && p[next] == '\n';
      end = crlf ? LineEnd::CrLf : LineEnd::Cr;
      next += crlf ? 1 : 0;
    }
    t.index_.push_back(uint64_t{start} << 2 | static_cast<uint64_t>(end));
    ++t.endCounts_[static_cast<size_t>(end)];
    start = next;
  }
  if (start < n) t.index_.push_back(uint64_t{start} << 2);
  t.index_.push_back(uint64_t{n} << 2);
  return t;
}

void NcText::Append(std::string_view line, LineEnd end) {
  index_.back() |= static_cast<uint64_t>(end);
  buffer_.append(line);
  buffer_.append(LineEndBytes(end));
  ++endCounts_[static_cast<size_t>(end)];
  index_.push_back(uint64_t{buffer_.size()} << 2);
}

NcText NcText::FromLines(const std::vector<std::string>& lines, TextEncoding enc, LineEnd end,
                         bool finalLineEnd) {
  std::vector<LineEnd> ends(lines.size(), end);
  if (!ends.empty() && !finalLineEnd) ends.back() = LineEnd::None;
  return FromLines(lines, ends, enc);
}

NcText NcText::FromLines(const std::vector<std::string>& lines, const std::vector<LineEnd>& ends,
                         TextEncoding enc) {
  NcText t;
  t.encoding_ = enc;
  size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 2;
  t.buffer_.reserve(total);
  t.index_.reserve(lines.size() + 1);
  for (size_t i = 0; i < lines.size(); ++i) {
    LineEnd end = i < ends.size() ? ends[i] : LineEnd::Lf;
    // Only the last line may go without an end, or two lines would be saved as one.
    if (end == LineEnd::None && i + 1 < lines.size()) end = LineEnd::Lf;
    t.Append(lines[i], end);
  }
  return t;
}

int32_t NcText::LineCount() const {
  const size_t lines = index_.size() - 1;
  return lines > INT32_MAX ? INT32_MAX : static_cast<int32_t>(lines);
}

std::string_view NcText::Line(int32_t i) const {
  if (i < 0 || i >= LineCount()) return {};
  const size_t k = static_cast<size_t>(i);
  const size_t begin = index_[k] >> 2;
  const size_t next = index_[k + 1] >> 2;
  return std::string_view(buffer_).substr(begin, next - begin - EndLength(End(i)));
}

LineEnd NcText::End(int32_t i) const {
  if (i < 0 || i >= LineCount()) return LineEnd::None;
  return static_cast<LineEnd>(index_[static_cast<size_t>(i)] & 3);
}

LineEnd NcText::DominantEnd() const {
  LineEnd best = LineEnd::Lf;
  for (LineEnd e : {LineEnd::CrLf, LineEnd::Cr}) {
    if (endCounts_[static_cast<size_t>(e)] > endCounts_[static_cast<size_t>(best)]) best = e;
  }
  return best;
}


bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  const std::string target = SaveTarget(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) {
    error = "cannot save " + Quoted(path) + ": it is a folder";
    return false;
  }
  // Replacing the file needs only a writable folder; a file the user made read-only is
  // refused as an in-place write would refuse it.
  if (exists && ::access(target.c_str(), W_OK) != 0) {
    error = "cannot save " + Quoted(path) + ": " + ErrnoText(errno);
    return false;
  }
  std::string tempPath;
  const int fd = CreateTemporary(target, tempPath);
  if (fd < 0) {
    error = "cannot create a temporary file in " + Quoted(FolderOf(target)) + ": " +
            ErrnoText(errno);
    return false;
  }
  if (!FillTemporary(fd, tempPath, bytes, exists ? &old : nullptr, error)) {
    ::unlink(tempPath.c_str());
    return false;
  }
  if (::rename(tempPath.c_str(), target.c_str()) != 0) {
    error = "cannot replace " + Quoted(target) + ": " + ErrnoText(errno);
    ::unlink(tempPath.c_str());
    return false;
  }
  SyncFolder(FolderOf(target));
  return true;
}

}  // namespace kelvan::nc
