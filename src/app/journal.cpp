#include "journal.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Set once before any thread; read by the crash handler.
bool toJournal = false;

// Written lines are gathered here until their newline, then written whole
// with their prefix. Standard error is written from the UI thread and from
// SDL's audio thread.
std::mutex lineLock;
std::string pending;

void WriteAll(const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

ssize_t CookieWrite(void*, const char* data, std::size_t size)
{
    const std::lock_guard lock(lineLock);
    pending.append(data, size);
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        const std::string line = pending.substr(0, end + 1);
        pending.erase(0, end + 1);
        WriteAll('<' + std::to_string(JournalPriority(line)) + '>' + line);
    }
    return static_cast<ssize_t>(size);
}

} // namespace

bool StderrIsJournal()
{
    const char* stream = std::getenv("JOURNAL_STREAM");
    unsigned long long dev = 0, ino = 0;
    struct stat st {};
    return stream != nullptr && std::sscanf(stream, "%llu:%llu", &dev, &ino) == 2
        && ::fstat(STDERR_FILENO, &st) == 0 && st.st_dev == dev && st.st_ino == ino;
}

int JournalPriority(const std::string& line)
{
    constexpr int kError = 3, kWarning = 4, kInfo = 6;
    // What stops or spoils the beacon's work is an error; what it goes on
    // through, a warning. Matched by the messages' own wording.
    static constexpr std::string_view errors[] = {
        "not opened", "cannot", "lost", "refused", "not saved", "write failed", "no VANTREL.SET",
        "unknown option", "crashed", ": Error:", "could not be opened", "not known"};
    static constexpr std::string_view warnings[] = {
        "not synchronised", "ignoring", "no port is selected", "no sound", "no PC speaker",
        "wrong length", "not set", ": Warning:", "read-only", "will not be saved", "QStandardPaths"};
    for (const std::string_view e : errors)
        if (line.find(e) != std::string::npos)
            return kError;
    for (const std::string_view w : warnings)
        if (line.find(w) != std::string::npos)
            return kWarning;
    return kInfo;
}

void PrefixJournalPriorities()
{
    if (!StderrIsJournal())
        return;
    toJournal = true;
    std::FILE* stream = ::fopencookie(nullptr, "w", {nullptr, CookieWrite, nullptr, nullptr});
    if (stream == nullptr)
        return;
    std::setvbuf(stream, nullptr, _IONBF, 0);
    stderr = stream;
}

void WriteCrashLine(int signal)
{
    // No allocation, no stdio: the line is put together on the stack.
    const char* name = signal == SIGSEGV ? "SIGSEGV" : signal == SIGBUS ? "SIGBUS" : signal == SIGFPE ? "SIGFPE"
        : signal == SIGILL ? "SIGILL" : signal == SIGABRT ? "SIGABRT" : signal == SIGQUIT ? "SIGQUIT" : "a signal";
    std::array<char, 96> line{};
    std::size_t at = 0;
    for (const char* part : {toJournal ? "<2>" : "", "vantrel: crashed by ", name, ": key and PTT off\n"})
        for (; *part != '\0' && at < line.size(); ++part)
            line[at++] = *part;
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, line.data(), at);
}
