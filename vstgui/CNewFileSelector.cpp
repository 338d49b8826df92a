#include "vstgui/CNewFileSelector.h"

#include "vstgui/CVSTGUITimer.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace VSTGUI {

const char* CNewFileSelector::kSelectEndMessage = "CNewFileSelector Select End Message";

namespace {

// Runs argv[0] with argv, no shell; returns its standard output.
std::string runAndRead(const std::vector<std::string>& args)
{
    // Everything the child touches is prepared before fork: only async-signal-safe calls after it.
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = fork();
    if (pid < 0)
    {
        close(fds[0]);
        close(fds[1]);
        return {};
    }
    if (pid == 0)
    {
        dup2(fds[1], STDOUT_FILENO);
        const int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0)
            dup2(devnull, STDIN_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    for (;;)
    {
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n > 0)
            out.append(buf, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
    {
    }
    // Cancelled dialogs exit non-zero: no selection.
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return out;
}

} // namespace

CNewFileSelector* CNewFileSelector::create(CFrame* parent, Style style) { return new CNewFileSelector(parent, style); }

CNewFileSelector::CNewFileSelector(CFrame* parent, Style s) : frame(parent), style(s) {}

CNewFileSelector::~CNewFileSelector()
{
    if (worker.joinable())
        worker.join();
}

void CNewFileSelector::setTitle(const char* t) { title = t ? t : ""; }
void CNewFileSelector::setInitialDirectory(const char* path) { initialDirectory = path ? path : ""; }
void CNewFileSelector::setAllowMultiFileSelection(bool state) { multiple = state; }

const char* CNewFileSelector::getSelectedFile(uint32_t index) const
{
    return index < selected.size() ? selected[index].c_str() : nullptr;
}

std::string CNewFileSelector::findTool(const char* name)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
    {
        if (dir.empty())
            continue;
        const std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

std::vector<std::string> CNewFileSelector::commandLine(const std::string& tool) const
{
    std::vector<std::string> args{tool};
    const bool zenity = tool.size() >= 6 && tool.compare(tool.size() - 6, 6, "zenity") == 0;
    if (zenity)
    {
        args.push_back("--file-selection");
        if (style == kSelectDirectory)
            args.push_back("--directory");
        else if (style == kSelectSaveFile)
            args.push_back("--save");
        if (multiple && style == kSelectFile)
        {
            args.push_back("--multiple");
            args.push_back("--separator=\n");
        }
        if (!title.empty())
            args.push_back("--title=" + title);
        if (!initialDirectory.empty())
            args.push_back("--filename=" + initialDirectory + "/");
        return args;
    }
    if (!title.empty())
    {
        args.push_back("--title");
        args.push_back(title);
    }
    if (style == kSelectDirectory)
        args.push_back("--getexistingdirectory");
    else if (style == kSelectSaveFile)
        args.push_back("--getsavefilename");
    else
    {
        args.push_back("--getopenfilename");
        if (multiple)
        {
            args.push_back("--multiple");
            args.push_back("--separate-output");
        }
    }
    args.push_back(initialDirectory.empty() ? "." : initialDirectory);
    return args;
}

bool CNewFileSelector::run(CBaseObject* delegate)
{
    if (running)
        return false;
    std::string tool = findTool("zenity");
    if (tool.empty())
        tool = findTool("kdialog");
    if (tool.empty())
        return false;
    if (worker.joinable())
        worker.join();
    selected.clear();
    running = true;
    // Both stay alive until the delegate has been told.
    remember();
    if (delegate)
        delegate->remember();
    worker = std::thread([this, delegate, args = commandLine(tool)] {
        const std::string out = runAndRead(args);
        CVSTGUITimer::postToGuiThread([this, delegate, out] {
            std::stringstream lines(out);
            std::string line;
            while (std::getline(lines, line))
                if (!line.empty())
                    selected.push_back(line);
            if (worker.joinable())
                worker.join();
            running = false;
            if (delegate)
            {
                delegate->notify(this, kSelectEndMessage);
                delegate->forget();
            }
            forget();
        });
    });
    return true;
}

} // namespace VSTGUI
