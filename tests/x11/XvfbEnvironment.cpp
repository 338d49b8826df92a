#include "XvfbEnvironment.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace x11test {
namespace {

pid_t serverPid = 0;
bool running = false;

std::string findExecutable(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t pos = 0;
    while (pos <= dirs.size())
    {
        size_t end = dirs.find(':', pos);
        if (end == std::string::npos)
            end = dirs.size();
        std::string candidate = dirs.substr(pos, end - pos) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        pos = end + 1;
    }
    return {};
}

bool exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Starts Xvfb on display number n; false when it does not come up.
bool startServer(const std::string& executable, int n)
{
    std::string name = ":" + std::to_string(n);
    const char* argv[] = {executable.c_str(), name.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                          // no reset (and refused connections) whenever the last client leaves
                          "-noreset", nullptr};
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0)
    {
        // The server goes with us even when a test crashes the process.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
        {
            dup2(null, 1);
            dup2(null, 2);
        }
        execv(executable.c_str(), const_cast<char**>(argv));
        _exit(127);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline)
    {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return false; // lost a race for the number, or cannot run
        if (Display* display = XOpenDisplay(name.c_str()))
        {
            XCloseDisplay(display);
            serverPid = pid;
            setenv("DISPLAY", name.c_str(), 1);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return false;
}

class XvfbEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        std::string executable = findExecutable("Xvfb");
        if (executable.empty())
            return;
        // Spread parallel test processes over different numbers.
        const int first = 100 + static_cast<int>(getpid() % 400);
        for (int i = 0; i < 60 && !running; ++i)
        {
            int n = 100 + (first - 100 + i * 7) % 400;
            if (exists("/tmp/.X11-unix/X" + std::to_string(n)) || exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            running = startServer(executable, n);
        }
    }

    void TearDown() override
    {
        if (serverPid > 0)
        {
            kill(serverPid, SIGTERM);
            waitpid(serverPid, nullptr, 0);
            serverPid = 0;
        }
        running = false;
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

} // namespace

bool serverRunning()
{
    (void)registered;
    return running;
}

bool waitUntil(const std::function<bool()>& done, const std::function<void()>& step, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;)
    {
        step();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void rootPosition(Display* display, Window window, int x, int y, int& rootX, int& rootY)
{
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
}

} // namespace x11test
