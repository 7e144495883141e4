#include "script/ScriptFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace kelvan::script {

namespace {

std::string ErrnoText(const std::string& path) { return path + ": " + std::strerror(errno); }

// mkdir -p; true when the folder exists afterwards.
bool MakeFolders(const std::string& path, std::string& error) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
      error = ErrnoText(part);
      return false;
    }
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    error = path + ": not a folder";
    return false;
  }
  return true;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

// Copies one regular file unless the target exists (false, with no error, then): into a temporary file beside the
// target, then linked to the target's name (link never replaces a file).
bool CopyNew(const std::string& from, const std::string& to, std::string& error) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    error = ErrnoText(from);
    return false;
  }
  std::string temp = to + ".XXXXXX";
  const int out = ::mkstemp(temp.data());
  if (out < 0) {
    error = ErrnoText(to);
    ::close(in);
    return false;
  }
  bool ok = true;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (n > 0 && !WriteAll(out, buffer, size_t(n)))) {
      error = ErrnoText(n < 0 ? from : to);
      ok = false;
    }
    if (n <= 0) break;
  }
  ::fchmod(out, 0644);
  if (::close(out) != 0 && ok) {
    error = ErrnoText(to);
    ok = false;
  }
  ::close(in);
  // A file of that name (the user's own) stays as it is: not copied, and no error.
  if (ok && ::link(temp.c_str(), to.c_str()) != 0) {
    if (errno != EEXIST) error = ErrnoText(to);
    ok = false;
  }
  ::unlink(temp.c_str());
  return ok;
}

}  // namespace

std::string UserScriptFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data && data[0] == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && home[0] ? home : ".") + "/.local/share";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/Morwen/KELVAN/Script";
}

SeedResult SeedScriptFolder(const std::string& bundledFolder, const std::string& folder) {
  SeedResult result;
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) return result;
  if (!MakeFolders(folder, result.Error)) return result;
  result.Created = true;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(bundledFolder.c_str()), ::closedir);
  if (!dir) {
    result.Error = ErrnoText(bundledFolder);
    return result;
  }
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    const std::string from = bundledFolder + "/" + name;
    if (name == "." || name == ".." || ::stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    std::string error;
    if (CopyNew(from, folder + "/" + name, error)) ++result.Copied;
    else if (result.Error.empty()) result.Error = error;
  }
  return result;
}

}  // namespace kelvan::script
