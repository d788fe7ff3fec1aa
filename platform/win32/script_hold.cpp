#include "platform/script_hold.h"

#include <windows.h>

#include <cstdio>

#include "platform/file_io.h"

namespace korvu::platform {
namespace {

// How long a run waits for another one that is writing the same script right now.
constexpr DWORD kWriteWait = 10000;

HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// One name per script, whatever the case of its path: the path's FNV-1a hash, upper-cased. Mutex
// names may not hold a backslash, and the Local namespace is the user's session.
std::string GuardName(const std::string& path) {
  std::string upper = FullPath(path);
  CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  unsigned long long hash = 14695981039346656037ULL;
  for (const char c : upper) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  char name[64];
  std::snprintf(name, sizeof name, "Local\\korvu-script-%016llx", hash);
  return name;
}

// Owns the guard of `path`, or gives -1 when it cannot be had. `timed_out` tells whether another
// run kept it too long.
std::intptr_t OwnGuard(const std::string& path, bool& timed_out) {
  timed_out = false;
  const HANDLE guard = CreateMutexA(nullptr, FALSE, GuardName(path).c_str());
  if (guard == nullptr) return -1;
  // A guard whose owner was killed is abandoned, and ours all the same.
  const DWORD waited = WaitForSingleObject(guard, kWriteWait);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
    return reinterpret_cast<std::intptr_t>(guard);
  timed_out = waited == WAIT_TIMEOUT;
  CloseHandle(guard);
  return -1;
}

// Whether another process has the file open without letting others write: a run's hold.
bool HeldElsewhere(const std::string& path) {
  const HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

void LeaveGuard(std::intptr_t& guard) {
  if (guard == -1) return;
  ReleaseMutex(AsHandle(guard));
  CloseHandle(AsHandle(guard));
  guard = -1;
}

// Reading only, sharing reading only: cmd reads the script, nobody writes or deletes it. The
// handle is inheritable when the console is to hold the script too.
std::intptr_t OpenHeld(const std::string& path, bool inheritable, DWORD& code) {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, inheritable ? TRUE : FALSE};
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, &attributes,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  code = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  return reinterpret_cast<std::intptr_t>(file);
}

}  // namespace

ScriptHold::~ScriptHold() {
  Release();
}

bool ScriptHold::Take(const std::string& path) {
  Release();
  bool timed_out = false;
  guard_ = OwnGuard(path, timed_out);
  if (timed_out || HeldElsewhere(path)) {
    LeaveGuard(guard_);
    return false;
  }
  path_ = path;
  return true;
}

bool ScriptHold::Seal() {
  if (path_.empty()) return true;
  DWORD code = 0;
  file_ = OpenHeld(path_, true, code);
  // Only now may the next run look: it finds the file held.
  LeaveGuard(guard_);
  return code != ERROR_SHARING_VIOLATION;
}

bool ScriptHold::Share(const std::string& path) {
  Release();
  DWORD code = 0;
  file_ = OpenHeld(path, false, code);
  if (file_ != -1) path_ = path;
  return code != ERROR_SHARING_VIOLATION;
}

void ScriptHold::Release() {
  if (file_ != -1) CloseHandle(AsHandle(file_));
  file_ = -1;
  LeaveGuard(guard_);
  path_.clear();
}

}  // namespace korvu::platform
