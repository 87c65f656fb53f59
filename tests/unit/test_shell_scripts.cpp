// The service's shell scripts, run for real by /bin/sh on this machine:
// the liveness test they use fails for a zombie, and the stream's watchdog
// ends the whole process group (a wrapper that does not exec ffmpeg, and
// the child it started) when asked, and when the service's process is a
// zombie nobody has reaped yet (then it also removes the private folder);
// the launcher runs what it is asked to, woken or not, and ends with its
// waker when its folder goes or the service's process ends; the page-cache
// trimmer empties the cache of a file just written but for its head,
// leaves its bytes as they are, and ends with its folder or the service's
// process, a named pipe in the file's place too.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/ffmpeg/ffmpeg_command.h"
#include "core/unix/shell_scripts.h"

namespace {

// The fields of /proc/PID/stat from the third (the state) on; empty when
// the process is gone.
std::vector<std::string> StatFields(const std::string& pid) {
  std::ifstream in("/proc/" + pid + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t close = stat.rfind(") ");  // the name may hold blanks and parentheses
  std::vector<std::string> fields;
  if (close == std::string::npos) return fields;
  std::istringstream rest(stat.substr(close + 2));
  for (std::string f; rest >> f;) fields.push_back(f);
  return fields;
}

// True while process `pid` runs (not ended, not a zombie).
bool Runs(long pid) {
  std::vector<std::string> f = StatFields(std::to_string(pid));
  return !f.empty() && f[0][0] != 'Z';
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
  for (int waited = 0; !done() && waited < ms; waited += 20) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return done();
}

long ReadPid(const std::string& path) {
  std::ifstream in(path);
  long pid = 0;
  in >> pid;
  return pid;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// Outside the range of nicenesses (-20 to 19): a process gone, and any
// niceness wanted.
const int kNoNice = 100;
const int kAnyNice = 101;

// The niceness of process `pid` (field 19 of /proc/PID/stat).
int NicenessOf(const std::string& pid) {
  std::vector<std::string> f = StatFields(pid);
  return f.size() > 16 ? std::atoi(f[16].c_str()) : kNoNice;
}

// Processes whose command line holds `text` (a launcher and its waker name
// their folder) and, if given, that run at niceness `nice`.
int ProcessesNaming(const std::string& text, int nice = kAnyNice) {
  int n = 0;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return -1;
  while (dirent* e = readdir(proc)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9' || !Runs(std::atol(e->d_name))) continue;
    std::ifstream in(std::string("/proc/") + e->d_name + "/cmdline");
    std::stringstream line;
    line << in.rdbuf();
    bool named = line.str().find(text) != std::string::npos;
    n += named && (nice == kAnyNice || NicenessOf(e->d_name) == nice) ? 1 : 0;
  }
  closedir(proc);
  return n;
}

int RunShell(const std::string& script) {
  int status = system(("/bin/sh -c " + capcore::ShellQuote(script)).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A scratch folder under /tmp with a subfolder, and a stand-in for the
// service's process (a child that waits until killed); the stand-in is
// killed and reaped and the folder removed at the end, a failed ASSERT too.
struct ScriptScene {
  explicit ScriptScene(const char* subfolder) {
    char outer[] = "/tmp/morva-script-test-XXXXXX";
    if (mkdtemp(outer) == nullptr) return;
    base = outer;
    folder = base + "/" + subfolder;
    if (mkdir(folder.c_str(), 0700) != 0) return;
    owner = fork();
    if (owner == 0) {
      pause();
      _exit(0);
    }
  }
  ~ScriptScene() {
    if (owner > 0) {
      kill(owner, SIGKILL);
      waitpid(owner, nullptr, 0);
    }
    if (!base.empty()) RunShell("rm -rf " + capcore::ShellQuote(base));
  }
  bool ready() const { return owner > 0; }
  // The service's process ends without being reaped: a zombie.
  void OwnerBecomesZombie() const { kill(owner, SIGKILL); }

  std::string base, folder;
  pid_t owner = -1;
};

// Pages of file `path` in the page cache, of its first `within` pages when
// given (mincore over a mapping, which itself reads nothing); -1 when it
// cannot tell.
long CachedPages(const std::string& path, long within = -1) {
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return -1;
  struct stat st;
  long pages = -1;
  if (fstat(fd, &st) == 0 && st.st_size > 0) {
    size_t size = static_cast<size_t>(st.st_size), page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* map = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (map != MAP_FAILED) {
      std::vector<unsigned char> in((size + page - 1) / page);
      if (mincore(map, size, in.data()) == 0) {
        pages = 0;
        for (size_t i = 0; i < in.size() && (within < 0 || static_cast<long>(i) < within); ++i) pages += in[i] & 1;
      }
      munmap(map, size);
    }
  }
  close(fd);
  return pages;
}

// A child that ends at once and is not reaped until `Reap`.
pid_t Zombie() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  WaitFor([&] { return !Runs(pid); }, 5000);
  return pid;
}

TEST(ShellScripts, AliveFailsForAZombieAndAnEndedProcess) {
  pid_t zombie = Zombie();
  ASSERT_TRUE(Exists("/proc/" + std::to_string(zombie)));  // still there, as a zombie
  struct Case {
    const char* name;
    long pid;
    int status;
  } cases[] = {{"this process", static_cast<long>(getpid()), 0}, {"a zombie", static_cast<long>(zombie), 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RunShell(capcore::AliveFunction() + "alive " + std::to_string(c.pid)), c.status);
  }
  waitpid(zombie, nullptr, 0);
  EXPECT_EQ(RunShell(capcore::AliveFunction() + "alive " + std::to_string(zombie)), 1);  // ended and reaped
}

TEST(ShellScripts, WatchdogEndsTheWholeProcessGroup) {
  struct Case {
    const char* name;
    bool ownerGone;    // else the stop file
    bool folderKept;
  } cases[] = {{"stop file", false, true}, {"service's process a zombie", true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptScene scene("camera");
    ASSERT_TRUE(scene.ready());
    const std::string& base = scene.base;
    const std::string& folder = scene.folder;
    // A wrapper that runs "ffmpeg" as its child and starts one of its own.
    std::string wrapper = base + "/ffmpeg";
    WriteText(wrapper, "#!/bin/sh\nsleep 600 & echo $! > '" + base + "/child'\nsleep 600\n");
    chmod(wrapper.c_str(), 0700);
    capcore::ScriptFiles files{folder, folder + "/pid", folder + "/stop", folder + "/log"};
    WriteText(folder + "/run", capcore::StreamScript(wrapper, {}, files, scene.owner));
    ASSERT_EQ(system(("setsid /bin/sh '" + folder + "/run' </dev/null >/dev/null 2>&1 &").c_str()), 0);
    ASSERT_TRUE(WaitFor([&] { return ReadPid(base + "/child") > 0 && ReadPid(files.pidFile) > 0; }, 5000));
    long leader = ReadPid(files.pidFile), child = ReadPid(base + "/child");
    EXPECT_TRUE(Runs(leader) && Runs(child));
    if (c.ownerGone) scene.OwnerBecomesZombie();
    else WriteText(files.stopFile, "");
    EXPECT_TRUE(WaitFor([&] { return !Runs(leader) && !Runs(child); }, 5000));
    EXPECT_EQ(Exists(folder), c.folderKept);
  }
}

TEST(ShellScripts, LauncherRunsRequestsAndEndsWithItsFolderOrItsOwner) {
  struct Case {
    const char* name;
    bool woken;      // a line on the wake pipe after the request
    bool ownerGone;  // else its folder is removed
  } cases[] = {{"woken, folder removed", true, false}, {"not woken, service's process a zombie", false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptScene scene("launcher");
    ASSERT_TRUE(scene.ready());
    const std::string& base = scene.base;
    const std::string& own = scene.folder;
    std::string script = capcore::LauncherScript(base, own, scene.owner);
    ASSERT_EQ(system(("/bin/sh -c " + capcore::ShellQuote(script) + " </dev/null >/dev/null 2>&1 &").c_str()), 0);
    ASSERT_TRUE(WaitFor([&] { return ReadPid(own + "/launcher") > 0; }, 5000));
    std::string request = base + "/" + capcore::kScriptFolderPrefix + std::to_string(scene.owner) + "-1";
    ASSERT_EQ(mkdir(request.c_str(), 0700), 0);
    WriteText(request + "/run", "echo ran > '" + request + "/ran'\n");
    WriteText(request + "/go", "");
    if (c.woken) WriteText(own + "/" + capcore::kWakePipeName, "\n");
    EXPECT_TRUE(WaitFor([&] { return Exists(request + "/ran") && !Exists(request + "/go"); }, 5000));
    EXPECT_EQ(ProcessesNaming(own), 2);  // the launcher and its waker
    if (c.ownerGone) scene.OwnerBecomesZombie();
    else EXPECT_EQ(RunShell("rm -rf " + capcore::ShellQuote(own)), 0);
    EXPECT_TRUE(WaitFor([&] { return ProcessesNaming(own) == 0; }, 5000));
    EXPECT_FALSE(Exists(own));
  }
}

// Disk allocated to file `path`, in bytes (-1: cannot tell).
long long AllocatedBytes(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_blocks) * 512 : -1;
}

TEST(ShellScripts, PageCacheTrimmerEmptiesTheFilesCacheAndEndsWithItsFolderOrItsOwner) {
  const long long kReserve = 8 << 20;
  struct Case {
    const char* name;
    bool ownerGone;  // else the service removes the folder
    bool namedPipe;  // the "file" is a named pipe nobody writes to
    bool asked;      // the service asks it to end (stop file and a line) rather than removing the folder
    long long reserve;
  } cases[] = {{"folder removed", false, false, false, 0},
               {"service's process a zombie", true, false, false, 0},
               {"a named pipe, folder removed", false, true, false, kReserve},
               {"reserving, asked to end", false, false, true, kReserve}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptScene scene("trim");
    ASSERT_TRUE(scene.ready());
    struct statfs fs;
    if (statfs(scene.base.c_str(), &fs) == 0 && fs.f_type == TMPFS_MAGIC)
      GTEST_SKIP() << "a tmpfs folder keeps its pages whatever it is told";
    // 16 MiB just written, so in the cache and dirty, each byte its offset's.
    std::string file = scene.base + "/recording.avi";
    std::vector<unsigned char> bytes(16u << 20);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 7 + (i >> 12));
    if (c.namedPipe) {
      ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    } else {
      std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
      ASSERT_GT(CachedPages(file), 0);
    }
    WriteText(scene.folder + "/run",
              capcore::PageCacheTrimScript(file, scene.folder, scene.owner, static_cast<uint64_t>(c.reserve)));
    ASSERT_EQ(system(("setsid /bin/sh '" + scene.folder + "/run' </dev/null >/dev/null 2>&1 &").c_str()), 0);
    if (!c.namedPipe) {
      // The kernel drops whole folios only (up to 2 MiB here): the page
      // cache keeps the head's and the one across its end.
      long head = static_cast<long>(capcore::kTrimKeptHeadBytes / static_cast<unsigned>(sysconf(_SC_PAGESIZE)));
      EXPECT_TRUE(WaitFor([&] { return CachedPages(file) <= 4 * head; }, 10000)) << CachedPages(file) << " pages cached";
      EXPECT_EQ(CachedPages(file, head), head) << "the head went";
      long long wanted = static_cast<long long>(bytes.size()) + c.reserve;
      if (c.reserve > 0) {
        EXPECT_TRUE(WaitFor([&] { return AllocatedBytes(file) >= wanted; }, 10000)) << AllocatedBytes(file);
      }
    }
    EXPECT_TRUE(WaitFor([&] { return ProcessesNaming(scene.folder) == 2; }, 5000));  // the trimmer and its waker
    EXPECT_EQ(ProcessesNaming(scene.folder, capcore::kTrimNice), 2) << "not yielding the processor";
    if (c.ownerGone) {
      scene.OwnerBecomesZombie();
    } else if (c.asked) {
      WriteText(scene.folder + "/" + capcore::kTrimStopName, "");
      WriteText(scene.folder + "/" + capcore::kWakePipeName, "\n");
    } else {
      EXPECT_EQ(RunShell("rm -rf " + capcore::ShellQuote(scene.folder)), 0);
    }
    EXPECT_TRUE(WaitFor([&] { return ProcessesNaming(scene.folder) == 0; }, 5000));
    EXPECT_FALSE(Exists(scene.folder));
    if (c.namedPipe) continue;
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(back == bytes) << "the file changed";
    // What was reserved goes with a truncation to the length it has.
    ASSERT_EQ(truncate(file.c_str(), static_cast<off_t>(bytes.size())), 0);
    EXPECT_LT(AllocatedBytes(file), static_cast<long long>(bytes.size()) + (1 << 20));
  }
}

}  // namespace
